#include "app/shell/screens/ScreenLabels.h"

#include "platform/gui/Symbols.h"

#include <QLabel>
#include <algorithm>

namespace lumora::screenlabels {

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

int offeredWidth(const QWidget *screen, int padding) {
  if (!screen->testAttribute(Qt::WA_Resized)) {
    return QWIDGETSIZE_MAX;
  }
  return std::max(0, screen->width() - padding);
}

void fitWrapped(QLabel *label, int offered, int maxWidth) {
  const int width = std::max(0, std::min(offered, maxWidth));
  label->setFixedWidth(width);
  setWrappedHeight(label, width);
}

void setWrappedHeight(QLabel *label, int width) {
  // Sized here, so the layout must not ask the label for a height of its own: a box layout
  // hands the spare height of a centred column to a height-for-width item.
  QSizePolicy policy = label->sizePolicy();
  policy.setHeightForWidth(false);
  label->setSizePolicy(policy);
  // Measured here: QLabel answers a height for a width from what it cached at an earlier
  // width, which leaves a label that was once narrow many lines too tall.
  const QRect bounds =
      label->fontMetrics().boundingRect(QRect(0, 0, std::max(1, width), 1 << 20),
                                        Qt::TextWordWrap | label->alignment(), label->text());
  const QMargins margins = label->contentsMargins();
  label->setFixedHeight(std::max(bounds.height(), label->fontMetrics().height()) + margins.top() +
                        margins.bottom());
}

void setSymbol(QLabel *label, const QString &symbol, int pixelSize, const QColor &tint) {
  label->setPixmap(platform::symbols::pixmap(symbol, pixelSize, tint, label->devicePixelRatioF()));
  label->setFixedSize(pixelSize, pixelSize);
  // Which symbol shows, for tests and the screenshot tool.
  label->setProperty("symbol", symbol);
}

} // namespace lumora::screenlabels
