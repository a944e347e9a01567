#include "engine/cache/AnalysisCache.h"

#include "engine/cache/BinaryWriter.h"
#include "engine/cache/CacheFileAppend.h"
#include "engine/cache/FileVersion.h"
#include "engine/cache/FileWindow.h"
#include "engine/cache/HalfFloat.h"
#include "engine/cache/PosixCompactionFiles.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/diagnostics/LoggedName.h"
#include "platform/core/AppDirectories.h"
#include "platform/core/posix/FolderLock.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace lumora {
namespace {

constexpr std::string_view kBaseMagic = "LMV2";
constexpr std::size_t kMinimumBaseSize = 13;
constexpr std::size_t kMinimumLogSize = 9;
// The shortest record (empty path, no vector), used to bound a preallocation by the data.
constexpr std::size_t kMinimumRecordSize = 39;
// The most entries a base's count may make the loader reserve room for in advance (the
// count is a claim; a larger cache grows as its records are read).
constexpr std::size_t kMaximumReservation = std::size_t(1) << 20;
// Compaction streams records through a buffer of this size instead of building the file.
constexpr std::size_t kCompactionBuffer = 4 * 1024 * 1024;

/// Reads the fields both record versions share, or nothing.
std::optional<CacheEntry> readCommonFields(BinaryReader &reader) {
  const auto length = reader.u32();
  // No photo has an empty path: zeros where a record should be end the reading at once
  // instead of giving one empty record per 39 bytes of a zero-filled file.
  if (!length || *length == 0 || *length >= AnalysisCache::kPathLimit) {
    return std::nullopt;
  }
  auto path = reader.string(*length);
  const auto modified = reader.f64();
  const auto captureDate = reader.f64();
  const auto fileSize = reader.u64();
  const auto score = reader.u32();
  const auto utility = reader.u8();
  const auto sharpness = reader.u32();
  if (!path || !modified || !captureDate || !fileSize || !score || !utility || !sharpness) {
    return std::nullopt;
  }
  CacheEntry entry;
  entry.path = std::move(*path);
  entry.modified = Date::fromSeconds(*modified);
  entry.captureDate = Date::fromSeconds(*captureDate);
  entry.fileSize = std::bit_cast<std::int64_t>(*fileSize);
  entry.score = std::bit_cast<float>(*score);
  entry.isUtility = *utility != 0;
  entry.sharpness = std::bit_cast<float>(*sharpness);
  return entry;
}

/// Reads a record of either version: `width` is the byte size of one feature value. Sets
/// `skipped` when the vector was passed over because `only` lacks the path.
std::optional<CacheEntry> readVersionedRecord(BinaryReader &reader, const PathSet *only,
                                              std::size_t width, bool &skipped) {
  auto entry = readCommonFields(reader);
  if (!entry) {
    return std::nullopt;
  }
  const std::optional<std::uint32_t> count =
      width == 2 ? std::optional<std::uint32_t>(reader.u16()) : reader.u32();
  if (!count || *count > AnalysisCache::kFeatureLimit) {
    return std::nullopt;
  }
  skipped = only != nullptr && !only->contains(entry->path);
  if (skipped) {
    reader.skip(*count * width);
    return entry;
  }
  auto feature = width == 2 ? reader.float16s(*count) : reader.floats(*count);
  if (!feature) {
    return std::nullopt;
  }
  entry->feature = std::move(*feature);
  return entry;
}

void appendRecord(std::string &buffer, const CacheEntry &entry, const std::vector<float> &feature) {
  using binarywriter::appendLE;
  appendLE(buffer, static_cast<std::uint32_t>(entry.path.size()));
  buffer += entry.path;
  appendLE(buffer, entry.modified.secondsSince1970);
  appendLE(buffer, entry.captureDate.secondsSince1970);
  appendLE(buffer, entry.fileSize);
  appendLE(buffer, entry.score);
  buffer.push_back(entry.isUtility ? '\1' : '\0');
  appendLE(buffer, entry.sharpness);
  const std::size_t count = std::min<std::size_t>(feature.size(), 65535);
  appendLE(buffer, static_cast<std::uint16_t>(count));
  for (std::size_t i = 0; i < count; ++i) {
    appendLE(buffer, halffloat::fromFloat(feature[i]));
  }
}

// The photo's file name alone (the log goes into diagnostics exports), at most 200 bytes.
QString shownPath(const std::string &path) {
  constexpr qsizetype kShown = 200;
  return logline::fileName(path).left(kShown);
}

void logUnstorable(const CacheEntry &entry) {
  Diagnostics::log(QStringLiteral("scan"),
                   QStringLiteral("cache entry not written (path %1 bytes, %2 features): %3")
                       .arg(entry.path.size())
                       .arg(entry.feature.size())
                       .arg(shownPath(entry.path)));
}

/// Calls `removed` with every id of a tombstone file, line by line (empty lines are ignored).
/// False when a line is longer than any id can be: the file is not one we wrote, and reading
/// stops there (the ids before it were passed on).
template <typename Removed> bool forEachTombstone(FileWindow &window, Removed removed) {
  while (window.fill(AnalysisCache::kPathLimit + 1) && !window.available().empty()) {
    const std::string_view data = window.available();
    const std::size_t end = std::min(data.find('\n'), data.size());
    if (end >= AnalysisCache::kPathLimit) {
      return false;
    }
    if (end > 0) {
      removed(std::string(data.substr(0, end)));
    }
    window.advance(std::min(end + 1, data.size()));
  }
  return true;
}

/// Whether two records describe the same analysis of the same file version, field by field.
bool isSameRecord(const CacheEntry &a, const CacheEntry &b) {
  const auto bits = [](auto value) {
    return std::bit_cast<std::uint64_t>(static_cast<double>(value));
  };
  return bits(a.modified.secondsSince1970) == bits(b.modified.secondsSince1970) &&
         bits(a.captureDate.secondsSince1970) == bits(b.captureDate.secondsSince1970) &&
         a.fileSize == b.fileSize && bits(a.score) == bits(b.score) && a.isUtility == b.isUtility &&
         bits(a.sharpness) == bits(b.sharpness);
}

std::filesystem::path folderOf(const std::filesystem::path &file) {
  return file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
}

QString systemError(const char *what, const std::filesystem::path &path) {
  return QStringLiteral("%1 %2: %3")
      .arg(QString::fromLatin1(what), QFile::decodeName(path.c_str()),
           QString::fromLocal8Bit(std::strerror(errno)));
}

/// Removes the scratch file of a compaction that was killed part-way; one that a running
/// compaction is writing is left alone.
void removeStaleScratch(const std::filesystem::path &base) {
  const std::filesystem::path scratch = CacheFiles::scratchFor(base);
  struct stat info {};
  if (::lstat(scratch.c_str(), &info) != 0) {
    return;
  }
  const platform::FolderLock lock = platform::FolderLock::tryExclusive(folderOf(base));
  if (lock.isHeld() && ::unlink(scratch.c_str()) == 0) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("removed %1 bytes left by an interrupted cache compaction")
                         .arg(static_cast<qint64>(info.st_size)));
  }
}

