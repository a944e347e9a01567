#pragma once

#include "app/store/images/PreviewImageCache.h"
#include "app/store/images/ThumbnailLoader.h"
#include "app/store/services/EngineClient.h"
#include "app/store/services/WorkerRelay.h"
#include "app/store/state/AppStoreTypes.h"
#include "app/store/state/GroupSelection.h"
#include "app/store/state/ScanProgressBox.h"
#include "engine/model/GroupSort.h"
#include "engine/model/PhotoGroup.h"
#include "engine/model/ScanTypes.h"
#include "engine/model/SimilarityScale.h"

#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

namespace lumora {

/// What the folder picker shows.
struct FolderPickerRequest {
  QString title;
  QString message;
  QString prompt;
  /// The folder the picker opens in, when there is one.
  std::optional<QUrl> startDirectory;
};

/// The application's single store of user-interface state and the owner of every user
/// action: it drives scans through the engine, keeps the groups current and feeds the views.
///
/// Lives on the GUI thread; every member is called there. Engine calls run on worker
/// threads of the store's `WorkerRelay` and their results come back as queued calls on the
/// GUI thread, where the generation counters decide whether they still apply.
///
/// Every published field has a getter, a setter that does nothing when the value is
/// unchanged, and a change signal emitted after the new value is stored. Views call the
/// actions and may set only the fields a view writes (threshold, sort, focus, the info
/// sheet, selection, the alert and toast dismissal, the detail and preview, the pressed
/// card, the batch confirmation, the month jump); the setters of everything the actions
/// own (phase, items, groups, progress, results, pause and clean-up flags, …) are private.
/// Tests and developer tools that must put the store into a given state use `StateAccess`.
class AppStore : public QObject, public AppStoreTypes {
  Q_OBJECT

public:
  using Clock = std::function<std::chrono::steady_clock::time_point()>;
  /// Shows a folder picker (directories only, one folder) and later calls `done` with the
  /// chosen folder, or none when the user cancelled. May call `done` before returning.
  using FolderPicker = std::function<void(const FolderPickerRequest &request,
                                          std::function<void(std::optional<QUrl>)> done)>;
  /// Opens one privacy-settings target ("Privacy_FilesAndFolders", …); true when it opened.
  using SettingsOpener = std::function<bool(const QString &target)>;
  using FavoriteHandler = std::function<void(bool favorite)>;

  /// What the store needs from outside: the engine and the platform's dialogs and links.
  struct Services {
    std::shared_ptr<EngineClient> engine;
    FolderPicker pickFolder;
    SettingsOpener openSettingsTarget;
    /// Where the QA marker files live.
    QString qaMarkerDirectory = QStringLiteral("/tmp");
    /// Whether a folder scan writes the remembered folder that the next launch reopens;
    /// the self-tests' private stores leave the user's folder alone.
    bool remembersFolder = true;
    /// The time used for the remaining-time and live-regroup throttles.
    Clock clock = [] { return std::chrono::steady_clock::now(); };
  };

  /// The user-defaults key of the remembered group order.
  static constexpr char kGroupSortKey[] = "Lumora.groupSort";
  /// The privacy-settings targets the settings buttons try, in order, and the last resort.
  static constexpr char kFilesAndFoldersAnchor[] = "Privacy_FilesAndFolders";
  static constexpr char kAllFilesAnchor[] = "Privacy_AllFiles";
  static constexpr char kPhotosAnchor[] = "Privacy_Photos";
  static constexpr char kSecurityFallback[] = "Security";

  /// The one door for tests and developer tools (the render-screens tool) to set the fields
  /// that only the store's actions change: `AppStore::StateAccess(store).setPhase(…)`.
  /// Defined in app/store/AppStoreStateAccess.h; application code never uses it.
  class StateAccess;

  /// Sets every field to its initial value; the sort comes from the user defaults. Nothing
  /// starts until `bootstrap()`.
  explicit AppStore(Services services, QObject *parent = nullptr);
  /// Asks a running scan to stop and waits for the engine calls still running.
  ~AppStore() override;

