#pragma once

#include <functional>

namespace lumora {

class AppStore;

/// Turns the results grid's keys into store calls and month jumps. Keys arrive as the key
/// tables' codes (30 "]", 33 "[", 36 Return, 49 Space, 53 Escape, 115 Home, 116 Page Up,
/// 119 End, 121 Page Down, 123–126 the arrows) with the command (Ctrl) flag; other
/// modifiers do not matter. Navigation keys are used even when they change nothing, so
/// they never reach other views; everything else is left for the parent. GUI thread.
class GridKeyController {
public:
  struct Hooks {
    /// The grid's current column count.
    std::function<int()> columns;
    /// Moves to the previous (−1) or next (+1) month.
    std::function<void(int step)> jumpMonth;
  };

  GridKeyController(AppStore &store, Hooks hooks);

  /// True when the key was used.
  bool handle(int keyCode, bool command);

private:
  bool handleCommand(int keyCode);
  bool handlePlain(int keyCode);
  void openFocused();
  bool toggleFocused();

  AppStore &m_store;
  Hooks m_hooks;
};

} // namespace lumora
