#pragma once

#include "app/shell/screens/StatusScreen.h"

#include <QUrl>
#include <functional>

namespace lumora {

class AppStore;

/// The ready screen when a scan found no photo it could analyse. The folder variant offers
/// another folder and, while a folder is set, a rescan; the library variant offers a
/// library rescan, a folder instead, and our library's folder opened in the file manager.
/// GUI thread.
class EmptyResultsView : public StatusScreen {
  Q_OBJECT

public:
  /// Opens a location on the desktop; true when it opened.
  using UrlOpener = std::function<bool(const QUrl &)>;

  /// `openUrl` defaults to `QDesktopServices::openUrl`.
  explicit EmptyResultsView(AppStore &store, UrlOpener openUrl = {}, QWidget *parent = nullptr);

  /// The folder message, shown as written (never looked up): the formats enumeration reads.
  static const char kFolderMessage[];

protected:
  void refresh() override;

private:
  void rebuildButtons();
  void openLibraryFolder();

  AppStore &m_store;
  UrlOpener m_openUrl;
  /// The variant whose buttons show (library, folder, folder set); -1 before the first.
  int m_buttonsFor = -1;
};

} // namespace lumora
