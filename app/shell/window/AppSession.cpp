#include "app/shell/window/AppSession.h"

#include "app/shell/AppInfo.h"
#include "app/shell/SelfTestSeam.h"
#include "app/shell/components/AppMark.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/window/AppMenus.h"
#include "app/shell/window/AppearanceController.h"
#include "app/shell/window/MainWindow.h"
#include "app/shell/window/ModalKeyboard.h"
#include "app/shell/window/QAOverrides.h"
#include "app/shell/window/QtTranslations.h"
#include "app/shell/window/QuitSignals.h"
#include "app/shell/window/SingleInstance.h"
#include "app/shell/window/StartProblem.h"
#include "app/store/AppStore.h"
#include "app/store/services/LumoraEngineClient.h"
#include "app/store/texts/Localized.h"
#include "engine/core/LumoraEngine.h"
#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/trash/TrashLeftovers.h"
#include "platform/gui/FolderPicker.h"
#include "platform/gui/PrivacySettings.h"
#include "platform/gui/Symbols.h"
#include "platform/gui/SystemColorScheme.h"

#include <QApplication>
#include <QPointer>

namespace lumora {
namespace {

constexpr int kSelfTestDelayMs = 600;
constexpr char kMarkerDirectory[] = "/tmp";

void logLaunch() {
  Diagnostics::log(QStringLiteral("app"),
                   QStringLiteral("launch %1 (%2)")
                       .arg(AppInfo::compiledShortVersion().value_or(QStringLiteral("?")),
                            AppInfo::compiledBuildVersion().value_or(QStringLiteral("?"))));
  Diagnostics::logMemory(QStringLiteral("app-launch"));
}

AppStore::Services makeServices(QPointer<MainWindow> &window, QPointer<AppStore> &store) {
  AppStore::Services services;
  services.engine = std::make_shared<LumoraEngineClient>(std::make_shared<LumoraEngine>());
  services.qaMarkerDirectory = QString::fromLatin1(kMarkerDirectory);
  services.pickFolder = [&window](const FolderPickerRequest &request,
                                  std::function<void(std::optional<QUrl>)> done) {
    platform::pickFolder(window,
                         {request.title, request.prompt, request.startDirectory.value_or(QUrl())},
                         std::move(done));
  };
  services.openSettingsTarget = [&store](const QString &anchor) {
    const QUrl folder = store ? store->folderURL().value_or(QUrl()) : QUrl();
    const platform::PrivacySettingsOutcome outcome = platform::openPrivacySettings(anchor, folder);
    Diagnostics::log(QStringLiteral("permission"), outcome.report);
    return outcome.opened;
  };
  return services;
}

void prepareApplication(QApplication &app) {
  QApplication::setApplicationName(QString::fromLatin1(AppInfo::kName));
  QApplication::setOrganizationName(QStringLiteral("Lumora"));
  QApplication::setApplicationVersion(AppInfo::shortVersion());
  AppInfo::describeToDiagnostics();
  QGuiApplication::setDesktopFileName(QString::fromLatin1(AppInfo::kName));
  app.setWindowIcon(AppMark::applicationIcon());
  // Plain Qt widgets (menus, dialogs) use the window's font too.
  QApplication::setFont(Theme::font(13));
  localized::installTranslations();
  qttranslations::install(qttranslations::systemDirectory());
  platform::symbols::installIconTheme();
  modalkeyboard::install(app);
}

// Launching is complete: the delegate's steps, in order.
void finishLaunching(QMainWindow &window, AppearanceController &appearance) {
  const Scheduler schedule = timerScheduler(&window);
  QAOverrides::apply({QCoreApplication::arguments(), &appearance, schedule, {}, {}});
  appearance.applyStoredAppearance(schedule);
  schedule(kSelfTestDelayMs, [] {
    UISelfTest::runAfterLaunchIfNeeded();
    UIMotionSelfTest::runAfterLaunchIfNeeded();
  });
}

} // namespace

int AppSession::run(int &argc, char **argv, Options options) {
  QApplication app(argc, argv);
  UISelfTest::prepareIfRequested();
  UIMotionSelfTest::prepareIfRequested();
  // A self-test run must end with its report, also when a quit signal comes first. Installed
  // before the rest of the start-up, so a quit signal at any later point goes through the loop.
  QuitSignals::setOwesReport(selfTestRequested());
  QuitSignals::install(&app);
  QuitSignals::setMarkerToRemove(Diagnostics::sessionMarkerPath());
  prepareApplication(app);
  SingleInstance instance;
  if (!UISelfTest::isEnabled() && !UIMotionSelfTest::isEnabled()) {
    switch (instance.acquire()) {
    case SingleInstance::Outcome::first: break;
    case SingleInstance::Outcome::handedOver: return 0;
    case SingleInstance::Outcome::unreachable:
      startproblem::reportOnScreen(true, instance.problem());
      return 1;
    case SingleInstance::Outcome::refused:
      startproblem::reportOnScreen(false, instance.problem());
      return 1;
    }
  }
  Diagnostics::installCrashHandler();
  Diagnostics::beginSession();
  logLaunch();
  // A restore across volumes killed part-way leaves its Trash copy under a name of its own;
  // the leftovers in photo folders are resolved when a scan comes to them.
  platform::trashleftovers::resolveHomeTrash();
  QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { Diagnostics::endSession(); });

  QPointer<MainWindow> windowRef;
  QPointer<AppStore> storeRef;
  AppStore store(makeServices(windowRef, storeRef));
  storeRef = &store;
  MainWindow window;
  windowRef = &window;
  QObject::connect(&instance, &SingleInstance::activationRequested, &window,
                   &MainWindow::raiseToFront);

  platform::SystemColorScheme system;
  system.connectToPortal();
  AppearanceController appearance(system, QString::fromLatin1(kMarkerDirectory));
  window.setContent(options.buildContent(store, options.factory, &window));
  appearance.setContentRoot(window.content());
  new AppMenus(window, store, appearance); // owned by the window
  if (options.onFirstFrame) {
    QObject::connect(&window, &MainWindow::firstFramePainted, &window, options.onFirstFrame);
  }
  if (selfTestRequested()) {
    // A self-test runs without a visible window: the main window is set up as usual but
    // never mapped on the display.
    window.setAttribute(Qt::WA_DontShowOnScreen, true);
  }
  window.show();
  finishLaunching(window, appearance);
  return SelfTestExit::exitCode(QApplication::exec());
}

} // namespace lumora
