#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <string>
#include <vector>

class QWidget;

namespace lumora {

class AppStore;

/// The batch clean-up confirmation of the results view. It follows the store's
/// `isBatchConfirmPresented` both ways: the flag opens and closes it, and any way the user
/// closes it sets the flag back. While open it rewrites its texts on every change of the
/// selection, so it always shows what would be removed; confirming removes exactly the
/// photos it showed (`AppStore::cleanupSelected` refuses if they changed). GUI thread.
class BatchCleanupDialog : public QObject {
  Q_OBJECT

public:
  /// `host` is the widget the window-modal dialog belongs to.
  BatchCleanupDialog(AppStore &store, QWidget *host);
  ~BatchCleanupDialog() override;

  /// The open dialog, or null.
  [[nodiscard]] QMessageBox *box() const { return m_box; }

private:
  void presentedChanged();
  void open();
  void rebuildTexts();

  AppStore &m_store;
  QPointer<QWidget> m_host;
  QPointer<QMessageBox> m_box;
  std::vector<std::string> m_shownVictims;
};

} // namespace lumora
