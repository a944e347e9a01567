#include "app/shell/window/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace lumora::qttranslations {

QTranslator *install(const QString &directory) {
  auto *app = QCoreApplication::instance();
  if (app == nullptr) {
    return nullptr;
  }
  // qtbase holds the widgets' dialogs; the window's texts are Chinese whatever the locale.
  auto translator = std::make_unique<QTranslator>();
  if (!translator->load(QStringLiteral("qtbase_zh_CN"), directory) ||
      !QCoreApplication::installTranslator(translator.get())) {
    return nullptr;
  }
  translator->setParent(app);
  return translator.release();
}

QString systemDirectory() { return QLibraryInfo::path(QLibraryInfo::TranslationsPath); }

} // namespace lumora::qttranslations
