#include "app/shell/window/AppMenus.h"

#include "app/shell/window/AppearanceController.h"
#include "app/store/AppStore.h"
#include "app/store/services/UserDefaults.h"
#include "app/store/texts/Localized.h"
#include "platform/gui/Symbols.h"

#include <QAction>
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPointer>

namespace lumora {
namespace {

QAction *addItem(QMenu *menu, const char *title, const QList<QKeySequence> &shortcuts = {}) {
  QAction *action = menu->addAction(localized::string(title));
  action->setShortcuts(shortcuts);
  // Shortcuts work while any widget of the window has focus, as menu items do.
  action->setShortcutContext(Qt::WindowShortcut);
  return action;
}

QKeySequence ctrlShift(Qt::Key key) { return QKeySequence(Qt::CTRL | Qt::SHIFT | key); }

} // namespace

AppMenus::AppMenus(QMainWindow &window, AppStore &store, AppearanceController &appearance)
    : QObject(&window), m_store(store), m_appearanceController(appearance) {
  buildFileMenu(window);
  buildAppearanceMenu(window);
  buildHelpMenu(window);
  for (auto signal :
       {&AppStore::phaseChanged, &AppStore::sourceKindChanged, &AppStore::folderURLChanged}) {
    connect(&m_store, signal, this, &AppMenus::refreshEnabled);
  }
  refreshEnabled();
}

void AppMenus::buildFileMenu(QMainWindow &window) {
  m_file = window.menuBar()->addMenu(localized::string("文件"));
  m_chooseFolder = addItem(m_file, "选择文件夹…", {ctrlShift(Qt::Key_O)});
  m_openLibrary = addItem(m_file, "扫描「照片」图库", {ctrlShift(Qt::Key_L)});
  m_rescan = addItem(m_file, "重新扫描", {ctrlShift(Qt::Key_R)});
  m_file->addSeparator();
  m_quit = addItem(m_file, "退出", {QKeySequence(Qt::CTRL | Qt::Key_Q)});
  m_quit->setMenuRole(QAction::QuitRole);
  connect(m_chooseFolder, &QAction::triggered, &m_store, &AppStore::chooseFolder);
  connect(m_openLibrary, &QAction::triggered, this, [this] {
    if (m_store.phase().isScanning()) {
      return;
    }
    // Deferred one turn, holding the store weakly, like a task started from the menu.
    QMetaObject::invokeMethod(
        &m_store, [store = QPointer<AppStore>(&m_store)] { store->openLibrary(); },
        Qt::QueuedConnection);
  });
  connect(m_rescan, &QAction::triggered, &m_store, &AppStore::retry);
  connect(m_quit, &QAction::triggered, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void AppMenus::buildAppearanceMenu(QMainWindow &window) {
  m_appearance = window.menuBar()->addMenu(localized::string("外观"));
  for (const AppearanceMode mode : appearancemode::kAll) {
    QAction *action = m_appearance->addAction(appearancemode::title(mode));
    m_modes[mode] = action;
    connect(action, &QAction::triggered, this, [this, mode] {
      m_appearanceController.chooseMode(mode);
      refreshAppearanceChecks();
    });
  }
  connect(m_appearance, &QMenu::aboutToShow, this, &AppMenus::refreshAppearanceChecks);
  refreshAppearanceChecks();
}

void AppMenus::buildHelpMenu(QMainWindow &window) {
  m_help = window.menuBar()->addMenu(localized::string("帮助"));
  // "?" is Shift+/ on US keyboards, so the event may carry Shift or not; offer both.
  m_helpItem = addItem(m_help, "帮助与隐私",
                       {QKeySequence(Qt::CTRL | Qt::Key_Question), ctrlShift(Qt::Key_Question)});
  m_about = addItem(m_help, "关于Pindle");
  m_about->setMenuRole(QAction::AboutRole);
  connect(m_helpItem, &QAction::triggered, this, [this] { openInfoCenter(true); });
  connect(m_about, &QAction::triggered, this, [this] { openInfoCenter(false); });
}

QAction *AppMenus::appearanceAction(AppearanceMode mode) const { return m_modes.at(mode); }

// The current mode's item carries the "checkmark" symbol in the menu's text colour; the
// others show their title alone.
void AppMenus::refreshAppearanceChecks() {
  const AppearanceMode current = appearancemode::current(userdefaults::open());
  const QIcon check = platform::symbols::icon(QStringLiteral("checkmark"),
                                              m_appearance->palette().color(QPalette::Text));
  for (const auto &[mode, action] : m_modes) {
    action->setIcon(mode == current ? check : QIcon());
  }
}

std::optional<AppearanceMode> AppMenus::checkedMode() const {
  for (const auto &[mode, action] : m_modes) {
    if (!action->icon().isNull()) {
      return mode;
    }
  }
  return std::nullopt;
}

void AppMenus::refreshEnabled() {
  const bool scanning = m_store.phase().isScanning();
  const bool hasSource =
      m_store.folderURL().has_value() || m_store.sourceKind() == AppStore::SourceKind::library;
  m_openLibrary->setEnabled(!scanning);
  m_rescan->setEnabled(hasSource && !scanning);
}

// The tab first, then the sheet, so the sheet opens on the right tab.
void AppMenus::openInfoCenter(bool helpTab) {
  m_store.setInfoInitialTab(helpTab ? AppStore::InfoTab::help : AppStore::InfoTab::about);
  m_store.setShowsInfoCenter(true);
}

} // namespace lumora
