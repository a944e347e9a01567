#include "platform/gui/KeyCodes.h"

#include <QKeyEvent>
#include <array>
#include <utility>

namespace platform::keycodes {
namespace {

constexpr std::array<std::pair<int, int>, 17> kTable = {{
    {Qt::Key_BracketRight, kRightBracket},
    {Qt::Key_BracketLeft, kLeftBracket},
    {Qt::Key_Return, kReturn},
    {Qt::Key_Enter, kReturn},
    {Qt::Key_Space, kSpace},
    {Qt::Key_Backspace, kDelete},
    {Qt::Key_Escape, kEscape},
    {Qt::Key_Home, kHome},
    {Qt::Key_PageUp, kPageUp},
    {Qt::Key_Delete, kForwardDelete},
    {Qt::Key_End, kEnd},
    {Qt::Key_PageDown, kPageDown},
    {Qt::Key_Left, kLeft},
    {Qt::Key_Right, kRight},
    {Qt::Key_Down, kDown},
    {Qt::Key_Up, kUp},
    // Shift+Tab arrives as Backtab; the tables have no Tab, so it stays unknown.
    {Qt::Key_unknown, kUnknown},
}};

} // namespace

KeyCode translate(const QKeyEvent &event) {
  KeyCode result;
  for (const auto &[qt, code] : kTable) {
    if (event.key() == qt) {
      result.code = code;
      break;
    }
  }
  result.command = event.modifiers().testFlag(Qt::ControlModifier);
  result.shift = event.modifiers().testFlag(Qt::ShiftModifier);
  return result;
}

int qtKey(int code) {
  for (const auto &[qt, c] : kTable) {
    if (c == code && code != kUnknown) {
      return qt;
    }
  }
  return 0;
}

} // namespace platform::keycodes
