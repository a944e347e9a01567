// The soft shadow under the cards, drawn from bands that cards of one width or one height
// share.
#include "app/shell/components/CardShadow.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

constexpr int kMargin = 40;

QImage shadowOf(const QSize &card) {
  QImage image(card + QSize(2 * kMargin, 2 * kMargin), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  lumora::cardshadow::paintTiled(painter, QRectF(QPointF(kMargin, kMargin), QSizeF(card)), 16, 1,
                                 14, 0);
  return image;
}

} // namespace

// Along the straight part of a side the shadow is the same all the way; a band made for
// another width or height would stop short or overrun. Sizes drawn in a row share bands
// by width and by height, and drawing a size again gives the same shadow.
TEST(CardShadowTest, eachSideIsEvenAlongItsLengthWhateverSizesCameBefore) {
  const QImage first = shadowOf({300, 200});
  for (const QSize size : {QSize(300, 260), QSize(340, 260), QSize(300, 200)}) {
    const QImage shadow = shadowOf(size);
    const int right = kMargin + size.width();
    const int bottom = kMargin + size.height();
    for (const int y : {kMargin + 30, bottom - 30}) {
      EXPECT_EQ(shadow.pixel(kMargin - 3, y), shadow.pixel(kMargin - 3, kMargin + 100));
      EXPECT_EQ(shadow.pixel(right + 2, y), shadow.pixel(right + 2, kMargin + 100));
    }
    for (const int x : {kMargin + 30, right - 30}) {
      EXPECT_EQ(shadow.pixel(x, kMargin - 3), shadow.pixel(kMargin + 100, kMargin - 3));
      EXPECT_EQ(shadow.pixel(x, bottom + 2), shadow.pixel(kMargin + 100, bottom + 2));
    }
    EXPECT_GT(qAlpha(shadow.pixel(kMargin - 3, kMargin + 100)), 0);
    EXPECT_GT(qAlpha(shadow.pixel(kMargin + 100, bottom + 2)), 0);
  }
  EXPECT_EQ(shadowOf({300, 200}), first);
}