/// Moves a tombstone file that is not one we wrote out of the way, keeping it beside the
/// cache as `<name>.damaged` (replacing an older one), so that no later load reads it again.
void setTombstonesAside(const std::filesystem::path &tombstones) {
  std::filesystem::path aside = tombstones;
  aside += ".damaged";
  const bool moved = ::rename(tombstones.c_str(), aside.c_str()) == 0;
  Diagnostics::log(QStringLiteral("scan"),
                   QStringLiteral("cache tombstones %1 hold a line longer than any id; %2")
                       .arg(QFile::decodeName(tombstones.c_str()),
                            moved ? QStringLiteral("set aside as %1")
                                        .arg(QFile::decodeName(aside.filename().c_str()))
                                  : QStringLiteral("left in place (%1), read up to that line")
                                        .arg(QString::fromLocal8Bit(std::strerror(errno)))));
}

/// Moves a base file that is not one we wrote out of the way as `<name>.damaged` (replacing
/// an older one), so that no later load spends time on it again.
void setBaseAside(const std::filesystem::path &base, const std::string &reason) {
  std::filesystem::path aside = base;
  aside += ".damaged";
  const bool moved = ::rename(base.c_str(), aside.c_str()) == 0;
  Diagnostics::log(QStringLiteral("scan"),
                   QStringLiteral("cache base %1 %2; %3")
                       .arg(QFile::decodeName(base.c_str()), QString::fromStdString(reason),
                            moved ? QStringLiteral("set aside as %1")
                                        .arg(QFile::decodeName(aside.filename().c_str()))
                                  : QStringLiteral("left in place (%1)")
                                        .arg(QString::fromLocal8Bit(std::strerror(errno)))));
}

} // namespace

