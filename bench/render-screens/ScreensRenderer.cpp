// The phase screens and the undo toast ("screens-…"), in both colour schemes at the content
// size of a 1150 × 780 window. The photographs in --photos are scanned through the real
// store and engine with a throw-away data folder; short-lived scan states are held at a gate
// in the engine client while they are drawn. Nothing is ever deleted: the toasts are set on
// the store directly.

#include "RenderRegistry.h"

#include "app/shell/ScreenFactory.h"
#include "app/shell/components/WindowBackground.h"
#include "app/shell/screens/EmptyResultsView.h"
#include "app/shell/screens/FailureStateView.h"
#include "app/shell/screens/IdleStateView.h"
#include "app/shell/screens/NoSimilarGroupsView.h"
#include "app/shell/screens/ScanLiveResultsView.h"
#include "app/shell/screens/ScanningView.h"
#include "app/shell/screens/UndoToastView.h"
#include "app/shell/theme/Theme.h"
#include "app/store/AppStore.h"
#include "app/store/AppStoreStateAccess.h"
#include "app/store/actions/ScanFailures.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/texts/Localized.h"
#include "app/store/texts/Texts.h"
#include "engine/core/LumoraEngine.h"
#include "harness/GatedEngineClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QVBoxLayout>
#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>

namespace {

using namespace lumora;
using Kind = AppStore::Phase::Kind;
using MakeScreen = std::function<QWidget *(QWidget *parent)>;

// The content area of a 1150 × 780 window below its header and controls bars.
constexpr QSize kContentSize{1150, 684};
constexpr int kStateTimeoutMs = 120000;

/// Runs the event loop until `done()` holds or the time is up.
bool spinUntil(const std::function<bool()> &done, int timeoutMs = kStateTimeoutMs) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.hasExpired(timeoutMs)) {
      return false;
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(2);
  }
  return true;
}

void settle(int ms = 350) {
  spinUntil([] { return false; }, ms);
}

/// A store over the real engine in a throw-away home: its settings, data folder and Trash
/// never touch the user's, and its folder picker picks whatever folder is set next.
class Session {
public:
  Session() {
    for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"}) {
      qputenv(name, m_home.path().toUtf8());
    }
    qputenv("LUMORA_PHOTO_LIBRARY", (m_home.path() + QStringLiteral("/PhotoLibrary")).toUtf8());
    localized::installTranslations();
    auto engine =
        std::make_shared<LumoraEngine>(m_home.filePath(QStringLiteral("analysis-cache.bin")));
    m_gate =
        std::make_shared<harness::GatedEngineClient>(std::make_shared<LumoraEngineClient>(engine));
    AppStore::Services services;
    services.engine = m_gate;
    services.qaMarkerDirectory = m_home.path();
    services.pickFolder = [this](const FolderPickerRequest &,
                                 std::function<void(std::optional<QUrl>)> done) {
      done(QUrl::fromLocalFile(m_nextFolder));
    };
    services.openSettingsTarget = [](const QString &) { return true; };
    m_store = std::make_unique<AppStore>(std::move(services));
  }

  AppStore &store() { return *m_store; }
  harness::GatedEngineClient &gate() { return *m_gate; }
  /// A folder of its own under the throw-away home.
  QString folder(const QString &name) const {
    const QString path = m_home.filePath(name);
    QDir().mkpath(path);
    return path;
  }
  void scan(const QString &folder) {
    m_nextFolder = folder;
    m_store->chooseFolder();
  }
  /// Lets the held scan go on to the next hold and waits until it is there.
  bool advance() {
    const int before = m_gate->holds();
    m_gate->open();
    return spinUntil([this, before] { return m_gate->holds() > before; });
  }

private:
  QTemporaryDir m_home;
  QString m_nextFolder;
  std::shared_ptr<harness::GatedEngineClient> m_gate;
  std::unique_ptr<AppStore> m_store;
};

/// Draws the screen `make` builds on the window background, once per scheme.
void renderBoth(renderscreens::RenderContext &context, const QString &name,
                const MakeScreen &make) {
  for (const ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
    WindowBackground host;
    host.setAttribute(Qt::WA_DontShowOnScreen);
    Theme::setScheme(&host, scheme);
    auto *layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(make(&host));
    host.resize(kContentSize);
    host.show();
    settle();
    const QString suffix =
        scheme == ColorScheme::dark ? QStringLiteral("-dark") : QStringLiteral("-light");
    context.save(QStringLiteral("screens-") + name + suffix, host);
  }
}

void report(const char *what) { std::fprintf(stderr, "render-screens: %s\n", what); }