  // Published state.
  [[nodiscard]] const Phase &phase() const { return m_phase; }
  [[nodiscard]] SourceKind sourceKind() const { return m_sourceKind; }
  [[nodiscard]] const std::optional<QUrl> &folderURL() const { return m_folderURL; }
  [[nodiscard]] const std::vector<PhotoItem> &items() const { return m_items; }
  [[nodiscard]] const std::vector<PhotoGroup> &groups() const { return m_groups; }
  [[nodiscard]] const std::optional<ScanProgress> &progress() const { return m_progress; }
  [[nodiscard]] const std::optional<ScanResult> &lastResult() const { return m_lastResult; }
  [[nodiscard]] bool isRegrouping() const { return m_isRegrouping; }
  [[nodiscard]] const std::optional<std::string> &cleaningGroupID() const {
    return m_cleaningGroupID;
  }
  [[nodiscard]] std::int64_t trashedCount() const { return m_trashedCount; }
  [[nodiscard]] bool isPaused() const { return m_isPaused; }
  [[nodiscard]] bool isPauseRequested() const { return m_isPauseRequested; }
  [[nodiscard]] const std::optional<UndoToast> &undoToast() const { return m_undoToast; }
  void setUndoToast(std::optional<UndoToast> toast);
  [[nodiscard]] bool isSelecting() const { return m_selection.isSelecting(); }
  void setIsSelecting(bool selecting);
  [[nodiscard]] const std::unordered_set<std::string> &selectedGroupIDs() const {
    return m_selection.selectedGroupIDs();
  }
  void setSelectedGroupIDs(std::unordered_set<std::string> ids);
  /// Not published: the anchor of a shift-click range selection.
  [[nodiscard]] const std::optional<std::string> &selectionAnchorID() const {
    return m_selection.anchorID();
  }
  void setSelectionAnchorID(std::optional<std::string> id) {
    m_selection.setAnchorID(std::move(id));
  }
  [[nodiscard]] const std::unordered_set<std::string> &exitingGroupIDs() const {
    return m_exitingGroupIDs;
  }
  [[nodiscard]] const std::optional<std::string> &focusedGroupID() const {
    return m_selection.focusedGroupID();
  }
  void setFocusedGroupID(std::optional<std::string> id);
  [[nodiscard]] const std::optional<std::string> &focusedPhotoID() const {
    return m_selection.focusedPhotoID();
  }
  void setFocusedPhotoID(std::optional<std::string> id);
  /// The remaining seconds shown while analysing, refreshed at most every 0.5 s.
  [[nodiscard]] std::optional<double> smoothedETA() const { return m_smoothedETA; }
  [[nodiscard]] bool isScrolling() const { return m_isScrolling; }
  /// How many groups the window's counts say: the number of groups, except while a view
  /// keeps a still picture of the groups as they were (their new photos still coming), when
  /// it is the number that picture shows, so no count runs ahead of the grid. It takes the
  /// new number after everyone has heard of new groups, so a view may pin it as it hears.
  [[nodiscard]] std::size_t groupCountShown() const { return m_groupCountShown; }
  /// Keeps `groupCountShown` where it stands while any owner pins it; an owner that is
  /// destroyed lets go.
  void pinGroupCountShown(const QObject *owner, bool pinned);
  [[nodiscard]] const std::optional<std::string> &lastPressedGroupID() const {
    return m_lastPressedGroupID;
  }
  void setLastPressedGroupID(std::optional<std::string> id);
  [[nodiscard]] bool isCleaningSelection() const { return m_selection.isCleaning(); }
  [[nodiscard]] bool isBatchConfirmPresented() const {
    return m_selection.isBatchConfirmPresented();
  }
  void setIsBatchConfirmPresented(bool presented);
  [[nodiscard]] bool showsInfoCenter() const { return m_showsInfoCenter; }
  void setShowsInfoCenter(bool shows);
  [[nodiscard]] InfoTab infoInitialTab() const { return m_infoInitialTab; }
  void setInfoInitialTab(InfoTab tab);
  /// The similarity threshold; a different value schedules a regroup.
  [[nodiscard]] float threshold() const { return m_threshold; }
  void setThreshold(float threshold);
  [[nodiscard]] const std::optional<AlertContent> &alert() const { return m_alert; }
  void setAlert(std::optional<AlertContent> alert);
  /// The group order; a different value is remembered, clears the selection anchor and
  /// schedules a regroup.
  [[nodiscard]] GroupSort sort() const { return m_sort; }
  void setSort(GroupSort sort);
  [[nodiscard]] const std::optional<std::string> &detailGroupID() const { return m_detailGroupID; }
  void setDetailGroupID(std::optional<std::string> id);
  [[nodiscard]] const std::optional<PreviewContext> &previewContext() const {
    return m_previewContext;
  }
  void setPreviewContext(std::optional<PreviewContext> context);
  [[nodiscard]] const std::optional<std::string> &lastMonthJumpTarget() const {
    return m_lastMonthJumpTarget;
  }
  void setLastMonthJumpTarget(std::optional<std::string> target);

