#pragma once

#include "app/shell/theme/Theme.h"

#include <QWidget>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace lumora {

/// The frame every Help tab section shares: a tinted symbol in a 22 px column, one point
/// below the top, beside a column that starts with the section's title (13 px semibold)
/// and holds what the section adds. Texts come localized from the caller. Colours follow
/// the widget's theme, also when the scheme changes while shown.
class InfoSection : public QWidget {
  Q_OBJECT

public:
  /// A colour of the theme, such as `&Theme::green`.
  using Tint = QColor Theme::*;

  /// `symbolPixels` is the glyph's size; `spacing` the gap between the column's children.
  InfoSection(const QString &symbol, int symbolPixels, Tint tint, const QString &title, int spacing,
              QWidget *parent = nullptr);

  [[nodiscard]] QLabel *titleLabel() const { return m_title; }
  /// The paragraphs added so far, in order.
  [[nodiscard]] const std::vector<QLabel *> &paragraphs() const { return m_paragraphs; }

  /// An 11 px secondary paragraph that wraps to the width; `selectable` lets the user
  /// select and copy it with the mouse.
  static QLabel *makeParagraph(const QString &text, bool selectable, QWidget *parent);
  /// The green "已清除" badge with its check mark.
  static QWidget *makeClearedBadge(QWidget *parent);

protected:
  /// The column under the title.
  [[nodiscard]] QVBoxLayout *column() const { return m_column; }
  /// Adds a paragraph to the column.
  QLabel *addParagraph(const QString &text, bool selectable);
  /// Sets the colours of the section's own texts; sections extend it for theirs.
  virtual void refreshColors();
  void changeEvent(QEvent *event) override;

private:
  QString m_symbol;
  int m_symbolPixels;
  Tint m_tint;
  QLabel *m_icon;
  QLabel *m_title;
  QVBoxLayout *m_column;
  std::vector<QLabel *> m_paragraphs;
};

} // namespace lumora
