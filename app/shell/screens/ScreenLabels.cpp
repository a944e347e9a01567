#include "app/shell/screens/ScreenLabels.h"

#include "platform/gui/Symbols.h"

#include <QLabel>
#include <algorithm>

namespace lumora::ScreenLabels {

QLabel *make(const QString &text, const QFont &font, QWidget *parent, bool wraps) {
  auto *label = new QLabel(text, parent);
  label->setFont(font);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(wraps);
  return label;
}

void setTextColor(QWidget *widget, const QColor &color) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::Text, color);
  widget->setPalette(palette);
}

void fitWrapped(QLabel *label, int offered, int maxWidth) {
  // Sized here, so the layout must not ask the label for a height of its own: a box layout
  // hands the spare height of a centred column to a height-for-width item.
  QSizePolicy policy = label->sizePolicy();
  policy.setHeightForWidth(false);
  label->setSizePolicy(policy);
  const int width = std::max(0, std::min(offered, maxWidth));
  label->setFixedWidth(width);
  // An empty label has no height for a width; it keeps one line's height.
  const int height = label->heightForWidth(width);
  label->setFixedHeight(height >= 0 ? height : label->fontMetrics().height());
}

void setSymbol(QLabel *label, const QString &symbol, int pixelSize, const QColor &tint) {
  label->setPixmap(platform::symbols::pixmap(symbol, pixelSize, tint, label->devicePixelRatioF()));
  label->setFixedSize(pixelSize, pixelSize);
  // Which symbol shows, for tests and the screenshot tool.
  label->setProperty("symbol", symbol);
}

} // namespace lumora::ScreenLabels
