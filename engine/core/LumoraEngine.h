#pragma once

#include "engine/cache/AnalysisCache.h"
#include "engine/cache/CacheFiles.h"
#include "engine/cluster/Clusterer.h"
#include "engine/core/DeleteOutcome.h"
#include "engine/core/EngineError.h"
#include "engine/core/LibraryBackend.h"
#include "engine/favorites/FavoriteStore.h"
#include "engine/model/DeleteReceipt.h"
#include "engine/model/GroupSort.h"
#include "engine/model/PhotoGroup.h"
#include "engine/model/ScanTypes.h"
#include "engine/scan/ScanPreviews.h"
#include "engine/util/Expected.h"
#include "platform/core/imaging/DecodedImage.h"
#include "platform/core/trash/Trash.h"

#include <QString>
#include <QUrl>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

namespace lumora {

class PhotoSource;

/// The local photo library as the engine sees it; provided by engine/library.
[[nodiscard]] std::shared_ptr<LibraryBackend> defaultLibraryBackend();

/// Platform services the engine calls, replaceable in tests.
struct EngineServices {
  /// Answers `missing` at the first look; `confirmGone` then looks again at all of a
  /// deletion's empty paths together.
  std::function<platform::trash::MoveResult(const std::string &,
                                            const std::optional<platform::FileIdentity> &)>
      moveToTrash = [](const std::string &path,
                       const std::optional<platform::FileIdentity> &expected) {
        return platform::trash::moveToTrash(path, expected, platform::trash::GoneCheck::byCaller);
      };
  std::function<std::vector<bool>(const std::vector<platform::trash::GonePath> &)> confirmGone =
      platform::trash::staysGone;
  std::function<platform::trash::RestoreResult(const std::string &, const std::string &,
                                               const std::optional<platform::FileIdentity> &)>
      restoreFromTrash = platform::trash::restore;
  /// The photo library (by default the local library); null disables library photos.
  std::shared_ptr<LibraryBackend> library = defaultLibraryBackend();
};

/// The analysis engine: scans, groups, deletes with undo, and keeps favourites.
///
/// Thread-safe. All state sits behind one mutex that is held only for short sections: a
/// scan's workers run without it, so grouping, deletion and favourites work while a scan
/// runs. The one longer section is the cache reload at the start of a scan, which other
/// operations wait for. Every operation blocks its caller; callers run them off the GUI
/// thread. Callbacks are never invoked with the engine's lock held, so they may call back
/// into the engine.
class LumoraEngine {
public:
  using ProgressHandler = std::function<void(const ScanProgress &)>;
  using PartialHandler = std::function<void(const std::vector<PhotoItem> &)>;

  /// `cacheFile` is the base cache file (default: "analysis-cache.bin" in the data folder).
  /// No cache file is read here; the favourites file is.
  explicit LumoraEngine(std::optional<QString> cacheFile = std::nullopt,
                        EngineServices services = {});
  ~LumoraEngine();
  LumoraEngine(const LumoraEngine &) = delete;
  LumoraEngine &operator=(const LumoraEngine &) = delete;

  /// Scans folders: cache hits reach `onPartial` at once, misses are analysed by workers
  /// and handed over in batches. A stop request makes it return the partial result.
  /// Either handler may be empty. Fails only with the engine's noImagesFound or unreadable.
  [[nodiscard]] Expected<ScanResult, EngineError>
  scan(const std::vector<QUrl> &urls, const ScanOptions &options, ProgressHandler progress,
       PartialHandler onPartial = {}, std::stop_token stop = {});

  /// Scans the photo library like a folder: assets are listed, cache hits reach `onPartial`
  /// at once, misses are analysed from library thumbnails. Fails with the library's denied
  /// (before any progress) or empty error, or when the library cannot be read.
  [[nodiscard]] Expected<ScanResult, EngineError> scanLibrary(const ScanOptions &options,
                                                              ProgressHandler progress,
                                                              PartialHandler onPartial = {},
                                                              std::stop_token stop = {});