/// See the declaration.
struct AnalysisCache::FilesState {
  /// The records the files hold now, without vectors: the log's, and the base's when
  /// another writer replaced the base since this value was loaded (`baseRead`).
  AnalysisCache listed;
  bool baseRead = false;
  /// The ids whose record in `listed` is not the one memory holds.
  PathSet changed;
  /// The vectors of the changed records and of the entries memory holds without one.
  AnalysisCache stored;
  /// Every id the tombstone file lists.
  PathSet tombstoned;
};

AnalysisCache::FileIdentity AnalysisCache::identityOf(const std::filesystem::path &path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    return {};
  }
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
          static_cast<std::int64_t>(info.st_size),
          static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

std::filesystem::path AnalysisCache::defaultDirectory() {
  const QString folder = platform::appSupportDirectory();
  platform::makeAppSupportDirectory();
  return std::filesystem::path(QFile::encodeName(folder).toStdString());
}

AnalysisCache AnalysisCache::load(const CacheFiles &files, const PathSet *only) {
  removeStaleScratch(files.base);
  // Shared: other readers may load at once, but no writer changes the files meanwhile.
  const platform::FolderLock lock =
      platform::FolderLock::acquire(folderOf(files.base), platform::FolderLock::Mode::shared);
  AnalysisCache cache;
  cache.m_loadedBase = identityOf(files.base);
  if (const auto damage = cache.loadBase(FileWindow::open(files.base), only)) {
    setBaseAside(files.base, *damage);
    // What was read lives on in memory only: the scan's compaction writes it as a new base.
    cache.m_loadedBase = identityOf(files.base);
    cache.m_needsMigration = true;
  }
  cache.loadLog(FileWindow::open(files.log), only);
  if (!cache.loadTombstones(FileWindow::open(files.tombstones))) {
    setTombstonesAside(files.tombstones);
  }
  return cache;
}

std::optional<std::uint32_t> AnalysisCache::readHeader(BinaryReader &reader,
                                                       std::string_view magic) {
  const auto found = reader.string(4);
  const auto version = reader.u32();
  if (!found || *found != magic || !version || !isReadableVersion(*version)) {
    return std::nullopt;
  }
  m_needsMigration = m_needsMigration || *version == 2;
  return version;
}

void AnalysisCache::loadBase(std::string_view data, const PathSet *only) {
  (void)loadBase(FileWindow::over(data), only);
}

void AnalysisCache::loadLog(std::string_view data, const PathSet *only) {
  loadLog(FileWindow::over(data), only);
}

void AnalysisCache::loadTombstones(std::string_view data) {
  (void)loadTombstones(FileWindow::over(data));
}

std::optional<std::string> AnalysisCache::loadBase(FileWindow window, const PathSet *only) {
  if (!window.fill(kMinimumBaseSize) || window.available().size() < kMinimumBaseSize) {
    return std::nullopt;
  }
  BinaryReader reader(window.available());
  if (reader.peekString(kBaseMagic.size()) != kBaseMagic) {
    return "has no cache header";
  }
  const auto version = readHeader(reader, kBaseMagic);
  const auto count = reader.u32();
  if (!version || !count) {
    return std::nullopt; // a version of a later release: left as it is
  }
  window.advance(reader.offset());
  const std::uint64_t remaining = window.size() - std::min(window.size(), window.position());
  std::optional<std::string> damage;
  if (*count > remaining / kMinimumRecordSize) {
    damage =
        "claims " + std::to_string(*count) + " records in " + std::to_string(remaining) + " bytes";
    only = nullptr; // its vectors have no other home once it is set aside
  }
  // The count is a claim, not a fact: reserve no more than the file could hold.
  m_entries.reserve(
      m_entries.size() +
      std::min<std::uint64_t>({*count, remaining / kMinimumRecordSize, kMaximumReservation}));
  loadRecords(window, *version, *count, only);
  return damage;
}

