#include "app/store/AppStore.h"

#include "app/store/services/UserDefaults.h"

namespace lumora {
namespace {

// Engine calls that may overlap: a scan, the group computations around it, a favourite.
constexpr int kWorkerThreads = 4;
constexpr int kScrollIdleMs = 300;
constexpr int kRegroupDebounceMs = 80;
constexpr int kProgressPumpMs = 120;

} // namespace

AppStore::AppStore(Services services, QObject *parent)
    : QObject(parent), m_sort(storedSort()), m_engine(services.engine),
      m_previewCache([engine = m_engine](const PhotoItem &item, int maxPixel) {
        return engine->previewImage(item, maxPixel);
      }),
      m_thumbnails(ThumbnailLoader::producer(m_engine), ThumbnailLoader::scanPictures(m_engine)),
      m_services(std::move(services)), m_relay(this, kWorkerThreads) {
  Q_ASSERT(m_engine);
  forwardSelectionSignals();
  m_scrollIdleTimer.setSingleShot(true);
  m_scrollIdleTimer.setInterval(kScrollIdleMs);
  connect(&m_scrollIdleTimer, &QTimer::timeout, this, [this] { setIsScrolling(false); });
  m_regroupTimer.setSingleShot(true);
  m_regroupTimer.setInterval(kRegroupDebounceMs);
  m_regroupTimer.setTimerType(Qt::PreciseTimer);
  connect(&m_regroupTimer, &QTimer::timeout, this, &AppStore::runScheduledRegroup);
  m_progressPump.setInterval(kProgressPumpMs);
  m_progressPump.setTimerType(Qt::PreciseTimer);
  connect(&m_progressPump, &QTimer::timeout, this, &AppStore::pumpProgress);
  m_toastTimer.setSingleShot(true);
  m_toastTimer.setTimerType(Qt::PreciseTimer);
  connect(&m_toastTimer, &QTimer::timeout, this, [this] { setUndoToast(std::nullopt); });
}

void AppStore::forwardSelectionSignals() {
  // Both live on the GUI thread, so each store signal goes out at the moment its field
  // changes: listeners see the same in-between states as with fields of the store's own.
  connect(&m_selection, &GroupSelection::isSelectingChanged, this, &AppStore::isSelectingChanged);
  connect(&m_selection, &GroupSelection::selectedGroupIDsChanged, this,
          &AppStore::selectedGroupIDsChanged);
  connect(&m_selection, &GroupSelection::focusedGroupIDChanged, this,
          &AppStore::focusedGroupIDChanged);
  connect(&m_selection, &GroupSelection::focusedPhotoIDChanged, this,
          &AppStore::focusedPhotoIDChanged);
  connect(&m_selection, &GroupSelection::isBatchConfirmPresentedChanged, this,
          &AppStore::isBatchConfirmPresentedChanged);
  connect(&m_selection, &GroupSelection::isCleaningChanged, this,
          &AppStore::isCleaningSelectionChanged);
}

AppStore::~AppStore() {
  // The relay waits for the engine calls still running; a scan must not keep it waiting.
  if (m_scanTask) {
    m_scanTask->stop.request_stop();
  }
}

template <typename T> void AppStore::assign(T &field, T value, void (AppStore::*changed)()) {
  if (field == value) {
    return;
  }
  field = std::move(value);
  if (changed != nullptr) {
    emit(this->*changed)();
  }
}

void AppStore::setPhase(Phase phase) { assign(m_phase, std::move(phase), &AppStore::phaseChanged); }
void AppStore::setSourceKind(SourceKind kind) {
  assign(m_sourceKind, kind, &AppStore::sourceKindChanged);
}
void AppStore::setFolderURL(std::optional<QUrl> url) {
  assign(m_folderURL, std::move(url), &AppStore::folderURLChanged);
}
void AppStore::setItems(std::vector<PhotoItem> items) {
  assign(m_items, std::move(items), &AppStore::itemsChanged);
}
void AppStore::setGroups(std::vector<PhotoGroup> groups) {
  // A focused group that leaves (cleaned up, or gone from its detail) hands the keyboard
  // focus to the group taking its place, so the grid's keys go on from there.
  std::optional<std::string> refocus = m_selection.focusReplacing(m_groups, groups);
  assign(m_groups, std::move(groups), &AppStore::groupsChanged);
  followGroupCount();
  if (refocus) {
    setFocusedGroupID(std::move(refocus));
  }
}
void AppStore::setProgress(std::optional<ScanProgress> progress) {
  assign(m_progress, std::move(progress), &AppStore::progressChanged);
}
void AppStore::setLastResult(std::optional<ScanResult> result) {
  assign(m_lastResult, std::move(result), &AppStore::lastResultChanged);
}
void AppStore::setIsRegrouping(bool regrouping) {
  assign(m_isRegrouping, regrouping, &AppStore::isRegroupingChanged);
}
void AppStore::setCleaningGroupID(std::optional<std::string> id) {
  assign(m_cleaningGroupID, std::move(id), &AppStore::cleaningGroupIDChanged);
}
void AppStore::setTrashedCount(std::int64_t count) {
  assign(m_trashedCount, count, &AppStore::trashedCountChanged);
}
void AppStore::setIsPaused(bool paused) { assign(m_isPaused, paused, &AppStore::isPausedChanged); }
void AppStore::setIsPauseRequested(bool requested) {
  assign(m_isPauseRequested, requested, &AppStore::isPauseRequestedChanged);
}
void AppStore::setUndoToast(std::optional<UndoToast> toast) {
  assign(m_undoToast, std::move(toast), &AppStore::undoToastChanged);
}
void AppStore::setIsSelecting(bool selecting) { m_selection.setIsSelecting(selecting); }
void AppStore::setSelectedGroupIDs(std::unordered_set<std::string> ids) {
  m_selection.setSelectedGroupIDs(std::move(ids));
}
void AppStore::setExitingGroupIDs(std::unordered_set<std::string> ids) {
  assign(m_exitingGroupIDs, std::move(ids), &AppStore::exitingGroupIDsChanged);
}
void AppStore::setFocusedGroupID(std::optional<std::string> id) {
  m_selection.setFocusedGroupID(std::move(id));
}
void AppStore::setFocusedPhotoID(std::optional<std::string> id) {
  m_selection.setFocusedPhotoID(std::move(id));
}
void AppStore::setSmoothedETA(std::optional<double> eta) { assign(m_smoothedETA, eta); }
void AppStore::setIsScrolling(bool scrolling) {
  assign(m_isScrolling, scrolling, &AppStore::isScrollingChanged);
}
void AppStore::setLastPressedGroupID(std::optional<std::string> id) {
  assign(m_lastPressedGroupID, std::move(id));
}
void AppStore::setIsCleaningSelection(bool cleaning) { m_selection.setIsCleaning(cleaning); }
void AppStore::setIsBatchConfirmPresented(bool presented) {
  m_selection.setIsBatchConfirmPresented(presented);
}
void AppStore::setShowsInfoCenter(bool shows) {
  assign(m_showsInfoCenter, shows, &AppStore::showsInfoCenterChanged);
}
void AppStore::setInfoInitialTab(InfoTab tab) { assign(m_infoInitialTab, tab); }
void AppStore::setAlert(std::optional<AlertContent> alert) {
  assign(m_alert, std::move(alert), &AppStore::alertChanged);
  holdToastWhileAlerting();
}
void AppStore::setDetailGroupID(std::optional<std::string> id) {
  assign(m_detailGroupID, std::move(id), &AppStore::detailGroupIDChanged);
}
void AppStore::setPreviewContext(std::optional<PreviewContext> context) {
  assign(m_previewContext, std::move(context), &AppStore::previewContextChanged);
}
void AppStore::setLastMonthJumpTarget(std::optional<std::string> target) {
  assign(m_lastMonthJumpTarget, std::move(target));
}

void AppStore::setThreshold(float threshold) {
  if (threshold == m_threshold) {
    return;
  }
  m_threshold = threshold;
  emit thresholdChanged();
  scheduleRegroup();
}

void AppStore::setSort(GroupSort sort) {
  if (sort == m_sort) {
    return;
  }
  m_sort = sort;
  emit sortChanged();
  const std::string_view raw = groupsort::rawValue(sort);
  userdefaults::open().setValue(
      userdefaults::key(kGroupSortKey),
      QString::fromLatin1(raw.data(), static_cast<qsizetype>(raw.size())));
  m_selection.setAnchorID(std::nullopt);
  scheduleRegroup();
}

} // namespace lumora
