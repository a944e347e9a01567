#include "app/shell/theme/FocusHalo.h"
#include "app/shell/components/LeavingPicture.h"
#include "app/shell/screens/SymbolButton.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFileDialog>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace lumora {
namespace {

double linear(int channel) {
  const double c = channel / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(QRgb rgb) {
  return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

/// The contrast ratio of two colours as the accessibility guidelines measure it (1…21).
double contrast(QRgb a, QRgb b) {
  const double la = luminance(a);
  const double lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

/// A window in one scheme, painted in its background, holding the controls under test.
class SchemeWindow : public QWidget {
public:
  explicit SchemeWindow(ColorScheme scheme) {
    Theme::setScheme(this, scheme);
    setAutoFillBackground(true);
    resize(400, 200);
  }
  void showActive() {
    show();
    QApplication::setActiveWindow(this);
    ASSERT_TRUE(QTest::qWaitForWindowActive(this));
  }
};

struct Case {
  const char *name;
  ThemedButton::Style style;
  QColor tint;
};

// On an accent fill an accent ring vanishes: the ring must stand apart from every button's
// fill and from the window around it by at least the 3:1 the guidelines ask of a focus
// indicator, in both schemes, and the pixels it covers must change when the focus arrives.
TEST(FocusHaloTest, ringStandsApartFromEveryButtonFillAndTheWindowInBothSchemes) {
  const Case cases[] = {
      {"prominent", ThemedButton::Style::prominent, {}},
      {"prominent red", ThemedButton::Style::prominent, Theme::dark().red},
      {"bordered", ThemedButton::Style::bordered, {}},
      {"link", ThemedButton::Style::link, {}},
  };
  for (const ColorScheme scheme : {ColorScheme::dark, ColorScheme::light}) {
    for (const Case &c : cases) {
      SCOPED_TRACE(std::string(c.name) + (scheme == ColorScheme::dark ? " dark" : " light"));
      SchemeWindow window(scheme);
      auto *button = new ThemedButton(QStringLiteral("选择文件夹…"), c.style,
                                      ThemedButton::Size::large, &window);
      button->setTint(c.tint);
      button->move(60, 60);
      window.showActive();
      const int y = button->geometry().center().y();
      const QPoint ringAt(button->x() - static_cast<int>(FocusHalo::kGap + FocusHalo::kWidth / 2),
                          y);
      const QPoint fillAt(button->x() + 4, y);
      // The window handed its first control the focus when it opened.
      button->clearFocus();
      ASSERT_EQ(FocusHalo::shown(), nullptr);
      const QImage before = window.grab().toImage();
      button->setFocus(Qt::TabFocusReason);
      ASSERT_NE(FocusHalo::shown(), nullptr);
      const QImage after = window.grab().toImage();
      const QRgb ring = after.pixel(ringAt);
      EXPECT_GE(contrast(ring, before.pixel(ringAt)), 3.0) << "against the window";
      EXPECT_GE(contrast(ring, after.pixel(fillAt)), 3.0) << "against the button's fill";
      EXPECT_EQ(after.pixel(fillAt), before.pixel(fillAt)) << "the button itself is unchanged";
      // The gap keeps the ring off the button's edge.
      EXPECT_EQ(after.pixel(button->x() - 1, y), before.pixel(button->x() - 1, y));
    }
  }
}

// The ring follows the focus and the control's moves, and leaves with either; a control flush
// with its parent's edge would lose it to the parent's clip, so it lives higher up, but never
// outside the viewport the control scrolls in.
TEST(FocusHaloTest, ringFollowsTheFocusFindsRoomAndStaysInItsViewport) {
  SchemeWindow window(ColorScheme::light);
  auto *tight = new QWidget(&window);
  tight->setGeometry(40, 40, 120, 28);
  auto *flush = new ThemedButton(QStringLiteral("好"), ThemedButton::Style::prominent,
                                 ThemedButton::Size::regular, tight);
  flush->setGeometry(0, 0, 120, 28);
  auto *close = new SymbolButton(QStringLiteral("xmark"), 9, 20, &window);
  close->move(200, 20);
  auto *area = new QScrollArea(&window);
  area->setGeometry(200, 80, 150, 100);
  auto *scrolled = new ThemedButton(QStringLiteral("清除"));
  area->setWidget(scrolled);
  window.showActive();

  flush->setFocus(Qt::TabFocusReason);
  ASSERT_NE(FocusHalo::shown(), nullptr);
  EXPECT_EQ(FocusHalo::shown()->parentWidget(), &window);
  QTest::keyClick(flush, Qt::Key_Tab);
  ASSERT_NE(FocusHalo::shown(), nullptr);
  EXPECT_EQ(FocusHalo::shown()->control(), close);
  const QRect around = FocusHalo::shown()->geometry();
  EXPECT_TRUE(around.contains(close->geometry()) && around != close->geometry());
  close->move(240, 60);
  EXPECT_EQ(FocusHalo::shown()->geometry(), around.translated(40, 40));
  close->hide();
  EXPECT_TRUE(FocusHalo::shown() == nullptr || FocusHalo::shown()->control() != close);

  auto *plain = new QPushButton(QStringLiteral("取消"), &window); // an alert's button
  plain->show();
  plain->setFocus(Qt::TabFocusReason);
  ASSERT_NE(FocusHalo::shown(), nullptr);
  EXPECT_EQ(FocusHalo::shown()->control(), plain);

  scrolled->setFocus(Qt::TabFocusReason);
  ASSERT_NE(FocusHalo::shown(), nullptr);
  EXPECT_EQ(FocusHalo::shown()->parentWidget(), area->viewport());
  scrolled->clearFocus();
  EXPECT_EQ(FocusHalo::shown(), nullptr);
}

// A screen that leaves while it holds the keys hands them to the area it leaves, not to the
// next control of the chain, which would show its ring until the arriving screen takes them.
TEST(FocusHaloTest, aScreenLeavingWithTheKeysLeavesThemWhereNoRingShows) {
  SchemeWindow window(ColorScheme::light);
  auto *area = new QWidget(&window);
  area->setGeometry(0, 0, 300, 200);
  auto *leaving = new QWidget(area);
  leaving->setGeometry(area->rect());
  auto *inside = new ThemedButton(QStringLiteral("选择"), ThemedButton::Style::bordered,
                                  ThemedButton::Size::regular, leaving);
  inside->move(20, 20);
  auto *next = new ThemedButton(QStringLiteral("照片图库"), ThemedButton::Style::bordered,
                                ThemedButton::Size::regular, &window);
  next->move(20, 240);
  window.showActive();
  inside->setFocus(Qt::TabFocusReason);
  ASSERT_NE(FocusHalo::shown(), nullptr);

  LeavingPicture::replace(leaving, MotionCurve::easeOut(0.14));
  EXPECT_EQ(QApplication::focusWidget(), area);
  EXPECT_EQ(FocusHalo::shown(), nullptr);
}

// A file dialog parented to the window itself lies outside the content's scheme: its ring
// takes the colour its own palette calls for, and its side bar shows the focus too.
TEST(FocusHaloTest, aFileDialogOutsideTheSchemeGetsARingOfItsPalettesSchemeAlsoOnItsLists) {
  const QPalette before = QApplication::palette();
  QApplication::setPalette(Theme::light().palette());
  QWidget window;
  ThemedButton button(QStringLiteral("选择文件夹…"), ThemedButton::Style::bordered,
                      ThemedButton::Size::large, &window);
  QFileDialog dialog(&window);
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  auto *sidebar = dialog.findChild<QAbstractItemView *>(QStringLiteral("sidebar"));
  ASSERT_NE(sidebar, nullptr);
  sidebar->setFocus(Qt::TabFocusReason);
  ASSERT_NE(FocusHalo::shown(), nullptr);
  EXPECT_EQ(FocusHalo::shown()->control(), sidebar);
  // The side bar lies in a splitter, which would take the ring for a pane of its own.
  auto *splitter = qobject_cast<QSplitter *>(sidebar->parentWidget());
  ASSERT_NE(splitter, nullptr);
  EXPECT_EQ(splitter->indexOf(FocusHalo::shown()), -1);
  EXPECT_EQ(splitter->count(), 2);
  // The ring shows where the dialog is drawn, along the side bar's top edge.
  QCoreApplication::processEvents();
  const QImage shown = dialog.grab().toImage();
  const QPoint corner = sidebar->mapTo(&dialog, QPoint(0, 0));
  int dark = 0;
  for (int x = 0; x < sidebar->width(); ++x) {
    dark += qGray(shown.pixel(corner.x() + x, corner.y() + 1)) < 90 ? 1 : 0;
  }
  EXPECT_GT(dark, sidebar->width() / 2) << "the light scheme's dark ring";
  QApplication::setPalette(before);
}

} // namespace
} // namespace lumora
