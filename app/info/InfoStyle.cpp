#include "app/info/InfoStyle.h"

#include <QWidget>

namespace lumora::InfoStyle {

void setTextColor(QWidget *label, const QColor &color) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  palette.setColor(QPalette::Text, color);
  label->setPalette(palette);
}

} // namespace lumora::InfoStyle
