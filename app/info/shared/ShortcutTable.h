#pragma once

#include <QString>
#include <vector>

namespace lumora {

/// One row of the Help tab's keyboard-shortcut table.
struct ShortcutRow {
  /// The key combination as shown ("Ctrl+[ / Ctrl+]").
  QString shortcut;
  /// What it does, already localized.
  QString action;

  /// Tells rows apart: the shortcut followed directly by the action.
  [[nodiscard]] QString identity() const { return shortcut + action; }
};

/// The keyboard shortcuts the Help tab lists, in the order shown. Key names follow the
/// menus' own spelling on Linux (Ctrl for the command key, Shift before the letter).
namespace shortcuttable {

/// The rows with their actions looked up in the string table now; an action without an
/// entry shows its key.
[[nodiscard]] std::vector<ShortcutRow> build();

/// `build()` once per process, on first use; safe to call from any thread.
[[nodiscard]] const std::vector<ShortcutRow> &rows();

} // namespace shortcuttable

} // namespace lumora
