#include "app/shell/window/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace lumora::QtTranslations {

bool install(const QString &directory) {
  auto *app = QCoreApplication::instance();
  if (app == nullptr) {
    return false;
  }
  // qtbase holds the widgets' dialogs; the window's texts are Chinese whatever the locale.
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), directory)) {
    return false;
  }
  translator->setParent(app);
  return QCoreApplication::installTranslator(translator.release());
}

QString systemDirectory() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

} // namespace lumora::QtTranslations
