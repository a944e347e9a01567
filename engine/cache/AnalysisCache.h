#pragma once

#include "engine/cache/BinaryReader.h"
#include "engine/cache/CacheEntry.h"
#include "engine/cache/CacheFiles.h"
#include "engine/cache/CacheLogAppender.h"
#include "engine/cache/FileWindow.h"
#include "engine/util/Expected.h"

#include <QString>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace lumora {

class CompactionFiles;

/// A set of photo ids; as the `only` argument of the readers it names the photos whose
/// feature vectors are decoded (all others load without one).
using PathSet = std::unordered_set<std::string>;

/// The analysis cache: a value holding one `CacheEntry` per photo, plus the three files that
/// persist it (a base snapshot, an append-only log and a tombstone list; see `CacheFiles`).
///
/// File formats, all little-endian. A version-3 record is: path length (u32, below 8192),
/// the path's bytes, modified and capture date (f64 seconds since 1970), file size (i64),
/// score (f32), utility flag (u8, non-zero is true), sharpness (f32), feature count (u16, at
/// most 8192) and that many binary16 values. Version 2 (read only) ends with a u32 count and
/// 32-bit floats instead. The base is "LMV2", u32 version, u32 record count, records; the log
/// is "LML2", u32 version, records to the end; the tombstones are ids, each ending in "\n".
///
/// Readers are the cache's security boundary: truncated, oversized or lying input yields fewer
/// entries, never a crash, an out-of-bounds read or an allocation sized from a header count.
///
/// Several writers may share the files (two copies of the program, or two engines in one):
/// loading, appending and compacting lock the cache's folder (`flock`), and a compaction
/// reads the files again under the lock and keeps what other writers added since.
/// A value is not thread-safe; the engine owns one and uses it from one thread at a time.
class AnalysisCache {
public:
  static constexpr std::uint32_t kWrittenVersion = 3;
  /// The first four bytes of the append-only log; its format version follows.
  static constexpr std::string_view kLogMagic = "LML2";
  /// Whether a base or log of this format version can be read (version 2 is migrated).
  [[nodiscard]] static constexpr bool isReadableVersion(std::uint32_t version) {
    return version == 2 || version == kWrittenVersion;
  }
  /// A path must be shorter than this many bytes.
  static constexpr std::uint32_t kPathLimit = 8192;
  /// A feature vector may hold at most this many values.
  static constexpr std::uint32_t kFeatureLimit = 8192;
  /// The longest record a reader accepts (version 2, whose values take 4 bytes): files are
  /// read through a window that holds one such record whole, unless the file ends first.
  static constexpr std::size_t kMaxRecordSize =
      4 + (kPathLimit - 1) + 33 + 4 + 4 * std::size_t(kFeatureLimit);

  /// The application's data folder ("Lumora" under the XDG data home), created on each call
  /// when missing; failure to create it is ignored.
  [[nodiscard]] static std::filesystem::path defaultDirectory();

  [[nodiscard]] const std::unordered_map<std::string, CacheEntry> &entries() const {
    return m_entries;
  }
  /// Log records read on load plus records appended since (also those whose append failed).
  [[nodiscard]] int pendingLogCount() const { return m_pendingLogCount; }
  /// A version-2 file was read; the next compaction rewrites it as version 3.
  [[nodiscard]] bool needsMigration() const { return m_needsMigration; }
  /// `releaseFeatures` emptied at least one vector.
  [[nodiscard]] bool releasedFeatures() const { return m_releasedFeatures; }

  /// A fresh cache filled from the base, then the log (whose records override), then the
  /// tombstones (whose ids are removed). Missing or unreadable files are skipped. A scratch
  /// file a killed compaction left behind is removed first, unless a compaction is running.
  [[nodiscard]] static AnalysisCache load(const CacheFiles &files, const PathSet *only);

  /// Reads a base file's bytes into the entries; a bad record ends the reading.
  void loadBase(std::string_view data, const PathSet *only);
  /// Reads a log file's bytes into the entries, counting each record in `pendingLogCount`.
  void loadLog(std::string_view data, const PathSet *only);
  /// Removes every id listed in a tombstone file's bytes (empty lines are ignored).
  void loadTombstones(std::string_view data);
  /// The same three, reading a file through `window` one record or line at a time. A base
  /// that is not one we wrote (no magic, or a header claiming more records than the file's
  /// size holds) is named by the returned reason; its readable records are kept whole, with
  /// their vectors, so that a compaction can write them into a sound base.
  std::optional<std::string> loadBase(FileWindow window, const PathSet *only);
  void loadLog(FileWindow window, const PathSet *only);
  /// False when a line is longer than any id: the file is damaged and was read up to there.
  [[nodiscard]] bool loadTombstones(FileWindow window);

  /// One version-3 record at the reader's offset, or nothing (the offset may then have moved).
  /// With `only` given, a record whose path it lacks loads with an empty vector and its vector
  /// bytes are skipped unread.
  [[nodiscard]] static std::optional<CacheEntry> readRecord(BinaryReader &reader,
                                                            const PathSet *only);
  /// The same for a version-2 record.
  [[nodiscard]] static std::optional<CacheEntry> readRecordV2(BinaryReader &reader,
                                                              const PathSet *only);
  /// One version-3 record (feature count capped at 65535).
  [[nodiscard]] static std::string encodeRecord(const CacheEntry &entry);
  /// Whether a reader would accept the entry's record (path and vector within the limits).
  [[nodiscard]] static bool isStorable(const CacheEntry &entry);