  // Counters and handles that are not published.
  [[nodiscard]] std::int64_t scanGeneration() const { return m_scanGeneration; }
  [[nodiscard]] std::int64_t regroupGeneration() const { return m_regroupGeneration; }
  [[nodiscard]] std::int64_t toastGeneration() const { return m_toastGeneration; }
  [[nodiscard]] bool didBootstrap() const { return m_didBootstrap; }
  [[nodiscard]] EngineClient &engine() const { return *m_engine; }
  [[nodiscard]] PreviewImageCache &previewCache() { return m_previewCache; }
  /// The grid and tile thumbnails, made through this store's engine.
  [[nodiscard]] ThumbnailLoader &thumbnails() { return m_thumbnails; }

  // Derived values, computed on every read.
  [[nodiscard]] std::int64_t scannedTotalCount() const;
  [[nodiscard]] std::vector<PhotoGroup> selectedGroups() const;
  [[nodiscard]] std::int64_t selectedVictimCount() const;
  [[nodiscard]] std::int64_t selectedReclaimableBytes() const;
  /// The ids of the photos a batch clean-up of the selection removes: every photo but the
  /// best of each selected group, in group order, each once.
  [[nodiscard]] std::vector<std::string> selectedVictimIDs() const;
  [[nodiscard]] bool canCleanupSelection() const;
  [[nodiscard]] std::int64_t totalReclaimableBytes() const;
  [[nodiscard]] std::int64_t totalCleanableCount() const;
  /// The one-line progress text of the scanning screen.
  [[nodiscard]] QString progressHeadline() const;
  /// The short name of the current scan phase.
  [[nodiscard]] QString phaseDescription() const;
  /// Changes whenever the screen should animate to another state.
  [[nodiscard]] QString phaseToken() const;
  [[nodiscard]] std::optional<PhotoItem> previewItem() const;
  /// "3 / 7" for the third photo of seven; empty without a context or its group.
  [[nodiscard]] QString previewPositionText() const;
  [[nodiscard]] std::optional<PhotoGroup> group(const std::string &id) const;

  // Keyboard focus of the results grid, and scrolling.
  void focusFirstGroup();
  void focusLastGroup();
  /// Moves by whole rows (negative: back), clamped to the first and last group.
  void focusPage(int columns, int rows);
  /// Arrow-key movement; a target outside the groups changes nothing.
  void focusStep(int rowDelta, int columnDelta, int columns);
  /// Keeps `isScrolling` true until 300 ms after the last call.
  void noteScrollActivity();

  // Scans.
  /// The start-up scan: the QA folder, the remembered folder or the last path. Once.
  void bootstrap();
  /// Folder picker, then a scan of the chosen folder with the results reset.
  void chooseFolder();
  /// A scan of the given folder with the results reset, without the picker and without
  /// remembering the folder (the self-tests scan their folder this way).
  void scanFolder(const QUrl &folder);
  /// Photo-library access, then a library scan with the results reset.
  void openLibrary();
  /// Repeats the last kind of scan.
  void retry();
  /// The alert's retry button: repeats what the alert is about.
  void retryAlert(const AlertContent &alert);
  /// Continues a paused scan without clearing the results.
  void resumeScan();
  /// Asks the running scan to stop; it ends paused with what it analysed.
  void requestPause();