  /// Groups photos under a threshold, reusing the last scan's measured pairs when the list
  /// is that scan's (or carries no feature vectors).
  [[nodiscard]] std::vector<PhotoGroup> group(const std::vector<PhotoItem> &items, float threshold,
                                              GroupSort sort);
  /// Marks or unmarks a favourite; returns `favorite`.
  [[nodiscard]] Expected<bool, EngineError> setFavorite(const PhotoItem &item, bool favorite);
  /// A large decoded rendition for the preview, or nothing.
  [[nodiscard]] std::optional<platform::DecodedImage> previewImage(const PhotoItem &item,
                                                                   int maxPixel);
  /// The small copy of a folder photo's picture that a scan decoded for its analysis, while
  /// kept (the newest few hundred, over scans) and the file is the version decoded; null
  /// for library photos and photos only ever taken from the cache. Returns at once: safe to
  /// call on the GUI thread, even while a scan runs.
  [[nodiscard]] std::shared_ptr<const platform::DecodedImage>
  scanPreview(const PhotoItem &item) const;
  /// Asks the engine's library for access; false when there is no library or it refused.
  [[nodiscard]] bool requestLibraryAuthorization();
  /// A library asset's fast thumbnail from the engine's library, or nothing when there is
  /// no library or none arrives within the library's time-out.
  [[nodiscard]] std::optional<platform::DecodedImage>
  libraryThumbnail(const std::string &localIdentifier, int maxPixel);
  [[nodiscard]] QString displayName(const PhotoItem &item);
  /// Moves folder photos to the Trash and library photos into "Recently Deleted". A folder
  /// photo moves only while its path names the very file the scan saw; one whose file is
  /// gone counts as removed, one whose file changed stays. Stops at the first failure; what
  /// moved before it is in the receipt and fully accounted for.
  [[nodiscard]] DeleteOutcome deleteItems(const std::vector<PhotoItem> &items);
  /// Moves trashed files back where their former path is free and their Trash entry is
  /// still the file that was moved there; returns how many moved.
  [[nodiscard]] Expected<std::int64_t, EngineError> undoDelete(const DeleteReceipt &receipt);
  /// Forgets every cached analysis and removes the cache files.
  void invalidateCache();

  /// The base, log and tombstone files.
  [[nodiscard]] const CacheFiles &cacheFiles() const { return m_files; }

protected:
  /// One scan's own state, so that overlapping scans never feed each other's handlers.
  struct ScanContext {
    /// Compared with the engine's generation: only the newest scan delivers and keeps state.
    std::uint64_t generation = 0;
    PartialHandler onPartial;
    std::stop_token stop;
    /// Ids deleted while this scan ran; guarded by the engine's mutex.
    std::unordered_set<std::string> deleted;
    /// Serialises deliveries to `onPartial`.
    std::mutex deliveryMutex;
  };

  /// Registers a scan for as long as it is in scope and ends it on every way out: a return,
  /// an error, an exception from a handler, a cancellation.
  class ScanScope {
  public:
    ScanScope(LumoraEngine &engine, PartialHandler onPartial, std::stop_token stop)
        : m_engine(engine), m_context(engine.beginScan(std::move(onPartial), std::move(stop))) {}
    ~ScanScope() { m_engine.endScan(m_context); }
    ScanScope(const ScanScope &) = delete;
    ScanScope &operator=(const ScanScope &) = delete;

    [[nodiscard]] const std::shared_ptr<ScanContext> &context() const { return m_context; }

  private:
    LumoraEngine &m_engine;
    std::shared_ptr<ScanContext> m_context;
  };

  /// A scan's photos split by the cache: the photos made from entries that still hold, and
  /// the positions of those that must be analysed, both in the listed order.
  struct CacheSplit {
    std::vector<PhotoItem> hits;
    std::vector<std::size_t> misses;
  };

  struct Signature {
    std::int64_t count = 0;
    std::optional<std::string> first;
    std::optional<std::string> last;
    bool operator==(const Signature &) const = default;
  };
  /// The photos of the last scan (or deletion, or measuring regroup) with their measured
  /// pairs. Replaced whole under the lock and never changed once shared, so that a regroup
  /// clusters a snapshot of it without holding the lock.
  struct LastScan {
    std::vector<PhotoItem> items;
    std::vector<PairDistance> pairs;
    std::optional<Clusterer::PairIndex> index;
    std::optional<Signature> signature;
  };

