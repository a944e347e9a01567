#pragma once

#include "app/info/help/InfoSection.h"

#include <QStringList>

namespace lumora {

/// One of the Help tab's explanatory sections (privacy, deletion, scores): a 15 px symbol,
/// the title and selectable paragraphs 6 px apart. Screen readers get the section as one
/// element, "title。p1 p2".
class ExplanatorySection : public InfoSection {
  Q_OBJECT

public:
  ExplanatorySection(const QString &symbol, Tint tint, const QString &title,
                     const QStringList &paragraphs, QWidget *parent = nullptr);

  /// The one label read for the whole section.
  [[nodiscard]] static QString accessibleText(const QString &title, const QStringList &paragraphs);
};

} // namespace lumora
