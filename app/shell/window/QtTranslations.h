#pragma once

#include <QString>

class QTranslator;

namespace lumora::qttranslations {

/// Installs Qt's own Chinese texts (the file and message dialogs' labels and buttons), read
/// from `directory`, into the running application, so its dialogs speak the language of the
/// window around them. Missing files leave Qt's English texts, quietly: they come from a
/// package of their own. Returns the installed translator (owned by the application), or
/// null when there was none to install.
QTranslator *install(const QString &directory);

/// Where the system keeps Qt's translations.
[[nodiscard]] QString systemDirectory();

} // namespace lumora::qttranslations
