#pragma once

#include "app/shell/components/KeyCatcherView.h"

namespace lumora {

/// The results grid's key catcher, a zero-size child of the results view; the self-tests
/// find it in the window by this class.
class GridKeyView : public KeyCatcherView {
  Q_OBJECT

public:
  using KeyCatcherView::KeyCatcherView;
};

} // namespace lumora
