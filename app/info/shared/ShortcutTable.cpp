#include "app/info/shared/ShortcutTable.h"

#include "app/store/texts/Localized.h"

#include <array>
#include <utility>

namespace lumora::shortcuttable {

namespace {

// The shortcut column is shown character for character; the command key reads "Ctrl" as
// in the menus.
constexpr std::array<std::pair<const char *, const char *>, 14> kRows = {{
    {"Ctrl+O / Ctrl+Shift+O", "help.sc.chooseFolder"},
    {"Ctrl+Shift+L", "help.sc.openLibrary"},
    {"Ctrl+Shift+R", "help.sc.rescan"},
    {"↑ ↓ ← →", "help.sc.gridMove"},
    {"Home / End / PgUp / PgDn", "help.sc.gridJump"},
    {"Ctrl+[ / Ctrl+]", "help.sc.monthJump"},
    {"Return", "help.sc.return"},
    {"Space", "help.sc.space"},
    {"Delete / ⌫", "help.sc.delete"},
    {"Esc", "help.sc.esc"},
    {"Ctrl+A", "help.sc.selectAll"},
    {"← →", "help.sc.previewStep"},
    {"Ctrl+F", "help.sc.previewFavorite"},
    {"Ctrl+?", "help.sc.help"},
}};

} // namespace

std::vector<ShortcutRow> build() {
  std::vector<ShortcutRow> rows;
  rows.reserve(kRows.size());
  for (const auto &[shortcut, key] : kRows) {
    rows.push_back({QString::fromUtf8(shortcut), localized::string(key)});
  }
  return rows;
}

const std::vector<ShortcutRow> &rows() {
  // A function-local static is initialised exactly once, also under concurrent first calls.
  static const std::vector<ShortcutRow> built = build();
  return built;
}

} // namespace lumora::shortcuttable
