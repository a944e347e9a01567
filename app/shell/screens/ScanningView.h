#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QShortcut;

namespace lumora {

class AppStore;
class LinearProgressBar;
class RollingHeadline;
class ShrinkingLabel;
class ThemedButton;

/// The screen of a scan's first moments, before any photo has arrived: one centred progress
/// card (what the scan does, how far it is, which file it reads, and a pause button) above
/// three faint placeholder tiles. Everything shown is read from the store and refreshed on
/// its change signals; the pause button and Escape call `AppStore::requestPause()`.
///
/// Escape is a shortcut that exists only while the card is shown and its button enabled,
/// so it never competes with other screens' keys. GUI thread.
class ScanningView : public QWidget {
  Q_OBJECT

public:
  explicit ScanningView(AppStore &store, QWidget *parent = nullptr);

  /// The card's detail line: the library note for a library scan; for a folder, the file
  /// being read, or "正在读取文件列表…" before the first one.
  [[nodiscard]] static QString progressDetailText(const AppStore &store);
  /// The percentage in the card's header, or an empty string when it is not shown (no
  /// progress, or a total below 1).
  [[nodiscard]] static QString percentText(const AppStore &store);

protected:
  void paintEvent(QPaintEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  QWidget *buildCard();
  QLayout *buildHeader();
  QLayout *buildPauseRow();
  void refresh();
  void refreshHeadline();
  void refreshPause();
  void updateEscape();
  void applyTheme();

  AppStore &m_store;
  QWidget *m_card = nullptr;
  QLabel *m_symbol = nullptr;
  QLabel *m_title = nullptr;
  QLabel *m_subtitle = nullptr;
  QLabel *m_percent = nullptr;
  RollingHeadline *m_headline = nullptr;
  LinearProgressBar *m_bar = nullptr;
  ShrinkingLabel *m_detail = nullptr;
  ThemedButton *m_pause = nullptr;
  QPointer<QShortcut> m_escape;
  std::size_t m_shownItemCount = 0;
};

} // namespace lumora