  // Favourites, navigation and settings.
  /// Asks the engine to flip the photo's favourite flag; `done` gets the state afterwards
  /// (the old one when the change failed).
  void toggleFavorite(const PhotoItem &item, FavoriteHandler done = {});
  void openDetail(const PhotoGroup &group);
  void openPreview(const PhotoGroup &group, const std::string &itemID);
  /// Steps through the previewed group, wrapping at both ends.
  void previewStep(std::int64_t delta);
  using NameHandler = std::function<void(const QString &name)>;
  /// Asks the engine for the photo's display name off the GUI thread; `done` runs on the GUI
  /// thread with the answer, unless `context` was destroyed meanwhile.
  void requestDisplayName(const PhotoItem &item, QObject *context, NameHandler done);
  /// Opens the first target that opens, else the fallback.
  void openSettings(const QStringList &anchors, const QString &fallback);
  /// The privacy-settings targets for a source, in the order they are tried.
  [[nodiscard]] static QStringList settingsAnchors(SourceKind source);
  /// `openSettings` with the targets of `source`.
  void openPrivacySettings(SourceKind source);

  // The analysis cache.
  /// Empties the engine's analysis cache on a worker thread; the store's destructor waits
  /// for it. `done` then runs on the GUI thread, unless `context` was destroyed meanwhile.
  void clearAnalysisCache(QObject *context, std::function<void()> done);

  // Clean-up, delete, undo toast and undo.
  /// Moves every photo of the group but its best to the Trash (or "Recently Deleted").
  /// `shownMemberIDs` are the group's photos as the confirmation showed them, best first;
  /// when the group no longer has exactly these photos nothing is removed and an alert
  /// says so. One clean-up at a time.
  void cleanup(const std::string &groupID, const std::vector<std::string> &shownMemberIDs);
  /// `cleanup` of a group as the caller holds it.
  void cleanup(const PhotoGroup &shown);
  using DeleteHandler = std::function<void(bool removed)>;
  /// Removes one photo; `done` learns whether it was removed. Does nothing but answer
  /// false while the photo is already being removed (`isRemoving`).
  void deleteItem(const PhotoItem &item, DeleteHandler done = {});
  /// True while a delete of this photo runs, or the running group clean-up removes it: a
  /// second move of the same file would fail and report the first one's success as an error.
  [[nodiscard]] bool isRemoving(const std::string &itemID) const;
  /// The toast's close button.
  void dismissToast();
  /// The toast's undo button: moves the toast's files back, then rescans. Ignored while an
  /// undo runs.
  void undoLastCleanup();

  // Selection and batch clean-up.
  /// Starts multi-select with an empty selection; not while scanning, not without groups.
  void enterSelectionMode();
  /// Ends multi-select, empties the selection and forgets the anchor.
  void exitSelectionMode();
  /// Selects or deselects one group and makes it the anchor.
  void toggleSelection(const PhotoGroup &group);
  /// A click while selecting: with shift, adds the range from the anchor; else toggles.
  void groupTapped(const PhotoGroup &group, bool shift);
  /// Selects every group; the last one becomes the anchor.
  void selectAllGroups();
  /// Removes every photo but the best of each selected group in one engine call.
  void cleanupSelected();
  /// `cleanupSelected` of the photos the confirmation showed (`selectedVictimIDs()` when it
  /// was built): when the selection would now remove other photos, nothing is removed and
  /// an alert says so.
  void cleanupSelected(const std::vector<std::string> &shownVictimIDs);

signals:
  void phaseChanged();
  void sourceKindChanged();
  void folderURLChanged();
  void itemsChanged();
  void groupsChanged();
  void progressChanged();
  void lastResultChanged();
  void isRegroupingChanged();
  void cleaningGroupIDChanged();
  void trashedCountChanged();
  void isPausedChanged();
  void isPauseRequestedChanged();
  void undoToastChanged();
  void isSelectingChanged();
  void selectedGroupIDsChanged();
  void exitingGroupIDsChanged();
  void focusedGroupIDChanged();
  void focusedPhotoIDChanged();
  void isScrollingChanged();
  void groupCountShownChanged();
  void isCleaningSelectionChanged();
  void isBatchConfirmPresentedChanged();
  void showsInfoCenterChanged();
  void thresholdChanged();
  void alertChanged();
  void sortChanged();
  void detailGroupIDChanged();
  void previewContextChanged();

private:
  using TimePoint = std::chrono::steady_clock::time_point;

