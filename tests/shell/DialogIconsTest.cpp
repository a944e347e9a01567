#include "platform/gui/DialogIcons.h"
#include "platform/gui/Symbols.h"

#include <QFileDialog>
#include <QPainter>
#include <QToolButton>
#include <gtest/gtest.h>

namespace platform {
namespace {

/// The lightest opaque pixel of `pixmap` (0…255) and the highest alpha.
std::pair<int, int> inkOf(const QPixmap &pixmap) {
  const QImage image = pixmap.toImage();
  int lightness = -1;
  int alpha = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      alpha = std::max(alpha, c.alpha());
      lightness = c.alpha() > 20 ? std::max(lightness, c.lightness()) : lightness;
    }
  }
  return {lightness, alpha};
}

QIcon square(const QColor &colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter(&pixmap).fillRect(QRect(4, 4, 8, 8), colour);
  return QIcon(pixmap);
}

TEST(DialogIconsTest, MonochromeGlyphsTakeTheInkDimmedWhenDisabledAndColouredOnesStay) {
  const QIcon inked = dialogicons::inked(square(QColor(0x23, 0x26, 0x29)), Qt::white);
  EXPECT_EQ(inkOf(inked.pixmap(16)).first, 255);
  EXPECT_LT(inkOf(inked.pixmap(16, QIcon::Disabled)).second, 128);
  const QIcon blue = square(QColor(0x1d, 0x99, 0xf3));
  EXPECT_EQ(dialogicons::inked(blue, Qt::white).pixmap(16).toImage(), blue.pixmap(16).toImage());
}

// The theme draws the tool bar's arrows dark: on a dark dialog they take its light text
// colour, and follow the palette when the dialog changes scheme.
TEST(DialogIconsTest, FileDialogToolBarFollowsTheDialogsTextColour) {
  symbols::installIconTheme();
  QFileDialog dialog;
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  QPalette palette = dialog.palette();
  palette.setColor(QPalette::WindowText, QColor(0xf2, 0xf2, 0xf2));
  dialog.setPalette(palette);
  dialogicons::follow(&dialog);
  const auto *back = dialog.findChild<QToolButton *>(QStringLiteral("backButton"));
  ASSERT_NE(back, nullptr);
  EXPECT_GT(inkOf(back->icon().pixmap(16)).first, 200);
  palette.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
  dialog.setPalette(palette);
  EXPECT_LT(inkOf(back->icon().pixmap(16)).first, 60);
}

} // namespace
} // namespace platform
