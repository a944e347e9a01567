// Removing photos: the clean-up of one group, the delete of one photo, the batch clean-up
// of the selected groups, and the short exit of the groups that lose photos.
#include "app/store/AppStore.h"
#include "app/store/texts/ErrorTexts.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"
#include "engine/diagnostics/Diagnostics.h"

#include <QFile>
#include <algorithm>
#include <filesystem>

namespace lumora {
namespace {

constexpr auto kGroupExit = std::chrono::milliseconds(240);
constexpr double kCleanupToastSeconds = 6.0;

void logDelete(const QString &message) { Diagnostics::log(QStringLiteral("delete"), message); }

std::unordered_set<std::string> idsOf(const std::vector<PhotoItem> &items) {
  std::unordered_set<std::string> ids;
  ids.reserve(items.size());
  for (const PhotoItem &item : items) {
    ids.insert(item.id);
  }
  return ids;
}

// The photos the engine removed: moved, or already gone.
std::unordered_set<std::string> removedIDs(const DeleteOutcome &outcome) {
  return {outcome.removedIDs.begin(), outcome.removedIDs.end()};
}

// How many of the removed photos really moved: a photo whose file was already gone left
// the results, but not for the Trash.
std::int64_t movedCount(const std::unordered_set<std::string> &removed,
                        const DeleteOutcome &outcome) {
  std::int64_t missing = 0;
  for (const std::string &id : outcome.missingIDs) {
    missing += removed.contains(id) ? 1 : 0;
  }
  return static_cast<std::int64_t>(removed.size()) - missing;
}

// How many of the user's photos went, for the toast: the receipt also lists the files that
// took a photo's name during its move and went to the Trash in its place (so that undo can
// bring them back), which are no photo of the user's.
std::int64_t photosGone(const DeleteOutcome &outcome) {
  const std::unordered_set<std::string> displaced(outcome.displacedIDs.begin(),
                                                  outcome.displacedIDs.end());
  const auto &files = outcome.receipt.trashedFiles;
  const auto foreign = std::count_if(files.begin(), files.end(), [&displaced](const auto &file) {
    return displaced.contains(file.originalPath);
  });
  return outcome.receipt.totalCount() - static_cast<std::int64_t>(foreign);
}

// The photos' own names, as the user sees them in the results.
QStringList fileNamesOf(const std::vector<std::string> &paths) {
  QStringList names;
  for (const std::string &path : paths) {
    names.append(QFile::decodeName(std::filesystem::path(path).filename().c_str()));
  }
  return names;
}

// Appended verbatim after the error. The desktop has no Finder, and the library is our own
// photo library rather than a program of its own, so both hints name what is here.
QString sourceAdvice(AppStoreTypes::SourceKind kind) {
  return kind == AppStoreTypes::SourceKind::library
             ? QStringLiteral("\n\n可以稍后再试，或在「照片」图库里手动删除。")
             : QStringLiteral("\n\n可以稍后重试，或在文件管理器里手动处理。");
}

} // namespace

void AppStore::cleanup(const PhotoGroup &shown) {
  std::vector<std::string> ids;
  ids.reserve(shown.items.size());
  for (const PhotoItem &item : shown.items) {
    ids.push_back(item.id);
  }
  cleanup(shown.id, ids);
}

void AppStore::cleanup(const std::string &groupID, const std::vector<std::string> &shownMemberIDs) {
  if (m_cleaningGroupID || shownMemberIDs.size() < 2) {
    return;
  }
  // Only the photos the user was shown may go: a regroup or another removal since the
  // confirmation may have given the group other members or another best photo.
  const std::optional<PhotoGroup> current = group(groupID);
  const std::unordered_set<std::string> present = idsOf(m_items);
  const bool unchanged =
      current &&
      std::equal(current->items.begin(), current->items.end(), shownMemberIDs.begin(),
                 shownMemberIDs.end(), [&present](const PhotoItem &item, const std::string &id) {
                   return item.id == id && present.contains(id);
                 });
  if (!unchanged) {
    logDelete(QStringLiteral("cleanup skipped: group changed since confirmation"));
    setAlert(AlertContent{QUuid::createUuid(), localized::string("这组照片已经变了"),
                          localized::string("确认之后这组照片有了变化，没有删除任何照片。"
                                            "请再看一眼这组照片，然后重新清理。"),
                          false, false, localized::string("重试"), m_sourceKind});
    return;
  }
  const std::vector<PhotoItem> victims(current->items.begin() + 1, current->items.end());
  // A photo whose own delete still runs would be moved twice; the second move fails and
  // would stop the clean-up part-way.
  if (std::any_of(victims.begin(), victims.end(),
                  [this](const PhotoItem &victim) { return isRemoving(victim.id); })) {
    return;
  }
  setCleaningGroupID(groupID);
  const std::unordered_set<std::string> victimIDs = idsOf(victims);
  m_cleanupVictimIDs.insert(victimIDs.begin(), victimIDs.end());
  std::shared_ptr<EngineClient> engine = m_engine;
  m_relay.run([engine, victims] { return engine->deleteItems(victims); },
              [this, groupID, victims, victimIDs](const DeleteOutcome &outcome) {
                for (const std::string &id : victimIDs) {
                  m_cleanupVictimIDs.erase(id);
                }
                settleRemoval(victims, outcome, {"cleanup", "cleanup failed"},
                              [this, groupID, outcome](bool removedAny) {
                                cleanupFinished(groupID, outcome, removedAny);
                              });
              });
}

bool AppStore::isRemoving(const std::string &itemID) const {
  return m_deletingItemIDs.contains(itemID) || m_cleanupVictimIDs.contains(itemID);
}

void AppStore::settleRemoval(const std::vector<PhotoItem> &victims, const DeleteOutcome &outcome,
                             const RemovalLabels &labels,
                             std::function<void(bool removedAny)> finish) {
  const std::unordered_set<std::string> removed = removedIDs(outcome);
  const std::int64_t total = outcome.receipt.totalCount();
  if (outcome.error) {
    logDiagnosticError(QStringLiteral("delete"), EngineCallError::fromEngine(*outcome.error),
                       QString::fromLatin1(labels.failed) +
                           QStringLiteral(" count=%1").arg(victims.size()));
  }
  if (!removed.empty()) {
    logDelete(QString::fromLatin1(labels.done) +
              (outcome.error ? QStringLiteral(" partial count=%1") : QStringLiteral(" ok count=%1"))
                  .arg(total));
    setTrashedCount(m_trashedCount + movedCount(removed, outcome));
    removeItems(removed);
    // A desktop has no haptic feedback to play here.
  }
  animateGroupsExiting(removed, [this, finish, removedAny = !removed.empty()] {
    refreshGroups(m_scanGeneration, [finish, removedAny] { finish(removedAny); });
  });
}

void AppStore::cleanupFinished(const std::string &groupID, const DeleteOutcome &outcome,
                               bool removedAny) {
  // A detail the user opened on another group meanwhile is none of this clean-up's business.
  if (m_detailGroupID == groupID) {
    closeDetailIfEmptied();
  }
  alertRemovalProblems({"有照片没能删除", "有照片没有移到废纸篓", true}, outcome);
  const std::int64_t total = photosGone(outcome);
  if ((removedAny && total >= 1) || outcome.receipt.canUndo()) {
    presentCleanupToast(outcome.receipt, texts::cleanedText(total), kCleanupToastSeconds);
  }
  // A scan started meanwhile released the guard; a clean-up begun since then keeps it.
  if (m_cleaningGroupID == groupID) {
    setCleaningGroupID(std::nullopt);
  }
}

void AppStore::deleteItem(const PhotoItem &item, DeleteHandler done) {
  if (isRemoving(item.id)) {
    if (done) {
      done(false);
    }
    return;
  }
  m_deletingItemIDs.insert(item.id);
  std::shared_ptr<EngineClient> engine = m_engine;
  m_relay.run(
      [engine, item] { return engine->deleteItems({item}); },
      [this, item, done](const DeleteOutcome &outcome) { deleteFinished(item, outcome, done); });
}

void AppStore::deleteFinished(const PhotoItem &item, const DeleteOutcome &outcome,
                              DeleteHandler done) {
  const std::unordered_set<std::string> removedID = removedIDs(outcome);
  const bool removed = !removedID.empty();
  if (outcome.error) {
    logDiagnosticError(QStringLiteral("delete"), EngineCallError::fromEngine(*outcome.error),
                       QStringLiteral("single delete failed"));
  }
  alertRemovalProblems({"删除失败", "删除失败", false}, outcome);
  if (!removed) {
    m_deletingItemIDs.erase(item.id);
    // A file that took the photo's name may have gone to the Trash: undo can bring it back.
    if (outcome.receipt.canUndo()) {
      presentCleanupToast(outcome.receipt, texts::deletedText(photosGone(outcome)),
                          kCleanupToastSeconds);
    }
    if (done) {
      done(false);
    }
    return;
  }
  logDelete(QStringLiteral("single ok count=%1").arg(outcome.receipt.totalCount()));
  const std::int64_t total = photosGone(outcome);
  setTrashedCount(m_trashedCount + movedCount(removedID, outcome));
  removeItems({item.id});
  // The photo counts as being removed until the groups no longer show it.
  refreshGroups(m_scanGeneration, [this, id = item.id, receipt = outcome.receipt, total, done] {
    m_deletingItemIDs.erase(id);
    setPreviewContext(std::nullopt);
    closeDetailIfEmptied();
    if (total >= 1) {
      presentCleanupToast(receipt, texts::deletedText(total), kCleanupToastSeconds);
    }
    if (done) {
      done(true);
    }
  });
}

void AppStore::cleanupSelected() {
  if (canCleanupSelection()) {
    removeSelected(m_selection.selectedVictims(m_groups));
  }
}

void AppStore::cleanupSelected(const std::vector<std::string> &shownVictimIDs) {
  if (!canCleanupSelection()) {
    return;
  }
  // Only the photos the user was shown may go: a regroup landing after the confirmation
  // opened (a resumed scan, a threshold change) can give the selected groups other photos.
  std::vector<PhotoItem> victims = m_selection.selectedVictims(m_groups);
  std::vector<std::string> now;
  for (const PhotoItem &victim : victims) {
    now.push_back(victim.id);
  }
  std::vector<std::string> shown = shownVictimIDs;
  std::sort(now.begin(), now.end());
  std::sort(shown.begin(), shown.end());
  if (now != shown) {
    logDelete(QStringLiteral("batch skipped: selection changed since confirmation"));
    setAlert(AlertContent{QUuid::createUuid(), localized::string("所选的照片已经变了"),
                          localized::string("确认之后所选的组有了变化，没有删除任何照片。"
                                            "请再看一眼所选的组，然后重新清理。"),
                          false, false, localized::string("重试"), m_sourceKind});
    return;
  }
  removeSelected(std::move(victims));
}

void AppStore::removeSelected(std::vector<PhotoItem> victims) {
  // One engine call for all of them; a photo in two selected groups goes once.
  if (victims.empty()) {
    return;
  }
  setIsCleaningSelection(true);
  std::shared_ptr<EngineClient> engine = m_engine;
  m_relay.run([engine, victims] { return engine->deleteItems(victims); },
              [this, victims](const DeleteOutcome &outcome) {
                settleRemoval(
                    victims, outcome, {"batch", "batch delete failed"},
                    [this, outcome](bool removedAny) { batchFinished(outcome, removedAny); });
              });
}

void AppStore::batchFinished(const DeleteOutcome &outcome, bool removedAny) {
  exitSelectionMode();
  const std::int64_t total = photosGone(outcome);
  if ((removedAny && total >= 1) || outcome.receipt.canUndo()) {
    presentCleanupToast(outcome.receipt, localized::format("已清理 %@ 张", "已清理 %@ 张", {total}),
                        kCleanupToastSeconds);
  }
  // Nothing is retried: what moved is on the toast, the rest is for the user to look at.
  alertRemovalProblems({"批量清理失败", "有照片没有移到废纸篓", true}, outcome);
  setIsCleaningSelection(false);
}

void AppStore::removeItems(const std::unordered_set<std::string> &ids) {
  std::vector<PhotoItem> kept;
  kept.reserve(m_items.size());
  for (const PhotoItem &item : m_items) {
    if (!ids.contains(item.id)) {
      kept.push_back(item);
    }
  }
  if (kept.size() != m_items.size()) {
    setItems(std::move(kept));
  }
}

void AppStore::animateGroupsExiting(const std::unordered_set<std::string> &removedIDs,
                                    std::function<void()> then) {
  std::vector<std::string> exiting;
  for (const PhotoGroup &shown : m_groups) {
    if (std::any_of(shown.items.begin(), shown.items.end(), [&removedIDs](const PhotoItem &item) {
          return removedIDs.contains(item.id);
        })) {
      exiting.push_back(shown.id);
    }
  }
  if (exiting.empty()) {
    then();
    return;
  }
  std::unordered_set<std::string> marked = m_exitingGroupIDs;
  marked.insert(exiting.begin(), exiting.end());
  setExitingGroupIDs(std::move(marked));
  QTimer::singleShot(kGroupExit, Qt::PreciseTimer, this, [this, exiting, then] {
    // Exactly these ids leave, also when an overlapping removal marked one of them too.
    std::unordered_set<std::string> left = m_exitingGroupIDs;
    for (const std::string &id : exiting) {
      left.erase(id);
    }
    setExitingGroupIDs(std::move(left));
    then();
  });
}

void AppStore::closeDetailIfEmptied() {
  if (!m_detailGroupID) {
    return;
  }
  const std::optional<PhotoGroup> shown = group(*m_detailGroupID);
  if (!shown || shown->count() < 2) {
    setDetailGroupID(std::nullopt);
  }
}

void AppStore::alertRemovalProblems(const RemovalTitles &titles, const DeleteOutcome &outcome) {
  QString leftInPlace = texts::leftInPlaceText(fileNamesOf(outcome.refusedIDs));
  const QString displaced = texts::displacedText(fileNamesOf(outcome.displacedIDs));
  if (!displaced.isEmpty()) {
    leftInPlace += (leftInPlace.isEmpty() ? QString() : QStringLiteral("\n\n")) + displaced;
  }
  if (!outcome.error && leftInPlace.isEmpty()) {
    return;
  }
  QString message = outcome.error ? texts::errorText(*outcome.error) : leftInPlace;
  if (outcome.error && !leftInPlace.isEmpty()) {
    message += QStringLiteral("\n\n") + leftInPlace;
  }
  if (outcome.error && titles.advice) {
    message += sourceAdvice(m_sourceKind);
  }
  const char *title = outcome.error ? titles.failed : titles.leftInPlace;
  setAlert(AlertContent{QUuid::createUuid(), localized::string(title), message, false, false,
                        localized::string("重试"), m_sourceKind});
}

} // namespace lumora
