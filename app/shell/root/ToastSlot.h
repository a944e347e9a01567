#pragma once

#include "app/shell/screens/UndoToastView.h"
#include <QObject>
#include <QPointer>

class QWidget;

namespace lumora {

class AppStore;

/// The undo toast along the bottom edge of the root view, above every other layer: shown
/// while the store holds a toast, at most the host's width less 40 px, 18 px above the
/// bottom and centred. It rises 12 px into place while fading in, on the 0.34 / 0.70
/// spring, and falls 6 px while fading out over 0.14 s; under reduced motion it only fades.
/// A toast that replaces another while shown updates the card in place. Its buttons come
/// one Tab after the control that has the keys when it appears. GUI thread only.
class ToastSlot : public QObject {
  Q_OBJECT

public:
  static constexpr int kSideMargin = 20;
  static constexpr int kBottomMargin = 18;

  /// The toast card lies on `host`, which must call `layout()` when it resizes.
  ToastSlot(AppStore &store, QWidget *host);

  [[nodiscard]] UndoToastView *view() const { return m_view; }
  /// Places the card for the host's current size and keeps it on top.
  void layout();

private:
  void follow();
  void show();
  void hide();
  void placeInTabOrder();

  AppStore &m_store;
  QWidget *m_host;
  QPointer<UndoToastView> m_view;
};

} // namespace lumora
