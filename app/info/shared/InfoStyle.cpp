#include "app/info/shared/InfoStyle.h"

#include <QHBoxLayout>
#include <QWidget>

namespace lumora::infostyle {

void setTextColor(QWidget *label, const QColor &color) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::Text, color);
  label->setPalette(palette);
}

QWidget *makeRow(QWidget *parent, int spacing, QHBoxLayout *&layout) {
  auto *row = new QWidget(parent);
  layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(spacing);
  return row;
}

} // namespace lumora::infostyle
