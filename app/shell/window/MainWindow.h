#pragma once

#include <QMainWindow>

namespace lumora {

/// The application's one window: titled "Pindle", with the app mark as its icon. Its central
/// widget is the content given with `setContent`; the menu bar belongs to `AppMenus`. Both
/// sizes are the content's, below the menu bar: 1150 × 780 when first shown, never smaller
/// than 900 × 600 (the root view's minimum).
class MainWindow : public QMainWindow {
  Q_OBJECT

public:
  static constexpr QSize kDefaultSize{1150, 780};
  static constexpr QSize kMinimumSize{900, 600};

  explicit MainWindow(QWidget *parent = nullptr);

  /// Replaces the content (the window takes ownership); it fills the client area.
  void setContent(QWidget *content);
  [[nodiscard]] QWidget *content() const { return centralWidget(); }
  /// The window size that gives the content `content` below the menu bar.
  [[nodiscard]] QSize sizeForContent(QSize content) const;

  /// Shows the window and brings it to the front (a second launch asks for this).
  void raiseToFront();

signals:
  /// The first frame of the window has been painted (measured by the start-up benchmark).
  void firstFramePainted();

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  bool m_painted = false;
};

} // namespace lumora