  // Setters of the fields that only the store's own actions change; tests and developer
  // tools reach them through `StateAccess`.
  void setPhase(Phase phase);
  void setSourceKind(SourceKind kind);
  void setFolderURL(std::optional<QUrl> url);
  void setItems(std::vector<PhotoItem> items);
  void setGroups(std::vector<PhotoGroup> groups);
  void setProgress(std::optional<ScanProgress> progress);
  void setLastResult(std::optional<ScanResult> result);
  void setIsRegrouping(bool regrouping);
  void setCleaningGroupID(std::optional<std::string> id);
  void setTrashedCount(std::int64_t count);
  void setIsPaused(bool paused);
  void setIsPauseRequested(bool requested);
  void setExitingGroupIDs(std::unordered_set<std::string> ids);
  void setSmoothedETA(std::optional<double> eta);
  void setIsScrolling(bool scrolling);
  /// Gives `groupCountShown` the number of groups unless a view pins it.
  void followGroupCount();
  void setIsCleaningSelection(bool cleaning);

  /// The running scan: its generation and the source of its stop request.
  struct ScanTask {
    std::int64_t generation = 0;
    std::stop_source stop;
  };
  /// What a debounced regroup computes once its wait is over.
  struct RegroupRequest {
    std::int64_t generation = 0;
    std::vector<PhotoItem> items;
    float threshold = 0;
  };

  /// Stores `value`; emits `changed` (when given) only when the value really changed.
  template <typename T> void assign(T &field, T value, void (AppStore::*changed)() = nullptr);

  // Scan lifecycle.
  void beginScan(const ScanInput &input, bool resetResults);
  void performScan(const ScanInput &input, std::int64_t generation);
  void scanEnded(std::int64_t generation, Expected<ScanResult, EngineCallError> outcome);
  void scanSucceeded(std::int64_t generation, ScanResult result);
  void publishScanResult(std::int64_t generation, ScanResult result,
                         std::vector<PhotoGroup> groups);
  void scanFailed(std::int64_t generation, const EngineCallError &error);
  void runQaHooks();
  void pumpProgress();
  void applyProgress(const ScanProgress &progress);
  void consumePartial(std::int64_t generation, const std::vector<PhotoItem> &batch);
  void fail(const Failure &failure, bool showSettingsButton);
  void libraryAccessAnswered(bool granted);
  [[nodiscard]] QString qaMarkerPath(const char *name) const;

  // Regrouping.
  static GroupSort storedSort();
  void scheduleRegroup();
  void runScheduledRegroup();
  void cancelRegroup();
  /// Regroups the current photos at once; `then` runs after the result was applied or,
  /// when scan `generation` was superseded meanwhile, dropped.
  void refreshGroups(std::int64_t generation, std::function<void()> then = {});
  void applyGroups(std::vector<PhotoGroup> list);

  void applyFavorite(const std::string &itemID, bool favorite);
  void forwardSelectionSignals();
  static void logDiagnosticError(const QString &category, const EngineCallError &error,
                                 const QString &context);

  // Clean-up, delete and undo.
  /// How a removal's log lines begin: "<done> ok count=…" and "<failed> count=…".
  struct RemovalLabels {
    const char *done;
    const char *failed;
  };
  /// What every group and batch clean-up does with the engine's answer: log it, count and
  /// take out the photos that went, play their groups' exit and regroup; then `finish`.
  /// The count grows by the photos that moved (those whose file was already gone leave the
  /// results without counting).
  void settleRemoval(const std::vector<PhotoItem> &victims, const DeleteOutcome &outcome,
                     const RemovalLabels &labels, std::function<void(bool removedAny)> finish);
  void cleanupFinished(const std::string &groupID, const DeleteOutcome &outcome, bool removedAny);
  void deleteFinished(const PhotoItem &item, const DeleteOutcome &outcome, DeleteHandler done);
  void removeSelected(std::vector<PhotoItem> victims);
  void batchFinished(const DeleteOutcome &outcome, bool removedAny);
  /// Takes the photos out of `items`.
  void removeItems(const std::unordered_set<std::string> &ids);
  /// Marks the groups holding a removed photo as exiting for a moment, then calls `then`.
  void animateGroupsExiting(const std::unordered_set<std::string> &removedIDs,
                            std::function<void()> then);
  /// Closes the detail when its group is gone or down to one photo.
  void closeDetailIfEmptied();
  /// The alert titles of one kind of removal.
  struct RemovalTitles {
    /// When an error stopped it.
    const char *failed;
    /// When it went through but left photos whose files changed since the scan.
    const char *leftInPlace;
    /// Whether an error's message ends with the source's hint.
    bool advice;
  };
  /// The alert of a removal that failed or left photos in place; none when neither.
  void alertRemovalProblems(const RemovalTitles &titles, const DeleteOutcome &outcome);
  void presentCleanupToast(const DeleteReceipt &receipt, const QString &message, double seconds);
  void presentToast(const QString &message, const QString &detail, bool canUndo,
                    std::optional<DeleteReceipt> receipt, double seconds);
  /// Runs the toast's time, or holds it while an alert is up.
  void startToastTimer(std::chrono::milliseconds lifetime);
  void stopToastTimer();
  /// An alert holds the toast's time; when it goes, the rest of the time runs.
  void holdToastWhileAlerting();
  void undoFinished(Expected<std::int64_t, EngineCallError> outcome);