void AnalysisCache::loadLog(FileWindow window, const PathSet *only) {
  if (!window.fill(kMinimumLogSize) || window.available().size() < kMinimumLogSize) {
    return;
  }
  BinaryReader reader(window.available());
  const auto version = readHeader(reader, kLogMagic);
  if (!version) {
    return;
  }
  window.advance(reader.offset());
  const std::uint64_t read = loadRecords(window, *version, UINT64_MAX, only);
  m_pendingLogCount += static_cast<int>(std::min<std::uint64_t>(read, INT32_MAX));
}

bool AnalysisCache::loadTombstones(FileWindow window) {
  return forEachTombstone(window, [this](const std::string &id) {
    m_entries.erase(id);
    m_withheld.erase(id);
  });
}

std::uint64_t AnalysisCache::loadRecords(FileWindow &window, std::uint32_t version,
                                         std::uint64_t limit, const PathSet *only) {
  const std::size_t width = version == 3 ? 2 : 4;
  std::uint64_t read = 0;
  // The window holds a whole record of the largest size, so a record that does not read
  // from it is cut off or damaged, never split by the window.
  while (read < limit && window.fill(kMaxRecordSize)) {
    BinaryReader reader(window.available());
    bool skipped = false;
    auto entry = readVersionedRecord(reader, only, width, skipped);
    if (!entry) {
      break;
    }
    window.advance(reader.offset());
    store(std::move(*entry), skipped);
    ++read;
  }
  return read;
}

void AnalysisCache::store(CacheEntry entry, bool withheld) {
  if (withheld) {
    m_withheld.insert(entry.path);
  } else if (!m_withheld.empty()) {
    m_withheld.erase(entry.path);
  }
  std::string key = entry.path;
  m_entries.insert_or_assign(std::move(key), std::move(entry));
}

std::optional<CacheEntry> AnalysisCache::readRecord(BinaryReader &reader, const PathSet *only) {
  bool skipped = false;
  return readVersionedRecord(reader, only, 2, skipped);
}

std::optional<CacheEntry> AnalysisCache::readRecordV2(BinaryReader &reader, const PathSet *only) {
  bool skipped = false;
  return readVersionedRecord(reader, only, 4, skipped);
}

std::string AnalysisCache::encodeRecord(const CacheEntry &entry) {
  std::string record;
  record.reserve(kMinimumRecordSize + entry.path.size() + 2 * entry.feature.size());
  appendRecord(record, entry, entry.feature);
  return record;
}

bool AnalysisCache::isStorable(const CacheEntry &entry) {
  return entry.path.size() < kPathLimit && entry.feature.size() <= kFeatureLimit;
}

void AnalysisCache::put(CacheEntry entry, const std::filesystem::path &log) {
  const std::string record = stage(std::move(entry));
  if (!record.empty()) {
    m_appender.append(record, log);
  }
}

std::string AnalysisCache::stage(CacheEntry entry) {
  m_withheld.erase(entry.path);
  m_putSinceLoad.insert(entry.path);
  const bool storable = isStorable(entry);
  const std::string record = storable ? encodeRecord(entry) : std::string();
  if (!storable) {
    logUnstorable(entry);
  }
  std::string key = entry.path;
  m_entries.insert_or_assign(std::move(key), std::move(entry));
  ++m_pendingLogCount;
  return record;
}

void AnalysisCache::markDeleted(const std::string &id, const std::filesystem::path &tombstones) {
  m_entries.erase(id);
  m_withheld.erase(id);
  m_putSinceLoad.erase(id);
  // A line feed inside the id would split it into other ids on reading.
  if (id.find('\n') != std::string::npos) {
    Diagnostics::log(
        QStringLiteral("scan"),
        QStringLiteral("cache tombstone not written (line feed in id): %1").arg(shownPath(id)));
    return;
  }
  // No cache file holds an entry with so long an id, and the line would read as damage.
  if (id.size() >= kPathLimit) {
    return;
  }
  const platform::FolderLock lock =
      platform::FolderLock::acquire(folderOf(tombstones), platform::FolderLock::Mode::exclusive);
  cacheappend::appendTombstone(tombstones, id);
}

