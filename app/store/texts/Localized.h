#pragma once

#include "app/store/texts/TextFormat.h"

#include <QString>
#include <initializer_list>

/// The application's string table: every user text is looked up here under one fixed
/// translation context. Keys are UTF-8 and must match the table byte for byte (full-width
/// punctuation, 「」, the middle dot U+00B7 and the ellipsis U+2026 included). Safe to call
/// from any thread once the translations are installed.
namespace lumora::localized {

/// The translation context of every entry in the table.
inline constexpr char kContext[] = "Pindle";

/// The table's text for `key`, or the key itself when the table has none.
[[nodiscard]] QString string(const char *key);
/// The table's text for `key`, or `defaultText` when the table has none.
[[nodiscard]] QString string(const char *key, const char *defaultText);
/// Looks `key` up as `string(key, defaultText)` does and fills the result with `args`
/// through `textformat::fill`.
[[nodiscard]] QString format(const char *key, const char *defaultText,
                             std::initializer_list<FormatArg> args);

/// Installs the built-in Chinese table into the running application. Call once after the
/// application object exists (the application and the tests do); later calls do nothing.
/// Returns false when the table could not be loaded, in which case the defaults show.
bool installTranslations();

} // namespace lumora::localized