  // The published state (phase, source, results, progress, clean-up, selection, sheets and
  // settings), each at the value a fresh launch shows; then the store's own bookkeeping.
  Phase m_phase = Phase::idle();
  SourceKind m_sourceKind = SourceKind::folder;
  std::optional<QUrl> m_folderURL;
  std::vector<PhotoItem> m_items;
  std::vector<PhotoGroup> m_groups;
  std::optional<ScanProgress> m_progress;
  std::optional<ScanResult> m_lastResult;
  bool m_isRegrouping = false;
  std::optional<std::string> m_cleaningGroupID;
  std::int64_t m_trashedCount = 0;
  bool m_isPaused = false;
  bool m_isPauseRequested = false;
  std::optional<UndoToast> m_undoToast;
  /// Multi-select, the shift-click anchor, keyboard focus, the batch confirmation and the
  /// running batch clean-up; its change signals are this store's.
  GroupSelection m_selection;
  std::unordered_set<std::string> m_exitingGroupIDs;
  std::optional<double> m_smoothedETA;
  /// None stands for the distant past.
  std::optional<TimePoint> m_lastETAUpdate;
  bool m_isScrolling = false;
  std::size_t m_groupCountShown = 0;
  std::unordered_set<const QObject *> m_groupCountPins;
  QTimer m_scrollIdleTimer;
  std::optional<std::string> m_lastPressedGroupID;
  bool m_showsInfoCenter = false;
  InfoTab m_infoInitialTab = InfoTab::about;
  float m_threshold = SimilarityScale::defaultThreshold;
  std::optional<AlertContent> m_alert;
  GroupSort m_sort = GroupSort::date;
  std::optional<std::string> m_detailGroupID;
  std::optional<PreviewContext> m_previewContext;
  std::shared_ptr<EngineClient> m_engine;
  PreviewImageCache m_previewCache;
  ThumbnailLoader m_thumbnails;
  std::optional<ScanTask> m_scanTask;
  QTimer m_regroupTimer;
  std::optional<RegroupRequest> m_pendingRegroup;
  std::int64_t m_regroupGeneration = 0;
  std::int64_t m_scanGeneration = 0;
  bool m_didBootstrap = false;
  std::optional<ScanInput> m_currentInput;
  std::optional<TimePoint> m_lastPartialRegroupAt;
  std::int64_t m_toastGeneration = 0;
  QTimer m_toastTimer;
  /// What was left of the toast's time when an alert came up.
  std::optional<std::chrono::milliseconds> m_toastHeld;
  /// An undo's engine call is running.
  bool m_isUndoing = false;
  /// The photos whose single delete runs, and those the running group clean-up removes.
  std::unordered_set<std::string> m_deletingItemIDs;
  std::unordered_set<std::string> m_cleanupVictimIDs;
  std::optional<std::string> m_lastMonthJumpTarget;

  Services m_services;
  std::shared_ptr<ScanProgressBox> m_progressBox;
  QTimer m_progressPump;
  /// Last, so that it is destroyed first: its destructor waits for running engine calls.
  WorkerRelay m_relay;
};

} // namespace lumora
