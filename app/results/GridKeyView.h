#pragma once

#include "app/shell/components/KeyCatcherView.h"

#include <QFocusEvent>

namespace lumora {

/// The results grid's key catcher, a zero-size child of the results view; the self-tests
/// find it in the window by this class. Tabbing to it tells the view (`tabbedIn`), which
/// shows the keyboard focus on a card when none has it: the catcher itself has nothing to
/// show.
class GridKeyView : public KeyCatcherView {
  Q_OBJECT

public:
  using KeyCatcherView::KeyCatcherView;

signals:
  void tabbedIn();

protected:
  void focusInEvent(QFocusEvent *event) override {
    KeyCatcherView::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason) {
      emit tabbedIn();
    }
  }
};

} // namespace lumora