std::vector<float> AnalysisCache::takeFeature(const std::string &path) {
  const auto found = m_entries.find(path);
  if (found == m_entries.end() || found->second.feature.empty()) {
    return {};
  }
  m_withheld.insert(path);
  return std::exchange(found->second.feature, {});
}

void AnalysisCache::restoreFeature(const std::string &path, Date modified, std::int64_t fileSize,
                                   std::vector<float> feature) {
  const auto found = m_entries.find(path);
  if (feature.empty() || found == m_entries.end() || !found->second.feature.empty() ||
      !FileVersion{modified, fileSize}.isDescribedBy(found->second)) {
    return;
  }
  // Only a vector that is still withheld was taken out; anything else was stored anew.
  if (m_withheld.erase(path) > 0) {
    found->second.feature = std::move(feature);
  }
}

void AnalysisCache::releaseFeatures(const PathSet &except) {
  for (auto &[path, entry] : m_entries) {
    if (!entry.feature.empty() && !except.contains(path)) {
      entry.feature = {};
      m_withheld.insert(path);
      m_releasedFeatures = true;
    }
  }
}

Expected<void, QString>
AnalysisCache::compact(const std::filesystem::path &base, const std::filesystem::path &log,
                       const std::optional<std::filesystem::path> &tombstones) const {
  PosixCompactionFiles files;
  return compact(base, log, tombstones, files);
}

Expected<void, QString>
AnalysisCache::compact(const std::filesystem::path &base, const std::filesystem::path &log,
                       const std::optional<std::filesystem::path> &tombstones,
                       CompactionFiles &files) const {
  const std::filesystem::path folder = folderOf(base);
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    return Unexpected<QString>{
        QStringLiteral("create folder %1: %2")
            .arg(QFile::decodeName(folder.c_str()), QString::fromStdString(error.message()))};
  }
  const platform::FolderLock lock =
      platform::FolderLock::acquire(folder, platform::FolderLock::Mode::exclusive);
  if (!lock.isHeld()) {
    return Unexpected<QString>{systemError("lock", folder)};
  }
  return compactLocked(folder, base, log, tombstones, files);
}

Expected<void, QString>
AnalysisCache::compactLocked(const std::filesystem::path &folder, const std::filesystem::path &base,
                             const std::filesystem::path &log,
                             const std::optional<std::filesystem::path> &tombstones,
                             CompactionFiles &files) const {
  // Under the lock no compaction runs elsewhere: a scratch file here was left by a killed one.
  const std::filesystem::path scratch = CacheFiles::scratchFor(base);
  files.remove(scratch);
  if (auto written = writeBase(scratch, readFilesState(base, log, tombstones), files); !written) {
    files.abandon();
    files.remove(scratch);
    return written;
  }
  // Until the rename the old base, log and tombstones are untouched and still load.
  if (auto replaced = files.rename(scratch, base); !replaced) {
    return replaced;
  }
  // The new base must be durable before the files it absorbed disappear.
  if (auto synced = files.syncFolder(folder); !synced) {
    return synced;
  }
  // Tombstones go first: should the log outlive them, it can only bring back entries that were
  // deleted, whereas tombstones outliving the log could hide entries the new base holds.
  if (tombstones) {
    files.remove(*tombstones);
    (void)files.syncFolder(folder);
  }
  files.remove(log);
  return {};
}

AnalysisCache::FilesState
AnalysisCache::readFilesState(const std::filesystem::path &base, const std::filesystem::path &log,
                              const std::optional<std::filesystem::path> &tombstones) const {
  // First without vectors: which records differ from memory. The base is read only when
  // another writer replaced it since this value was loaded.
  FilesState state;
  const PathSet none;
  state.baseRead = !m_loadedBase || identityOf(base) != *m_loadedBase;
  if (state.baseRead) {
    state.listed.loadBase(FileWindow::open(base), &none);
  }
  state.listed.loadLog(FileWindow::open(log), &none);
  state.changed = changedRecords(state.listed);
  // Then the vectors of those records and of the entries memory holds without one; the log
  // overrides the base as on loading.
  PathSet wanted = m_withheld;
  wanted.insert(state.changed.begin(), state.changed.end());
  if (!wanted.empty()) {
    state.stored.loadBase(FileWindow::open(base), &wanted);
    state.stored.loadLog(FileWindow::open(log), &wanted);
  }
  if (tombstones) {
    // Only ids this compaction could write matter; others are not kept, however many.
    FileWindow window = FileWindow::open(*tombstones);
    (void)forEachTombstone(window, [&](const std::string &id) {
      if (m_entries.contains(id) || state.stored.m_entries.contains(id)) {
        state.tombstoned.insert(id);
      }
    });
  }
  return state;
}

