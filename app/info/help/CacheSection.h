#pragma once

#include "app/info/help/InfoSection.h"

#include <QPointer>

#include <QMessageBox>

namespace lumora {

class AppStore;
class ClearCacheButton;
class ThemedButton;

/// Where the analysis cache lives and how to clear it: the paragraph naming the data
/// folder, the clear button behind a confirmation, and once cleared the "已清除" badge with
/// the hint and the rescan link. Clearing runs through the store off the GUI thread; its
/// answer reaches this section only while the section exists. The state starts afresh
/// with every section: a clearing still running when it closes ends unseen.
class CacheSection : public InfoSection {
  Q_OBJECT

public:
  explicit CacheSection(AppStore &store, QWidget *parent = nullptr);

  /// The paragraph text, the data folder in use filled in (home written "~").
  [[nodiscard]] static QString paragraphText();

  [[nodiscard]] bool isClearing() const { return m_isClearing; }
  [[nodiscard]] bool didClear() const { return m_didClear; }
  [[nodiscard]] ClearCacheButton *clearButton() const { return m_clearButton; }
  [[nodiscard]] ThemedButton *rescanButton() const { return m_rescanButton; }
  /// The open confirmation, null when none is shown.
  [[nodiscard]] QMessageBox *confirmation() const { return m_confirmation; }

signals:
  void stateChanged();

protected:
  void refreshColors() override;

private:
  QWidget *makeButtonRow();
  QWidget *makeClearedRow();
  void askToClear();
  [[nodiscard]] QMessageBox *makeConfirmation();
  void clearCache();
  void clearingFinished();
  void rescan();

  AppStore &m_store;
  bool m_isClearing = false;
  bool m_didClear = false;
  ClearCacheButton *m_clearButton = nullptr;
  QWidget *m_clearedBadge = nullptr;
  QWidget *m_clearedRow = nullptr;
  QLabel *m_clearedHint = nullptr;
  ThemedButton *m_rescanButton = nullptr;
  QPointer<QMessageBox> m_confirmation;
};

} // namespace lumora