/// Copies of the first shot of every scene: photographs of which none is similar.
QString distinctFolder(Session &session, const QString &photos) {
  const QString folder = session.folder(QStringLiteral("distinct"));
  const QStringList shots = QDir(photos).entryList({QStringLiteral("*-shot.jpg")}, QDir::Files);
  for (const QString &shot : shots.mid(0, 24)) {
    QFile::copy(QDir(photos).filePath(shot), QDir(folder).filePath(shot));
  }
  return folder;
}

bool analysedTenths(const ScanProgress &progress, int tenths) {
  return progress.phase == ScanPhase::analyzing && progress.total > 0 &&
         progress.done * 10 >= progress.total * tenths;
}

/// The scanning card held before any progress, while listing files and at 40 %, then the
/// live screen with groups, and paused with them.
void renderFullScan(renderscreens::RenderContext &context, Session &session,
                    const QString &photos) {
  AppStore &store = session.store();
  const MakeScreen scanning = [&store](QWidget *parent) { return new ScanningView(store, parent); };
  const MakeScreen live = [&store](QWidget *parent) {
    return new ScanLiveResultsView(store, ScreenFactory{}, parent);
  };
  session.gate().holdAtStart();
  const int before = session.gate().holds();
  session.scan(photos);
  if (!spinUntil([&] { return session.gate().holds() > before; })) {
    return report("the scan of --photos did not start");
  }
  renderBoth(context, QStringLiteral("scanning-no-progress"), scanning);
  session.gate().holdAtProgress(
      [](const ScanProgress &progress) { return progress.phase == ScanPhase::enumerating; });
  session.advance();
  spinUntil([&] { return store.progress().has_value(); }, 2000);
  renderBoth(context, QStringLiteral("scanning-enumerating"), scanning);
  session.gate().holdAtProgress([](const ScanProgress &p) { return analysedTenths(p, 4); });
  session.advance();
  spinUntil([&] { return store.progress() && analysedTenths(*store.progress(), 4); }, 2000);
  renderBoth(context, QStringLiteral("scanning-40"), scanning);
  session.gate().holdAtProgress([](const ScanProgress &p) { return analysedTenths(p, 8); });
  session.advance();
  if (!spinUntil([&] { return !store.groups().empty(); }, 5000)) {
    report("no group formed by 80 % of --photos; the live grid state shows the hint");
  }
  renderBoth(context, QStringLiteral("live-grid"), live);
  store.requestPause();
  if (!spinUntil([&] { return store.phase().kind == Kind::ready && store.isPaused(); })) {
    return report("the paused scan did not settle");
  }
  renderBoth(context, QStringLiteral("live-paused-groups"), live);
  session.gate().release();
}

/// Photographs of which none is similar: the finding-groups hint, paused before any group,
/// and the no-similar screen at three thresholds.
void renderDistinctScan(renderscreens::RenderContext &context, Session &session,
                        const QString &photos) {
  AppStore &store = session.store();
  const MakeScreen live = [&store](QWidget *parent) {
    return new ScanLiveResultsView(store, ScreenFactory{}, parent);
  };
  // The first worker to hand over its photos stops there; the others stop at their next
  // photo, so the scan pauses part-way with some photos on screen.
  auto delivered = std::make_shared<std::atomic<bool>>(false);
  session.gate().holdAfterPartial([delivered](const std::vector<PhotoItem> &) {
    *delivered = true;
    return true;
  });
  session.gate().holdAtProgress([delivered](const ScanProgress &) { return delivered->load(); });
  session.scan(distinctFolder(session, photos));
  if (!spinUntil([&] { return !store.items().empty() && session.gate().waiting() > 0; })) {
    return report("the scan of distinct photographs delivered nothing");
  }
  renderBoth(context, QStringLiteral("live-hint"), live);
  store.requestPause();
  spinUntil([&] { return store.phase().kind == Kind::ready && store.isPaused(); });
  renderBoth(context, QStringLiteral("live-paused-no-groups"), live);
  session.gate().release();
  store.resumeScan();
  spinUntil([&] { return store.phase().kind == Kind::ready && !store.isPaused(); });
  const MakeScreen noSimilar = [&store](QWidget *parent) {
    return new NoSimilarGroupsView(store, parent);
  };
  for (const float threshold : {0.18f, 0.30f, 0.55f}) {
    store.setThreshold(threshold);
    spinUntil([&] { return !store.isRegrouping(); }, 10000);
    const int percent = static_cast<int>(std::lround(threshold * 100));
    renderBoth(context, QStringLiteral("no-similar-%1").arg(percent), noSimilar);
  }
  store.setThreshold(0.30f);
}

