// The card's clean-up button while its card fades: drawn where it lies, also in a picture of
// the whole window (a screen's exit fade captures the screen with the button in it).
#include "app/results/CleanupButton.h"

#include <QGraphicsOpacityEffect>
#include <QImage>
#include <gtest/gtest.h>

using lumora::CleanupButton;

namespace {

// Whether any pixel of `area` differs from the picture's colour at its top-left corner.
bool hasInk(const QImage &picture, const QRect &area, QRgb ground) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (picture.pixel(x, y) != ground) {
        return true;
      }
    }
  }
  return false;
}

} // namespace

// The grid's viewport dims through an opacity effect, which paints the cards with a painter
// shared by the whole viewport.
TEST(CleanupButton, aFadingButtonIsCapturedWhereItLiesNotAtTheCapturesOrigin) {
  QWidget screen;
  screen.resize(400, 300);
  screen.setAutoFillBackground(true);
  auto *viewport = new QWidget(&screen);
  viewport->setGeometry(0, 40, 400, 260);
  auto *effect = new QGraphicsOpacityEffect(viewport);
  effect->setOpacity(0.72);
  viewport->setGraphicsEffect(effect);
  auto *button = new CleanupButton(viewport);
  button->setLabel(QStringLiteral("清理 2 张"), QStringLiteral("3 MB"));
  button->setGeometry(200, 200, 160, 22);
  screen.show();
  const QRect where(button->mapTo(&screen, QPoint(0, 0)), button->size());
  for (const qreal opacity : {1.0, 0.5}) {
    SCOPED_TRACE(opacity);
    button->setOpacity(opacity);
    const QImage picture = screen.grab().toImage();
    const QRgb ground = picture.pixel(100, 100);
    EXPECT_TRUE(hasInk(picture, where, ground));
    EXPECT_FALSE(hasInk(picture, QRect(QPoint(0, 0), button->size()), ground));
    EXPECT_FALSE(hasInk(picture, QRect(QPoint(0, 40), button->size()), ground));
  }
}
