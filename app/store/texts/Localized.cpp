#include "app/store/texts/Localized.h"

#include <QCoreApplication>
#include <QTranslator>
#include <memory>

namespace lumora::localized {

QString string(const char *key) { return QCoreApplication::translate(kContext, key); }

QString string(const char *key, const char *defaultText) {
  const QString found = QCoreApplication::translate(kContext, key);
  // translate() answers with the key itself when no installed table has an entry.
  // An entry whose text equals its key is indistinguishable from a miss; no entry in
  // our table is written that way.
  if (found == QString::fromUtf8(key)) {
    return QString::fromUtf8(defaultText);
  }
  return found;
}

QString format(const char *key, const char *defaultText, std::initializer_list<FormatArg> args) {
  return textformat::fill(string(key, defaultText), args);
}

bool installTranslations() {
  static bool installed = false;
  auto *app = QCoreApplication::instance();
  if (installed || app == nullptr) {
    return installed;
  }
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral(":/i18n/pindle_zh_CN.qm"))) {
    return false;
  }
  // Owned by the application from here on, so it outlives every lookup.
  translator->setParent(app);
  installed = QCoreApplication::installTranslator(translator.release());
  return installed;
}

} // namespace lumora::localized
