#include "platform/gui/DialogIcons.h"
#include "platform/gui/Symbols.h"

#include <QFileDialog>
#include <QPainter>
#include <QToolButton>
#include <gtest/gtest.h>

namespace platform {
namespace {

QPixmap filled(const QColor &colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.fillRect(QRect(4, 4, 8, 8), colour);
  return pixmap;
}

/// The mean lightness (0…255) and alpha of the opaque part of `pixmap`.
std::pair<int, int> inkOf(const QPixmap &pixmap) {
  const QImage image = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
  long lightness = 0;
  long alpha = 0;
  long count = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.alpha() > 20) {
        lightness += c.lightness();
        alpha += c.alpha();
        ++count;
      }
    }
  }
  return count == 0
             ? std::pair{-1, 0}
             : std::pair{static_cast<int>(lightness / count), static_cast<int>(alpha / count)};
}

TEST(DialogIconsTest, MonochromeGlyphsTakeTheInkAndColouredOnesStay) {
  const QIcon dark(filled(QColor(0x23, 0x26, 0x29)));
  const QIcon inked = dialogicons::inked(dark, Qt::white);
  EXPECT_EQ(inkOf(inked.pixmap(16)).first, 255);
  // Disabled stays dimmer than enabled, not the grey the style derives (which would ink white).
  EXPECT_LT(inkOf(inked.pixmap(16, QIcon::Disabled)).second, 128);

  const QIcon blue(filled(QColor(0x1d, 0x99, 0xf3)));
  EXPECT_EQ(dialogicons::inked(blue, Qt::white).pixmap(16).toImage(), blue.pixmap(16).toImage());
}

// The theme draws the tool bar's arrows dark: on a dark dialog they take its light text
// colour, and follow the palette when the dialog changes scheme.
TEST(DialogIconsTest, FileDialogToolBarFollowsTheDialogsTextColour) {
  symbols::installIconTheme();
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QPalette darkPalette = dialog.palette();
  darkPalette.setColor(QPalette::WindowText, QColor(0xf2, 0xf2, 0xf2));
  dialog.setPalette(darkPalette);
  dialogicons::follow(&dialog);
  auto *back = dialog.findChild<QToolButton *>(QStringLiteral("backButton"));
  ASSERT_NE(back, nullptr);
  ASSERT_FALSE(back->icon().isNull());
  EXPECT_GT(inkOf(back->icon().pixmap(16)).first, 200);

  QPalette lightPalette = darkPalette;
  lightPalette.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
  dialog.setPalette(lightPalette);
  EXPECT_LT(inkOf(back->icon().pixmap(16)).first, 60);
}

} // namespace
} // namespace platform
