#pragma once

#include "app/shell/window/AppearanceMode.h"

#include <QObject>
#include <map>
#include <optional>

class QAction;
class QMainWindow;
class QMenu;

namespace lumora {

class AppStore;
class AppearanceController;

/// The menu bar of the main window, in this order:
/// - 文件: 选择文件夹… (Ctrl+Shift+O), 扫描「照片」图库 (Ctrl+Shift+L), 重新扫描
///   (Ctrl+Shift+R), then 退出 (Ctrl+Q); there is no New item.
/// - 外观: 深色（默认）, 浅色, 跟随系统, the stored mode checked.
/// - 帮助: 帮助与隐私 (Ctrl+?), 关于Pindle.
/// Enable states follow the store's signals at once, and a disabled item's shortcut does
/// not fire: scanning disables the library scan; the rescan needs a folder or the library
/// source and no running scan. Ctrl+? fires with Ctrl+Shift (the US keyboards' "?") and
/// with Ctrl alone.
class AppMenus : public QObject {
  Q_OBJECT

public:
  AppMenus(QMainWindow &window, AppStore &store, AppearanceController &appearance);

  [[nodiscard]] QMenu *fileMenu() const { return m_file; }
  [[nodiscard]] QMenu *appearanceMenu() const { return m_appearance; }
  [[nodiscard]] QMenu *helpMenu() const { return m_help; }
  [[nodiscard]] QAction *chooseFolderAction() const { return m_chooseFolder; }
  [[nodiscard]] QAction *openLibraryAction() const { return m_openLibrary; }
  [[nodiscard]] QAction *rescanAction() const { return m_rescan; }
  [[nodiscard]] QAction *quitAction() const { return m_quit; }
  [[nodiscard]] QAction *helpAction() const { return m_helpItem; }
  [[nodiscard]] QAction *aboutAction() const { return m_about; }
  [[nodiscard]] QAction *appearanceAction(AppearanceMode mode) const;

  /// Re-reads the stored mode for the check mark (the menu does so before it opens).
  void refreshAppearanceChecks();
  /// The mode whose item shows the check mark.
  [[nodiscard]] std::optional<AppearanceMode> checkedMode() const;

private:
  void buildFileMenu(QMainWindow &window);
  void buildAppearanceMenu(QMainWindow &window);
  void buildHelpMenu(QMainWindow &window);
  void refreshEnabled();
  void openInfoCenter(bool helpTab);

  AppStore &m_store;
  AppearanceController &m_appearanceController;
  QMenu *m_file = nullptr;
  QMenu *m_appearance = nullptr;
  QMenu *m_help = nullptr;
  QAction *m_chooseFolder = nullptr;
  QAction *m_openLibrary = nullptr;
  QAction *m_rescan = nullptr;
  QAction *m_quit = nullptr;
  QAction *m_helpItem = nullptr;
  QAction *m_about = nullptr;
  std::map<AppearanceMode, QAction *> m_modes;
};

} // namespace lumora
