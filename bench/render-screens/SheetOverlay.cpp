#include "SheetOverlay.h"

#include "app/shell/theme/Theme.h"

#include <QPainter>
#include <QWidget>

namespace renderscreens {

QImage withSheet(QWidget &window, QWidget *box) {
  QImage image = window.grab().toImage();
  if (box == nullptr) {
    return image;
  }
  box->adjustSize();
  const QImage sheet = box->grab().toImage();
  const QSize size = sheet.size() / sheet.devicePixelRatio();
  const QPoint at((window.width() - size.width()) / 2, 60);
  QPainter painter(&image);
  painter.fillRect(image.rect(), QColor(0, 0, 0, 70));
  painter.drawImage(at, sheet);
  painter.setPen(lumora::Theme::of(&window).separator);
  painter.drawRect(QRect(at, size).adjusted(0, 0, -1, -1));
  return image;
}

} // namespace renderscreens
