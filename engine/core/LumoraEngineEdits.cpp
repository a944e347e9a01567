// What the engine does after a scan: grouping, deletion, undo, favourites, previews,
// display names and clearing the cache.
#include "engine/core/LumoraEngine.h"

#include "engine/core/CaptureOrder.h"
#include "engine/core/PairPruning.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/diagnostics/LoggedName.h"
#include "engine/imaging/ImageLoader.h"

#include <algorithm>

namespace lumora {
namespace {

EngineError libraryUnavailable() {
  return EngineError::fromLibrary(EngineError::LibraryKind::other, QStringLiteral("图库不可用"));
}

/// The file a scan saw for a folder photo; none for a photo not made by a scan, whose path
/// alone names its file.
std::optional<platform::FileIdentity> scannedIdentity(const PhotoItem &item) {
  if (item.inode == 0) {
    return std::nullopt;
  }
  return platform::FileIdentity{item.device, item.inode, item.fileSize,
                                item.modified.secondsSince1970};
}

void logDelete(const QString &what, const std::string &path) {
  Diagnostics::log(QStringLiteral("delete"), what + logline::fileName(path));
}

} // namespace

std::vector<PhotoGroup> LumoraEngine::group(const std::vector<PhotoItem> &items, float threshold,
                                            GroupSort sort) {
  const Signature signature = signatureOf(items);
  std::uint64_t stateVersion = 0;
  std::shared_ptr<const LastScan> last;
  {
    // Only the snapshot is taken under the lock: clustering a large library takes long
    // enough to hold up every worker that persists its photos meanwhile.
    const std::scoped_lock guard(m_mutex);
    stateVersion = m_lastStateVersion;
    last = m_last;
  }
  if (last->signature == signature && last->items.size() == items.size()) {
    return last->index ? Clusterer::groups(last->items, *last->index, threshold, sort)
                       : Clusterer::groups(last->items, last->pairs, threshold, sort);
  }
  const bool featureless = !items.empty() && items.front().feature.empty();
  if (featureless && !last->pairs.empty() && !last->items.empty()) {
    return groupKnown(*last, items, threshold, sort);
  }
  std::vector<PhotoItem> sorted = items;
  sortByCaptureDate(sorted);
  std::vector<PairDistance> pairs = Clusterer::buildPairs(
      sorted, Clusterer::kMaxGap, Clusterer::kMaxNeighborsPerItem, Clusterer::kMaxPairs);
  std::vector<PhotoGroup> groups = Clusterer::groups(sorted, pairs, threshold, sort);
  std::shared_ptr<const LastScan> measured = makeLastScan(std::move(sorted), std::move(pairs));
  const std::scoped_lock guard(m_mutex);
  if (m_lastStateVersion != stateVersion || m_scanStateGeneration == m_scanGeneration) {
    // A scan ended (or photos were deleted) while these photos were measured, or the
    // current scan has ended already: its state is newer than this list, typically that
    // scan's partial photos, whose regroup was on its way when the scan ended.
    return groups;
  }
  m_last = std::move(measured);
  ++m_lastStateVersion;
  return groups;
}

std::vector<PhotoGroup> LumoraEngine::groupKnown(const LastScan &last,
                                                 const std::vector<PhotoItem> &items,
                                                 float threshold, GroupSort sort) {
  // A list without vectors cannot be measured: the last scan's pairs stand in, but only for
  // the photos that are in the list handed in.
  std::unordered_set<std::string> wanted;
  for (const PhotoItem &item : items) {
    wanted.insert(item.id);
  }
  std::unordered_set<std::string> others;
  for (const PhotoItem &item : last.items) {
    if (!wanted.contains(item.id)) {
      others.insert(item.id);
    }
  }
  if (others.empty()) {
    return Clusterer::groups(last.items, last.pairs, threshold, sort);
  }
  std::vector<PhotoItem> subset = last.items;
  std::vector<PairDistance> pairs = last.pairs;
  prunePhotos(subset, pairs, others);
  return Clusterer::groups(subset, pairs, threshold, sort);
}

Expected<bool, EngineError> LumoraEngine::setFavorite(const PhotoItem &item, bool favorite) {
  if (item.localIdentifier) {
    if (!m_services.library) {
      return Unexpected(libraryUnavailable());
    }
    if (auto error = m_services.library->setFavorite({*item.localIdentifier}, favorite)) {
      return Unexpected(*error);
    }
  }
  const std::scoped_lock guard(m_mutex);
  if (!item.localIdentifier) {
    // A mark that did not reach the file would be gone at the next start: the user is told,
    // and memory stays as the file is.
    if (auto saved = m_favorites.set(item.id, favorite); !saved) {
      return Unexpected(EngineError::favoriteSave(saved.error().kind));
    }
  }
  const auto &lastItems = m_last->items;
  const auto found = std::find_if(lastItems.begin(), lastItems.end(),
                                  [&](const PhotoItem &last) { return last.id == item.id; });
  if (found != lastItems.end() && found->isFavorite != favorite) {
    // The shared state is never changed in place: a regroup may be reading it.
    auto changed = std::make_shared<LastScan>(*m_last);
    PhotoItem &photo = changed->items[static_cast<std::size_t>(found - lastItems.begin())];
    photo = photo.withFavorite(favorite);
    m_last = std::move(changed);
  }
  return favorite;
}

std::optional<platform::DecodedImage> LumoraEngine::previewImage(const PhotoItem &item,
                                                                 int maxPixel) {
  if (item.localIdentifier) {
    return m_services.library ? m_services.library->previewImage(*item.localIdentifier, maxPixel)
                              : std::nullopt;
  }
  // A folder photo's id is its file's path as the file system gave it.
  auto loaded = ImageLoader::load(item.id, maxPixel);
  if (!loaded) {
    return std::nullopt;
  }
  return std::move(loaded->image);
}

bool LumoraEngine::requestLibraryAuthorization() {
  return m_services.library && m_services.library->requestAuthorization();
}

std::optional<platform::DecodedImage>
LumoraEngine::libraryThumbnail(const std::string &localIdentifier, int maxPixel) {
  return m_services.library ? m_services.library->thumbnail(localIdentifier, maxPixel).image
                            : std::nullopt;
}

QString LumoraEngine::displayName(const PhotoItem &item) {
  if (item.localIdentifier) {
    if (m_services.library) {
      if (auto name = m_services.library->originalFilename(*item.localIdentifier)) {
        return *name;
      }
    }
    return QStringLiteral("图库照片");
  }
  return item.url.fileName();
}

DeleteOutcome LumoraEngine::deleteItems(const std::vector<PhotoItem> &items) {
  DeleteOutcome outcome;
  std::vector<std::string> gone;
  trashFolderPhotos(items, outcome, gone);
  if (!outcome.error) {
    deleteLibraryPhotos(items, outcome, gone);
  }
  if (outcome.error) {
    Diagnostics::log(QStringLiteral("delete"), QStringLiteral("stopped after %1 of %2: %3")
                                                   .arg(gone.size())
                                                   .arg(items.size())
                                                   .arg(outcome.error->logText()));
  }
  forget(gone);
  outcome.removedIDs = std::move(gone);
  return outcome;
}

void LumoraEngine::trashFolderPhotos(const std::vector<PhotoItem> &items, DeleteOutcome &outcome,
                                     std::vector<std::string> &gone) {
  using platform::trash::MoveStatus;
  // Photos found gone are looked at again all together, after the others moved: a batch of
  // them costs the short while of looks once.
  std::vector<platform::trash::GonePath> empty;
  std::vector<std::string> emptyIDs;
  for (const PhotoItem &item : items) {
    if (item.localIdentifier || outcome.error) {
      continue;
    }
    // The path as the scan found it, and the file the scan saw there: the file moved is
    // the one the user saw.
    const std::string &path = item.id;
    const auto expected = scannedIdentity(item);
    auto moved = m_services.moveToTrash(path, expected);
    switch (moved.status) {
    case MoveStatus::moved:
      outcome.receipt.trashedFiles.push_back({path, std::move(moved.trashedPath), moved.trashed});
      gone.push_back(item.id);
      break;
    case MoveStatus::missing:
      empty.push_back({path, !expected.has_value()});
      emptyIDs.push_back(item.id);
      break;
    case MoveStatus::changed:
      logDelete(QStringLiteral("left in place, changed since the scan: "), path);
      outcome.refusedIDs.push_back(item.id);
      break;
    case MoveStatus::displaced:
      // Not the photo: the file that took its name and could not be put back. Undo may
      // bring it back, so it is in the receipt; the photo itself stays known.
      logDelete(QStringLiteral("left in place; a file saved under its name meanwhile went to "
                               "the Trash: "),
                path);
      outcome.receipt.trashedFiles.push_back({path, std::move(moved.trashedPath), moved.trashed});
      outcome.displacedIDs.push_back(item.id);
      break;
    case MoveStatus::failed:
      outcome.error = EngineError::trashFailure(false, moved.problem, path);
      break;
    }
  }
  settleEmpty(empty, emptyIDs, outcome, gone);
}

void LumoraEngine::settleEmpty(const std::vector<platform::trash::GonePath> &empty,
                               const std::vector<std::string> &ids, DeleteOutcome &outcome,
                               std::vector<std::string> &gone) {
  if (empty.empty()) {
    return;
  }
  const std::vector<bool> staysGone = m_services.confirmGone(empty);
  for (std::size_t i = 0; i < empty.size(); ++i) {
    if (i < staysGone.size() && staysGone[i]) {
      logDelete(QStringLiteral("already gone: "), empty[i].path);
      outcome.missingIDs.push_back(ids[i]);
      gone.push_back(ids[i]);
    } else {
      // Something is back under the name, or its folder was away for a moment: the file
      // there is not known to be the one scanned, so it stays.
      logDelete(QStringLiteral("left in place, changed since the scan: "), empty[i].path);
      outcome.refusedIDs.push_back(ids[i]);
    }
  }
}

void LumoraEngine::deleteLibraryPhotos(const std::vector<PhotoItem> &items, DeleteOutcome &outcome,
                                       std::vector<std::string> &gone) {
  std::vector<std::string> identifiers;
  std::vector<std::string> libraryIds;
  for (const PhotoItem &item : items) {
    if (item.localIdentifier) {
      identifiers.push_back(*item.localIdentifier);
      libraryIds.push_back(item.id);
    }
  }
  if (identifiers.empty()) {
    return;
  }
  auto error = m_services.library ? m_services.library->deleteAssets(identifiers)
                                  : std::optional<EngineError>(libraryUnavailable());
  if (error) {
    outcome.error = std::move(error);
    return;
  }
  outcome.receipt.libraryItemCount = static_cast<std::int64_t>(identifiers.size());
  gone.insert(gone.end(), libraryIds.begin(), libraryIds.end());
}

void LumoraEngine::forget(const std::vector<std::string> &gone) {
  if (gone.empty()) {
    return;
  }
  const std::unordered_set<std::string> ids(gone.begin(), gone.end());
  const std::scoped_lock guard(m_mutex);
  bool favoritesChanged = false;
  for (const std::string &id : ids) {
    m_cache.markDeleted(id, m_files.tombstones);
    favoritesChanged = m_favorites.remove(id) || favoritesChanged;
  }
  if (favoritesChanged) {
    (void)m_favorites.save(); // bookkeeping: a failure is logged and retried with the next save
  }
  std::vector<PhotoItem> items = m_last->items;
  std::vector<PairDistance> pairs = m_last->pairs;
  prunePhotos(items, pairs, ids);
  m_last = makeLastScan(std::move(items), std::move(pairs));
  ++m_lastStateVersion;
  m_dirty = true;
  for (const auto &weak : m_activeScans) {
    if (const auto scan = weak.lock()) {
      scan->deleted.insert(ids.begin(), ids.end());
    }
  }
}

Expected<std::int64_t, EngineError> LumoraEngine::undoDelete(const DeleteReceipt &receipt) {
  std::int64_t restored = 0;
  for (const auto &file : receipt.trashedFiles) {
    const auto result =
        m_services.restoreFromTrash(file.trashedPath, file.originalPath, file.trashed);
    if (result.status == platform::trash::RestoreStatus::failed) {
      return Unexpected(EngineError::trashFailure(true, result.problem, file.originalPath));
    }
    restored += result.status == platform::trash::RestoreStatus::restored ? 1 : 0;
  }
  return restored;
}

void LumoraEngine::invalidateCache() {
  const std::scoped_lock guard(m_mutex);
  m_cache = AnalysisCache();
  m_dirty = false;
  for (const auto &path : {m_files.base, m_files.log, m_files.tombstones}) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
  }
}

} // namespace lumora