  /// The one scan of a folder or the library: listing, cache reload, hits, analysis of the
  /// misses, end. The source's `emptyError` when it lists no photo, or its listing's error.
  [[nodiscard]] Expected<ScanResult, EngineError>
  runScan(PhotoSource &source, const ScanOptions &options, ProgressHandler progress,
          PartialHandler onPartial, std::stop_token stop);
  /// Lists the source and reloads the cache for its photos; the listing's error, if any.
  [[nodiscard]] std::optional<EngineError> listPhotos(const std::shared_ptr<ScanContext> &context,
                                                      PhotoSource &source);
  /// Splits the listed photos into cache hits and misses; the current scan borrows the hits'
  /// vectors from the cache.
  [[nodiscard]] CacheSplit splitByCache(const std::shared_ptr<ScanContext> &context,
                                        PhotoSource &source);
  /// Registers a new scan as the current one; older scans become superseded. Scans use
  /// `ScanScope`, which ends them.
  std::shared_ptr<ScanContext> beginScan(PartialHandler onPartial, std::stop_token stop);
  void endScan(const std::shared_ptr<ScanContext> &context);
  /// Reloads the cache from its files, decoding feature vectors only for `only`; a scan
  /// that was superseded meanwhile leaves the newer scan's cache in place.
  void loadCacheIfNeeded(const std::shared_ptr<ScanContext> &context, const PathSet *only);
  /// Appends analysed photos to the log and forwards them to the scan's handler.
  void persistBatch(const std::shared_ptr<ScanContext> &context, std::vector<PhotoItem> items);
  /// Hands photos to the scan's handler unless the scan was superseded.
  void deliverPartial(const std::shared_ptr<ScanContext> &context,
                      const std::vector<PhotoItem> &items);
  /// The common end of every scan: compaction, favourites, order, pairs, last-scan state.
  ScanResult finishScan(const std::shared_ptr<ScanContext> &context, std::vector<PhotoItem> items,
                        std::int64_t fileCount, std::int64_t cacheHits, bool cancelled, double t0,
                        const ProgressHandler &progress);
  /// Rewrites the cache files when records were appended or an old version was read, unless
  /// a newer scan has started.
  void compactIfNeeded(const std::shared_ptr<ScanContext> &context);
  /// Takes the feature vectors off the photos and, for the current scan, hands the ones it
  /// borrowed back to the cache.
  void returnFeatures(const std::shared_ptr<ScanContext> &context, std::vector<PhotoItem> &items);
  /// Marks the folder photos that are among the favourites; the caller holds the lock.
  void markFavorites(std::vector<PhotoItem> &items) const;
  /// The given handler, or one that ignores every report when none was given.
  [[nodiscard]] static ProgressHandler orIgnoring(ProgressHandler progress);
  [[nodiscard]] static Signature signatureOf(const std::vector<PhotoItem> &items);
  /// A last-scan state of `items` and their measured `pairs`, indexed.
  [[nodiscard]] static std::shared_ptr<const LastScan>
  makeLastScan(std::vector<PhotoItem> items, std::vector<PairDistance> pairs);
  /// Groups of the last scan's photos that are in `items` (a list without vectors).
  [[nodiscard]] static std::vector<PhotoGroup> groupKnown(const LastScan &last,
                                                          const std::vector<PhotoItem> &items,
                                                          float threshold, GroupSort sort);
  /// Moves the folder photos of `items` to the Trash in order, noting in `outcome` what
  /// moved, what was gone and what was left, and in `gone` the ids to forget. Stops at the
  /// first failure, which goes into `outcome.error`.
  /// Settles the photos whose path a move found empty, once they were all looked at again.
  void settleEmpty(const std::vector<platform::trash::GonePath> &empty,
                   const std::vector<std::string> &ids, DeleteOutcome &outcome,
                   std::vector<std::string> &gone);
  void trashFolderPhotos(const std::vector<PhotoItem> &items, DeleteOutcome &outcome,
                         std::vector<std::string> &gone);
  /// Deletes the library photos of `items` in one change; their ids go into `gone` when it
  /// went through, else the error into `outcome.error`.
  void deleteLibraryPhotos(const std::vector<PhotoItem> &items, DeleteOutcome &outcome,
                           std::vector<std::string> &gone);
  /// Tombstones removed photos, drops them from favourites, the last-scan state (keeping
  /// the measured pairs of the rest) and from the results of scans still running.
  void forget(const std::vector<std::string> &gone);

  mutable std::mutex m_mutex;
  /// Serialises appends to the cache's log, which run outside `m_mutex` so that a slow disk
  /// never holds up the workers. Taken after `m_mutex` where both are held, never before.
  std::mutex m_logMutex;
  CacheLogAppender m_logAppender;
  EngineServices m_services;
  CacheFiles m_files;
  AnalysisCache m_cache;
  FavoriteStore m_favorites;
  bool m_dirty = false;
  std::shared_ptr<const LastScan> m_last = std::make_shared<const LastScan>();
  /// Raised whenever the last-scan state is set (a scan's end, a deletion, a regroup that
  /// measured its photos), so that a regroup that began before that keeps its groups but
  /// not its older state.
  std::uint64_t m_lastStateVersion = 0;
  /// The scan whose end set the last-scan state; while it is the current scan, no regroup
  /// of measured photos replaces that state.
  std::uint64_t m_scanStateGeneration = 0;
  std::uint64_t m_scanGeneration = 0;
  std::list<std::weak_ptr<ScanContext>> m_activeScans;
  /// Guarded by its own lock: the workers fill it without `m_mutex`.
  ScanPreviews m_previews;
};

} // namespace lumora
