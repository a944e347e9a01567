// The scan lifecycle: start-up choice, folder picker, library access, start, pause,
// resume, retry, the progress pump and the live partial results.
#include "app/store/AppStore.h"
#include "app/store/actions/ScanFailures.h"
#include "app/store/images/ThumbnailLoader.h"
#include "app/store/services/FolderAccess.h"
#include "app/store/services/QaMarkers.h"
#include "app/store/services/UserDefaults.h"
#include "app/store/texts/Localized.h"
#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/posix/UniqueFd.h"

#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_map>

namespace lumora {
namespace {

using namespace std::chrono_literals;
constexpr auto kETARefresh = 500ms;
constexpr auto kLiveRegroupInterval = 500ms;

void logLine(const char *category, const QString &message) {
  Diagnostics::log(QString::fromLatin1(category), message);
}

// Opens the folder without listing it, so a huge folder costs the GUI thread nothing.
// Gives the error number when something is at the path but cannot be opened as a folder
// (no permission; ENOTDIR: not a folder). A folder that is gone is no error here: the engine
// lists nothing under it and the scan ends as an empty folder.
int openFolderError(const QString &path) {
  const QByteArray native = QFile::encodeName(path);
  const platform::UniqueFd fd(::open(native.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.isValid()) {
    return 0;
  }
  const int error = errno;
  struct stat status {};
  const bool gone =
      ::stat(native.constData(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
  return gone ? 0 : error;
}

struct FolderRefusal {
  scanfailures::Failure failure;
  bool showsSettingsButton = false;
};

// Why a scan of `folder` cannot start, none when it can: a folder that cannot be opened asks
// for permission; a file where the folder was holds no photos and asks for nothing (the
// empty-folder case).
std::optional<FolderRefusal> folderRefusal(const QUrl &folder) {
  const QString path = folder.toLocalFile();
  const int error = openFolderError(path);
  if (error == 0) {
    return std::nullopt;
  }
  if (error == ENOTDIR) {
    logLine("scan", QStringLiteral("path is not a folder"));
    const auto empty =
        EngineCallError::fromEngine(EngineError::fromCurator(CuratorError::noImagesFound(folder)));
    return FolderRefusal{scanfailures::fromError(empty, scanfailures::SourceKind::folder), false};
  }
  logLine("permission", QStringLiteral("folder unreadable errno=%1").arg(error));
  return FolderRefusal{scanfailures::folderUnreadable(path), true};
}

std::optional<QUrl> existingFolder(const QString &path) {
  if (path.isEmpty() || !QFileInfo(path).isDir()) {
    return std::nullopt;
  }
  return QUrl::fromLocalFile(path);
}

} // namespace

QString AppStore::qaMarkerPath(const char *name) const {
  return m_services.qaMarkerDirectory + QLatin1Char('/') + QString::fromLatin1(name);
}

void AppStore::bootstrap() {
  if (m_didBootstrap) {
    return;
  }
  m_didBootstrap = true;
  if (auto folder = existingFolder(
          qamarkers::folder(qaMarkerPath("corvale-qa-folder")).value_or(QString()))) {
    beginScan({SourceKind::folder, *folder}, true);
    return;
  }
  if (auto remembered = FolderAccess::resolveAndAccess()) {
    beginScan({SourceKind::folder, *remembered}, true);
    return;
  }
  const QVariant last =
      userdefaults::open().value(userdefaults::key(FolderAccess::kLastFolderPathKey));
  if (!last.isValid()) {
    return;
  }
  if (auto folder = existingFolder(last.toString())) {
    beginScan({SourceKind::folder, *folder}, true);
  } else {
    FolderAccess::clear();
  }
}

void AppStore::chooseFolder() {
  FolderPickerRequest request{
      localized::string("选择照片文件夹"),
      localized::string("Pindle 会在这个文件夹里查找相似照片，全部在本机完成。"),
      localized::string("开始整理"), std::nullopt};
  if (m_sourceKind == SourceKind::folder) {
    request.startDirectory = m_folderURL;
  }
  if (!m_services.pickFolder) {
    return;
  }
  m_services.pickFolder(request, [self = QPointer<AppStore>(this)](std::optional<QUrl> chosen) {
    if (self.isNull() || !chosen) {
      return;
    }
    const QUrl folder = FolderAccess::beginAccess(*chosen);
    self->beginScan({SourceKind::folder, folder}, true);
  });
}

void AppStore::scanFolder(const QUrl &folder) { beginScan({SourceKind::folder, folder}, true); }

void AppStore::openLibrary() {
  if (m_phase.isScanning()) {
    return;
  }
  std::shared_ptr<EngineClient> engine = m_engine;
  m_relay.run([engine] { return engine->requestLibraryAuthorization(); },
              [this](bool granted) { libraryAccessAnswered(granted); });
}

void AppStore::libraryAccessAnswered(bool granted) {
  if (granted) {
    beginScan({SourceKind::library, {}}, true);
    return;
  }
  logLine("permission", QStringLiteral("photo library denied"));
  const Failure denied = scanfailures::libraryDenied();
  if (m_items.empty()) {
    setSourceKind(SourceKind::library);
    setPhase(Phase::failed(denied));
  }
  // With photos on screen only the alert shows; its buttons concern the library all the
  // same, not the folder whose results stay visible.
  setAlert(AlertContent{QUuid::createUuid(), denied.title, denied.message, true, true,
                        localized::string("重试"), SourceKind::library});
}

void AppStore::retry() {
  if (m_sourceKind == SourceKind::library) {
    openLibrary();
    return;
  }
  if (m_folderURL && QFileInfo::exists(m_folderURL->toLocalFile())) {
    beginScan({SourceKind::folder, *m_folderURL}, true);
    return;
  }
  chooseFolder();
}

void AppStore::retryAlert(const AlertContent &alert) {
  if (alert.source == SourceKind::library) {
    openLibrary();
  } else {
    retry();
  }
}

void AppStore::resumeScan() {
  if (!m_isPaused || !m_currentInput) {
    return;
  }
  setIsPaused(false);
  setIsPauseRequested(false);
  beginScan(*m_currentInput, false);
}

void AppStore::requestPause() {
  if (!m_phase.isScanning() || m_isPauseRequested) {
    return;
  }
  setIsPauseRequested(true);
  if (m_scanTask) {
    m_scanTask->stop.request_stop();
  }
}

void AppStore::beginScan(const ScanInput &input, bool resetResults) {
  if (m_scanTask) {
    m_scanTask->stop.request_stop();
  }
  cancelRegroup();
  // The superseded scan's pump stops here; its box is never read again.
  m_progressPump.stop();
  m_progressBox.reset();
  const std::int64_t generation = ++m_scanGeneration;
  ++m_regroupGeneration;
  m_currentInput = input;
  setIsPaused(false);
  setIsPauseRequested(false);
  setIsRegrouping(false);
  setExitingGroupIDs({});
  setCleaningGroupID(std::nullopt);
  // The selection belongs to the groups on screen: a new scan ends it and closes its
  // confirmation, so no id of the old groups selects a group of the new scan.
  setIsBatchConfirmPresented(false);
  exitSelectionMode();
  setProgress(std::nullopt);
  setPhase(Phase::scanning());
  if (resetResults) {
    setItems({});
    setGroups({});
    setLastResult(std::nullopt);
    setTrashedCount(0);
  }
  setSourceKind(input.kind);
  if (input.kind == SourceKind::folder) {
    setFolderURL(input.folder);
  }
  if (input.kind == SourceKind::folder && m_services.remembersFolder) {
    userdefaults::open().setValue(userdefaults::key(FolderAccess::kLastFolderPathKey),
                                  input.folder.toLocalFile());
  }
  if (resetResults) {
    setDetailGroupID(std::nullopt);
    setPreviewContext(std::nullopt);
    m_thumbnails.clearCache();
    m_previewCache.clear();
  }
  m_scanTask = ScanTask{generation, {}};
  performScan(input, generation);
}

void AppStore::performScan(const ScanInput &input, std::int64_t generation) {
  const bool folder = input.kind == SourceKind::folder;
  if (folder) {
    if (const std::optional<FolderRefusal> refusal = folderRefusal(input.folder)) {
      fail(refusal->failure, refusal->showsSettingsButton);
      return;
    }
  }
  logLine("scan", folder ? QStringLiteral("start folder") : QStringLiteral("start library"));
  auto box = std::make_shared<ScanProgressBox>();
  m_progressBox = box;
  m_progressPump.start();

  std::shared_ptr<WorkerRelay::Mailbox> mailbox = m_relay.mailbox();
  EngineClient::ProgressHandler progress = [box](const ScanProgress &p) { box->store(p); };
  // Each batch is tagged with its scan, so a superseded scan's late batches are dropped.
  EngineClient::PartialHandler partial = [mailbox, this,
                                          generation](const std::vector<PhotoItem> &batch) {
    mailbox->post([this, generation, batch] { consumePartial(generation, batch); });
  };
  std::shared_ptr<EngineClient> engine = m_engine;
  const std::stop_token stop = m_scanTask->stop.get_token();
  m_relay.run(
      [engine, input, progress, partial, stop] {
        const ScanOptions options = ScanOptions::defaults();
        return input.kind == SourceKind::folder
                   ? engine->scanFolder(input.folder, options, progress, partial, stop)
                   : engine->scanLibrary(options, progress, partial, stop);
      },
      [this, generation](Expected<ScanResult, EngineCallError> outcome) {
        scanEnded(generation, std::move(outcome));
      });
}

void AppStore::scanEnded(std::int64_t generation, Expected<ScanResult, EngineCallError> outcome) {
  if (generation != m_scanGeneration) {
    return; // superseded: the newer scan owns the state, the pump and the box
  }
  if (outcome) {
    scanSucceeded(generation, std::move(outcome).value());
  } else {
    scanFailed(generation, outcome.error());
  }
}

void AppStore::scanSucceeded(std::int64_t generation, ScanResult result) {
  // No live regroup of the partial photos may start from here on: the finished scan's
  // grouping is the one that counts, and a pending one would only be dropped later.
  cancelRegroup();
  ++m_regroupGeneration;
  std::shared_ptr<EngineClient> engine = m_engine;
  const float threshold = m_threshold;
  const GroupSort sort = m_sort;
  std::vector<PhotoItem> items = result.items;
  // In order: it runs after any live regroup already inside the engine.
  m_relay.runInOrder(
      [engine, items, threshold, sort] { return engine->group(items, threshold, sort); },
      [this, generation, result](std::vector<PhotoGroup> groups) {
        publishScanResult(generation, result, std::move(groups));
      });
}

void AppStore::publishScanResult(std::int64_t generation, ScanResult result,
                                 std::vector<PhotoGroup> groups) {
  if (generation != m_scanGeneration) {
    return;
  }
  cancelRegroup();
  ++m_regroupGeneration;
  const bool partial = result.isPartial;
  const auto count = static_cast<std::int64_t>(result.items.size());
  setItems(result.items);
  setLastResult(std::move(result));
  m_progressPump.stop();
  setProgress(std::nullopt);
  setIsPauseRequested(false);
  setIsPaused(partial);
  logLine("scan", QStringLiteral("finished items=%1 partial=%2")
                      .arg(count)
                      .arg(partial ? QStringLiteral("true") : QStringLiteral("false")));
  applyGroups(std::move(groups));
  setPhase(Phase::ready());
  Diagnostics::logMemory(QStringLiteral("scan-complete"));
  logLine("scan",
          QStringLiteral("ready items=%1 groups=%2").arg(m_items.size()).arg(m_groups.size()));
  runQaHooks();
}

void AppStore::scanFailed(std::int64_t generation, const EngineCallError &error) {
  // Stopped first: the pump would otherwise bring the last progress back after it is cleared.
  m_progressPump.stop();
  setProgress(std::nullopt);
  if (m_scanTask && m_scanTask->stop.stop_requested()) {
    logLine("scan", QStringLiteral("cancelled before result items=%1").arg(m_items.size()));
    setIsPauseRequested(false);
    setIsPaused(true);
    refreshGroups(generation, [this, generation] {
      // A scan started during the refresh owns the phase now.
      if (generation == m_scanGeneration) {
        setPhase(Phase::ready());
      }
    });
    return;
  }
  if (error.engine.kind == EngineError::Kind::library &&
      error.engine.library == EngineError::LibraryKind::denied) {
    logLine("permission", QStringLiteral("photo library denied"));
  }
  logDiagnosticError(QStringLiteral("scan"), error, QStringLiteral("scan failed"));
  setIsPauseRequested(false);
  const Failure failure = scanfailures::fromError(error, m_sourceKind);
  fail(failure, failure.kind == Failure::Kind::libraryDenied);
}

void AppStore::fail(const Failure &failure, bool showSettingsButton) {
  setPhase(Phase::failed(failure));
  setAlert(AlertContent{QUuid::createUuid(), failure.title, failure.message, true,
                        showSettingsButton, localized::string("重试"), m_sourceKind});
}

void AppStore::runQaHooks() {
  const QString detailKey = QStringLiteral("QaOpenFirstDetail");
  const QString previewKey = QStringLiteral("QaOpenPreview");
  const QString detailMarker = qaMarkerPath("corvale-qa-detail");
  const QString previewMarker = qaMarkerPath("corvale-qa-preview");
  QSettings defaults = userdefaults::open();
  const bool wantsDetail = defaults.value(detailKey).toBool() || qamarkers::present(detailMarker);
  if (!wantsDetail || m_groups.empty()) {
    return;
  }
  const PhotoGroup first = m_groups.front();
  openDetail(first);
  logLine("qa", QStringLiteral("auto-opened detail (%1 photos)").arg(first.count()));
  defaults.remove(detailKey);
  QFile::remove(detailMarker);
  const bool wantsPreview =
      defaults.value(previewKey).toBool() || qamarkers::present(previewMarker);
  if (!wantsPreview || !first.best()) {
    return;
  }
  openPreview(first, first.best()->id);
  defaults.remove(previewKey);
  QFile::remove(previewMarker);
  logLine("qa", QStringLiteral("auto-opened preview"));
}

void AppStore::pumpProgress() {
  if (!m_progressBox) {
    return;
  }
  if (std::optional<ScanProgress> latest = m_progressBox->load()) {
    applyProgress(*latest);
  }
}

void AppStore::applyProgress(const ScanProgress &progress) {
  if (!progress.eta) {
    setSmoothedETA(std::nullopt);
  } else {
    const TimePoint now = m_services.clock();
    if (!m_smoothedETA || !m_lastETAUpdate || now - *m_lastETAUpdate >= kETARefresh) {
      setSmoothedETA(progress.eta);
      m_lastETAUpdate = now;
    }
  }
  if (m_progress && m_progress->done == progress.done && m_progress->phase == progress.phase &&
      m_progress->total == progress.total) {
    return;
  }
  setProgress(progress);
}

void AppStore::consumePartial(std::int64_t generation, const std::vector<PhotoItem> &batch) {
  if (generation != m_scanGeneration || !m_phase.isScanning() || batch.empty()) {
    return;
  }
  std::vector<PhotoItem> merged = m_items;
  std::unordered_map<std::string, std::size_t> position;
  position.reserve(merged.size() + batch.size());
  for (std::size_t i = 0; i < merged.size(); ++i) {
    position.emplace(merged[i].id, i);
  }
  bool appended = false;
  for (const PhotoItem &item : batch) {
    const auto [slot, inserted] = position.emplace(item.id, merged.size());
    if (inserted) {
      merged.push_back(item);
      appended = true;
    } else {
      merged[slot->second] = item;
    }
  }
  setItems(std::move(merged));
  if (!appended) {
    return;
  }
  const TimePoint now = m_services.clock();
  if (!m_lastPartialRegroupAt || now - *m_lastPartialRegroupAt >= kLiveRegroupInterval) {
    m_lastPartialRegroupAt = now;
    scheduleRegroup();
  }
}

void AppStore::logDiagnosticError(const QString &category, const EngineCallError &error,
                                  const QString &context) {
  Diagnostics::log(category, context + scanfailures::diagnosticSuffix(error));
}

} // namespace lumora