bool AnalysisCache::keepsHeldEntry(const std::string &id, const FilesState &state) const {
  if (state.changed.contains(id)) {
    return false; // written as the files hold it
  }
  if (m_putSinceLoad.contains(id)) {
    return true;
  }
  // Read from the files at loading: another writer may have removed it since, by a
  // tombstone or by a compaction that absorbed one.
  return !state.tombstoned.contains(id) && (!state.baseRead || state.listed.m_entries.contains(id));
}

const CacheEntry *AnalysisCache::filesEntry(const std::string &id, const FilesState &state) {
  const auto found = state.stored.m_entries.find(id);
  if (found == state.stored.m_entries.end() || state.tombstoned.contains(id)) {
    return nullptr;
  }
  return &found->second;
}

PathSet AnalysisCache::changedRecords(const AnalysisCache &listed) const {
  PathSet changed;
  for (const auto &[id, record] : listed.m_entries) {
    const auto held = m_entries.find(id);
    if (held == m_entries.end() || !isSameRecord(held->second, record)) {
      changed.insert(id);
    }
  }
  return changed;
}

std::uint32_t AnalysisCache::recordCount(const FilesState &state) const {
  std::uint64_t count = 0;
  for (const auto &[path, entry] : m_entries) {
    count += isStorable(entry) && keepsHeldEntry(path, state) ? 1 : 0;
  }
  for (const std::string &id : state.changed) {
    const CacheEntry *found = filesEntry(id, state);
    count += found != nullptr && isStorable(*found) ? 1 : 0;
  }
  return static_cast<std::uint32_t>(std::min<std::uint64_t>(count, UINT32_MAX));
}

Expected<void, QString> AnalysisCache::writeBase(const std::filesystem::path &scratch,
                                                 const FilesState &state,
                                                 CompactionFiles &files) const {
  if (auto created = files.create(scratch); !created) {
    return created;
  }
  std::string buffer;
  buffer.reserve(kCompactionBuffer);
  buffer += kBaseMagic;
  binarywriter::appendLE(buffer, kWrittenVersion);
  binarywriter::appendLE(buffer, recordCount(state));
  const auto add = [&](const CacheEntry &entry, const std::vector<float> &feature) {
    appendRecord(buffer, entry, feature);
    if (buffer.size() < kCompactionBuffer) {
      return Expected<void, QString>{};
    }
    auto written = files.write(buffer);
    buffer.clear();
    return written;
  };
  for (const auto &[path, entry] : m_entries) {
    if (!keepsHeldEntry(path, state)) {
      continue;
    }
    if (!isStorable(entry)) {
      logUnstorable(entry);
      continue;
    }
    if (auto written = add(entry, vectorToWrite(entry, state.stored)); !written) {
      return written;
    }
  }
  for (const std::string &id : state.changed) {
    const CacheEntry *found = filesEntry(id, state);
    if (found == nullptr || !isStorable(*found)) {
      continue;
    }
    if (auto written = add(*found, found->feature); !written) {
      return written;
    }
  }
  if (!buffer.empty()) {
    if (auto written = files.write(buffer); !written) {
      return written;
    }
  }
  return files.syncAndClose();
}

const std::vector<float> &AnalysisCache::vectorToWrite(const CacheEntry &entry,
                                                       const AnalysisCache &stored) const {
  if (!entry.feature.empty() || !m_withheld.contains(entry.path)) {
    return entry.feature;
  }
  const auto found = stored.m_entries.find(entry.path);
  // A vector the files hold for another version of the file belongs to another analysis.
  if (found == stored.m_entries.end() || !FileVersion::of(entry).isDescribedBy(found->second)) {
    return entry.feature;
  }
  return found->second.feature;
}

} // namespace lumora
