#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace lumora {

/// Keeps a dialog centred on the window it belongs to (its parent's window): when the dialog
/// is shown or changes size, and when that window moves or is resized. An alert raised while
/// the window is still being placed (at start-up the window manager moves it after it was
/// shown) thus ends up over the window, not where the window was first put.
///
/// Owned by the dialog; lives on the GUI thread.
class WindowCentring : public QObject {
  Q_OBJECT

public:
  /// Centres `dialog` on its parent's window from now on; nothing for a dialog without parent.
  static void attach(QWidget *dialog);

  /// Moves `dialog` so that its frame's centre is the centre of `window`'s frame.
  static void centre(QWidget *dialog, const QWidget *window);

protected:
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  WindowCentring(QWidget *dialog, QWidget *window);

  QWidget *m_dialog;
  QPointer<QWidget> m_window;
};

} // namespace lumora
