#pragma once

class QKeyEvent;

/// The key tables of the views are keyed by the classic desktop virtual key codes; this
/// translates a Qt key event into them so handlers and self-tests share one set of numbers.
namespace platform::keycodes {

inline constexpr int kRightBracket = 30; ///< "]" (with Ctrl: next month)
inline constexpr int kLeftBracket = 33;  ///< "[" (with Ctrl: previous month)
inline constexpr int kReturn = 36;       ///< Return and keypad Enter
inline constexpr int kSpace = 49;
inline constexpr int kDelete = 51; ///< Backspace
inline constexpr int kEscape = 53;
inline constexpr int kHome = 115;
inline constexpr int kPageUp = 116;
inline constexpr int kForwardDelete = 117; ///< Delete
inline constexpr int kEnd = 119;
inline constexpr int kPageDown = 121;
inline constexpr int kLeft = 123;
inline constexpr int kRight = 124;
inline constexpr int kDown = 125;
inline constexpr int kUp = 126;
/// A key the tables do not know.
inline constexpr int kUnknown = -1;

/// One translated key press. `command` is Ctrl (the Command key of the tables).
struct KeyCode {
  int code = kUnknown;
  bool command = false;
  bool shift = false;
};

/// The table code of the event's `key()` (never its `text()`, which changes with the layout
/// and the modifiers) plus its Ctrl and Shift state.
[[nodiscard]] KeyCode translate(const QKeyEvent &event);

/// The Qt key that `code` stands for (for self-tests that send key events), or 0.
[[nodiscard]] int qtKey(int code);

} // namespace platform::keycodes
