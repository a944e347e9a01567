#pragma once

#include <QWidget>

class QLabel;
class QShortcut;

namespace lumora {

class AppStore;
class ShrinkingLabel;
class ThemedButton;

/// The strip across the top of the window, under every screen including the group detail:
/// the app mark, name and tagline over the line naming the current source, then the three
/// source actions (library, choose folder, rescan). Below a measured row width of 1080 px
/// (a bar under 1120 px) the library and rescan buttons shrink to their symbols.
///
/// Ctrl+O and Ctrl+R are this bar's, one window-wide shortcut each: live over the detail
/// and the idle screen, dead while their buttons are disabled. The buttons take focus by
/// Tab only. GUI thread only.
class HeaderBar : public QWidget {
  Q_OBJECT

public:
  /// Horizontal padding on each side; the measured width is the bar's less twice this.
  static constexpr int kPadding = 20;
  /// The measured row width from which the bar is wide.
  static constexpr int kWideFrom = 1080;

  explicit HeaderBar(AppStore &store, QWidget *parent = nullptr);

  /// True when 0 < `rowWidth` < 1080; an unmeasured width (0) counts as wide.
  [[nodiscard]] static bool isCompactWidth(int rowWidth);
  [[nodiscard]] bool isCompact() const { return isCompactWidth(m_rowWidth); }

  [[nodiscard]] ThemedButton *libraryButton() const { return m_library; }
  [[nodiscard]] ThemedButton *folderButton() const { return m_folder; }
  [[nodiscard]] ThemedButton *rescanButton() const { return m_rescan; }
  [[nodiscard]] ShrinkingLabel *sourceLabel() const { return m_sourceText; }
  /// The source row; its tooltip names the source in full.
  [[nodiscard]] QWidget *sourceRow() const { return m_sourceRow; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  [[nodiscard]] QWidget *makeBrand();
  [[nodiscard]] QWidget *makeSourceRow();
  void makeButtons();
  void makeShortcuts();
  void refreshEnabled();
  void refreshSource();
  void refreshLabels();
  void refreshColors();

  AppStore &m_store;
  int m_rowWidth = 0;
  /// Whether the bar has been drawn; only a change of width after that animates.
  bool m_painted = false;
  QLabel *m_name = nullptr;
  ShrinkingLabel *m_tagline = nullptr;
  QWidget *m_sourceRow = nullptr;
  QLabel *m_sourceIcon = nullptr;
  ShrinkingLabel *m_sourceText = nullptr;
  ThemedButton *m_library = nullptr;
  ThemedButton *m_folder = nullptr;
  ThemedButton *m_rescan = nullptr;
  QShortcut *m_chooseShortcut = nullptr;
  QShortcut *m_rescanShortcut = nullptr;
};

} // namespace lumora
