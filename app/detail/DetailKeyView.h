#pragma once

#include "app/shell/components/KeyCatcherView.h"

namespace lumora {

/// The group detail's key catcher, filling the screen behind its parts; the self-tests find
/// it in the window by this class.
class DetailKeyView : public KeyCatcherView {
  Q_OBJECT

public:
  using KeyCatcherView::KeyCatcherView;
};

} // namespace lumora