  /// Stores the entry and appends its record to the log, creating or repairing the log first.
  /// Never fails: a failed append loses only that record and is logged. An entry the reader
  /// would reject is kept in memory but not written (and logged).
  void put(CacheEntry entry, const std::filesystem::path &log);
  /// Stores the entry as `put` does but leaves the log to the caller: returns the record to
  /// append (empty for an entry the reader would reject, which is logged).
  [[nodiscard]] std::string stage(CacheEntry entry);
  /// Forgets the entry and appends its id to the tombstones; failures are ignored.
  void markDeleted(const std::string &id, const std::filesystem::path &tombstones);
  /// Moves the entry's feature vector out to the caller, who may hand it back with
  /// `restoreFeature`; empty when there is no entry or no vector. The entry stays, held
  /// without its vector as after `releaseFeatures`, so a compaction in between still writes
  /// the vector the files hold for it.
  [[nodiscard]] std::vector<float> takeFeature(const std::string &path);
  /// Gives a vector taken with `takeFeature` back to its entry. Nothing happens when the entry
  /// is gone, was stored anew meanwhile, or no longer describes that file version (size and
  /// date, see `FileVersion`).
  void restoreFeature(const std::string &path, Date modified, std::int64_t fileSize,
                      std::vector<float> feature);
  /// Empties the feature vectors of every entry whose path is not in `except`.
  void releaseFeatures(const PathSet &except);

  /// Writes all entries as a new base file, durably, then removes the tombstones and the log.
  /// Entries held without their vector (skipped on load, or released) keep the vector the
  /// replaced files hold for them. Under the folder's lock the files are read again: entries
  /// other writers added or changed since this value was loaded are written as the files
  /// hold them (unless their tombstones say they were removed). Does not change the value
  /// in memory. Fails when the lock or the scratch file cannot be had.
  [[nodiscard]] Expected<void, QString>
  compact(const std::filesystem::path &base, const std::filesystem::path &log,
          const std::optional<std::filesystem::path> &tombstones) const;
  /// The same through the given file operations.
  [[nodiscard]] Expected<void, QString>
  compact(const std::filesystem::path &base, const std::filesystem::path &log,
          const std::optional<std::filesystem::path> &tombstones, CompactionFiles &files) const;

private:
  /// What a compaction writes besides memory: the entries other writers added or changed
  /// (ids in `changed`, records in `stored` unless `removed` lists them) and the vectors of
  /// the entries memory holds without one (in `stored`).
  struct FilesState;
  /// Which file a base was, to tell whether another writer replaced it since.
  struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = -1;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileIdentity &) const = default;
  };
  [[nodiscard]] static FileIdentity identityOf(const std::filesystem::path &path);

  /// The version after `magic` when both are readable; notes a version-2 file.
  std::optional<std::uint32_t> readHeader(BinaryReader &reader, std::string_view magic);
  /// Reads records of `version` until one fails or `limit` have been read; returns how many.
  std::uint64_t loadRecords(FileWindow &window, std::uint32_t version, std::uint64_t limit,
                            const PathSet *only);
  /// Keeps `entry`, noting whether its vector was left in the files.
  void store(CacheEntry entry, bool withheld);
  /// Reads the files again (the caller holds the folder's lock).
  [[nodiscard]] FilesState
  readFilesState(const std::filesystem::path &base, const std::filesystem::path &log,
                 const std::optional<std::filesystem::path> &tombstones) const;
  /// The ids whose record in `listed` is not the one memory holds.
  [[nodiscard]] PathSet changedRecords(const AnalysisCache &listed) const;
  /// Whether compaction writes memory's entry `id`.
  [[nodiscard]] bool keepsHeldEntry(const std::string &id, const FilesState &state) const;
  /// The files' record of a changed id that compaction writes, or null.
  [[nodiscard]] static const CacheEntry *filesEntry(const std::string &id, const FilesState &state);
  /// How many records `writeBase` writes.
  [[nodiscard]] std::uint32_t recordCount(const FilesState &state) const;
  /// Writes the header and every storable entry to `scratch`, flushed to the disk.
  [[nodiscard]] Expected<void, QString> writeBase(const std::filesystem::path &scratch,
                                                  const FilesState &state,
                                                  CompactionFiles &files) const;
  /// The compaction itself, under the folder's lock.
  [[nodiscard]] Expected<void, QString>
  compactLocked(const std::filesystem::path &folder, const std::filesystem::path &base,
                const std::filesystem::path &log,
                const std::optional<std::filesystem::path> &tombstones,
                CompactionFiles &files) const;
  /// The entry's own vector, or for an entry held without it, the one `stored` holds.
  [[nodiscard]] const std::vector<float> &vectorToWrite(const CacheEntry &entry,
                                                        const AnalysisCache &stored) const;

  std::unordered_map<std::string, CacheEntry> m_entries;
  int m_pendingLogCount = 0;
  bool m_needsMigration = false;
  bool m_releasedFeatures = false;
  /// Entries whose vector exists in the files but not in memory.
  PathSet m_withheld;
  /// Appends `put`'s records; checks the log once for this value.
  CacheLogAppender m_appender;
  /// The entries stored by `put` since this value was made or loaded.
  PathSet m_putSinceLoad;
  /// The base as `load` found it; none for a value not loaded from files.
  std::optional<FileIdentity> m_loadedBase;
};

} // namespace lumora
