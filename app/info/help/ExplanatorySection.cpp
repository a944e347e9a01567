#include "app/info/help/ExplanatorySection.h"

namespace lumora {

ExplanatorySection::ExplanatorySection(const QString &symbol, Tint tint, const QString &title,
                                       const QStringList &paragraphs, QWidget *parent)
    : InfoSection(symbol, 15, tint, title, 6, parent) {
  for (const QString &paragraph : paragraphs) {
    addParagraph(paragraph, true);
  }
  // Screen readers announce the section by this one name.
  setAccessibleName(accessibleText(title, paragraphs));
}

QString ExplanatorySection::accessibleText(const QString &title, const QStringList &paragraphs) {
  return title + QStringLiteral("。") + paragraphs.join(QLatin1Char(' '));
}

} // namespace lumora
