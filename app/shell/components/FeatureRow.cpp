#include "app/shell/components/FeatureRow.h"

#include "app/shell/theme/Theme.h"
#include "platform/gui/Symbols.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace lumora {
namespace {

constexpr int kIconPx = 11;
constexpr int kIconColumn = 16;

} // namespace

FeatureRow::FeatureRow(const QString &icon, const QString &text, QWidget *parent)
    : QWidget(parent), m_symbol(icon), m_icon(new QLabel(this)), m_text(new QLabel(text, this)) {
  auto *layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(8);
  m_text->setFont(Theme::font(11));
  m_text->setWordWrap(true);
  m_text->setTextFormat(Qt::PlainText);
  m_text->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
  // The symbol's column is as tall as the first text line, centring the glyph on it.
  m_icon->setFixedSize(kIconColumn, QFontMetrics(m_text->font()).height());
  m_icon->setAlignment(Qt::AlignCenter);
  m_icon->setAccessibleName(QString());
  layout->addWidget(m_icon, 0, Qt::AlignTop);
  layout->addWidget(m_text, 1, Qt::AlignTop);
  refreshColors();
}

void FeatureRow::refreshColors() {
  const Theme &theme = Theme::of(this);
  m_icon->setPixmap(
      platform::symbols::pixmap(m_symbol, kIconPx, theme.accent, devicePixelRatioF()));
  QPalette palette = m_text->palette();
  palette.setColor(QPalette::WindowText, theme.primaryAt(0.72));
  m_text->setPalette(palette);
}

void FeatureRow::showEvent(QShowEvent *event) {
  refreshColors();
  QWidget::showEvent(event);
}

void FeatureRow::changeEvent(QEvent *event) {
  // A new scheme arrives as a palette change; a move into another tree, or a first show
  // under an ancestor whose scheme was set without changing the palette, may bring one too.
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) {
    refreshColors();
  }
  QWidget::changeEvent(event);
}

} // namespace lumora