/// Files that are not photographs end a scan with nothing to analyse.
void renderEmpty(renderscreens::RenderContext &context, Session &session) {
  AppStore &store = session.store();
  const QString folder = session.folder(QStringLiteral("not-photos"));
  for (const QString &name : {QStringLiteral("a.jpg"), QStringLiteral("b.jpg")}) {
    QFile file(QDir(folder).filePath(name));
    if (file.open(QIODevice::WriteOnly)) {
      file.write(QByteArray(9000, 'x'));
    }
  }
  session.scan(folder);
  spinUntil([&] { return store.phase().kind == Kind::ready; });
  const MakeScreen empty = [&store](QWidget *parent) {
    return new EmptyResultsView(store, {}, parent);
  };
  renderBoth(context, QStringLiteral("empty-folder"), empty);
  AppStore::StateAccess(store).setSourceKind(AppStore::SourceKind::library);
  renderBoth(context, QStringLiteral("empty-library"), empty);
  AppStore::StateAccess(store).setSourceKind(AppStore::SourceKind::folder);
}

/// Every kind of failure: an empty folder scanned for real, the others as the store builds
/// them from the errors the engine reports.
void renderFailures(renderscreens::RenderContext &context, Session &session) {
  AppStore &store = session.store();
  session.scan(session.folder(QStringLiteral("empty")));
  spinUntil([&] { return store.phase().kind == Kind::failed; });
  using Source = AppStore::SourceKind;
  const auto engineFailure = [](EngineError error, Source source) {
    return scanfailures::fromError(EngineCallError::fromEngine(std::move(error)), source);
  };
  const std::vector<std::pair<QString, AppStore::Failure>> failures = {
      {QStringLiteral("failure-empty-folder"), store.phase().failure},
      {QStringLiteral("failure-permission"),
       scanfailures::folderUnreadable(session.folder(QStringLiteral("照片/2024 夏天")))},
      {QStringLiteral("failure-library-denied"), scanfailures::libraryDenied()},
      {QStringLiteral("failure-no-images"),
       engineFailure(EngineError::fromLibrary(EngineError::LibraryKind::empty, {}),
                     Source::library)},
      {QStringLiteral("failure-vision"),
       engineFailure(EngineError::fromCurator(CuratorError::visionUnavailable()), Source::folder)},
      {QStringLiteral("failure-other"),
       engineFailure(EngineError::file(QStringLiteral("设备上没有剩余空间")), Source::folder)},
  };
  for (const auto &[name, failure] : failures) {
    renderBoth(context, name, [&store, failure](QWidget *parent) {
      return new FailureStateView(store, failure, parent);
    });
  }
}

/// The toast over the window's bottom edge, as wide as its content within the window less
/// 40 px.
void renderToast(renderscreens::RenderContext &context, Session &session, const QString &name,
                 const AppStore::UndoToast &toast) {
  AppStore &store = session.store();
  renderBoth(context, name, [&store, toast](QWidget *parent) {
    auto *area = new QWidget(parent);
    auto *view = new UndoToastView(store, toast, area);
    const QSize size = view->sizeFor(kContentSize.width() - 40);
    view->setGeometry((kContentSize.width() - size.width()) / 2,
                      kContentSize.height() - size.height() - 4, size.width(), size.height());
    return area;
  });
}

void renderToasts(renderscreens::RenderContext &context, Session &session) {
  const QString kept = localized::string("移入废纸篓（可恢复）");
  renderToast(context, session, QStringLiteral("toast-undo"),
              {QUuid::createUuid(), texts::cleanedText(3), kept, true, DeleteReceipt{}});
  renderToast(context, session, QStringLiteral("toast-done"),
              {QUuid::createUuid(), texts::restoredText(3), localized::string("已重新扫描刷新结果"),
               false, std::nullopt});
  const QString longMessage =
      texts::cleanedText(1284) +
      QStringLiteral(
          "：每组只保留了分数最高的一张，其余照片连同它们的编辑副本"
          "和连拍帧都已移入废纸篓，原来的文件夹结构保持不变，"
          "可以随时在废纸篓里找回；没有清理的照片仍然按月份留在结果里，调整相似度后还能重新分组");
  renderToast(
      context, session, QStringLiteral("toast-long"),
      {QUuid::createUuid(), longMessage,
       kept + QStringLiteral(" · /home/user/Pictures/2024/夏天/海边/IMG_20240712_183245.jpg"), true,
       DeleteReceipt{}});
}

void renderScreens(renderscreens::RenderContext &context) {
  Session session;
  AppStore &store = session.store();
  renderBoth(context, QStringLiteral("idle"),
             [&store](QWidget *parent) { return new IdleStateView(store, parent); });
  renderFullScan(context, session, context.photosDir);
  renderDistinctScan(context, session, context.photosDir);
  renderEmpty(context, session);
  renderFailures(context, session);
  renderToasts(context, session);
}

const renderscreens::RegisterRenderer registration{QStringLiteral("screens-"), &renderScreens};

} // namespace
