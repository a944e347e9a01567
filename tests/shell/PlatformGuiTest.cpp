#include "platform/gui/KeyCodes.h"
#include "platform/gui/Symbols.h"

#include <QImage>
#include <QKeyEvent>
#include <gtest/gtest.h>

namespace platform {
namespace {

using namespace keycodes;

KeyCode press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString &text = {}) {
  const QKeyEvent event(QEvent::KeyPress, key, modifiers, text);
  return translate(event);
}

TEST(KeyCodesTest, EveryTableKeyTranslates) {
  const std::pair<int, int> expected[] = {
      {Qt::Key_BracketRight, 30}, {Qt::Key_BracketLeft, 33}, {Qt::Key_Return, 36},
      {Qt::Key_Enter, 36},        {Qt::Key_Space, 49},       {Qt::Key_Backspace, 51},
      {Qt::Key_Escape, 53},       {Qt::Key_Home, 115},       {Qt::Key_PageUp, 116},
      {Qt::Key_Delete, 117},      {Qt::Key_End, 119},        {Qt::Key_PageDown, 121},
      {Qt::Key_Left, 123},        {Qt::Key_Right, 124},      {Qt::Key_Down, 125},
      {Qt::Key_Up, 126}};
  for (const auto &[key, code] : expected) {
    EXPECT_EQ(press(key).code, code) << key;
    if (key != Qt::Key_Enter) {
      EXPECT_EQ(qtKey(code), key) << code;
    }
  }
  EXPECT_EQ(press(Qt::Key_A).code, kUnknown);
  EXPECT_EQ(qtKey(kUnknown), 0);
}

TEST(KeyCodesTest, ModifiersComeFromTheEventAndTextIsIgnored) {
  const KeyCode month = press(Qt::Key_BracketRight, Qt::ControlModifier, QStringLiteral("\x1d"));
  EXPECT_EQ(month.code, kRightBracket);
  EXPECT_TRUE(month.command);
  EXPECT_FALSE(month.shift);
  const KeyCode up = press(Qt::Key_Up, Qt::ShiftModifier | Qt::ControlModifier);
  EXPECT_TRUE(up.command && up.shift);
  // The text a layout produces never decides the code.
  EXPECT_EQ(press(Qt::Key_Space, Qt::NoModifier, QStringLiteral("x")).code, kSpace);
}

bool hasInk(const QPixmap &pixmap) {
  const QImage image = pixmap.toImage();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qAlpha(image.pixel(x, y)) > 40) {
        return true;
      }
    }
  }
  return false;
}

TEST(SymbolsTest, EveryKnownSymbolDrawsFromTheThemeOrByHand) {
  symbols::installIconTheme();
  ASSERT_FALSE(symbols::knownSymbols().isEmpty());
  const QImage standIn = symbols::pixmap(QStringLiteral("no.such.symbol"), 22, Qt::white).toImage();
  for (const QString &name : symbols::knownSymbols()) {
    SCOPED_TRACE(name.toStdString());
    const QString themeName = symbols::themeIconName(name);
    EXPECT_TRUE(themeName.isEmpty() || QIcon::hasThemeIcon(themeName));
    const QPixmap drawn = symbols::pixmap(name, 22, Qt::white);
    EXPECT_TRUE(hasInk(drawn));
    EXPECT_NE(drawn.toImage(), standIn);
  }
}

TEST(SymbolsTest, FilledAndOutlineFormsDiffer) {
  const std::pair<const char *, const char *> pairs[] = {
      {"star", "star.fill"},
      {"checkmark.circle", "checkmark.circle.fill"},
      {"pause.circle", "pause.circle.fill"},
      {"checkmark.seal", "checkmark.seal.fill"},
      {"lock.shield", "lock.shield.fill"}};
  for (const auto &[outline, filled] : pairs) {
    EXPECT_NE(symbols::pixmap(QString::fromLatin1(outline), 22, Qt::white).toImage(),
              symbols::pixmap(QString::fromLatin1(filled), 22, Qt::white).toImage())
        << outline;
  }
}

// The close marks are a bare cross: ink along both diagonals, none between the arms where a
// disc (the theme's "dialog-close") would be filled.
TEST(SymbolsTest, XmarkIsAPlainCrossNotADisc) {
  const QImage cross = symbols::pixmap(QStringLiteral("xmark"), 24, Qt::white).toImage();
  const auto inked = [&](int x, int y) { return qAlpha(cross.pixel(x, y)) > 128; };
  EXPECT_TRUE(inked(12, 12));
  EXPECT_TRUE(inked(6, 6));
  EXPECT_TRUE(inked(17, 6));
  EXPECT_TRUE(inked(6, 17));
  EXPECT_FALSE(inked(12, 5));
  EXPECT_FALSE(inked(5, 12));
  EXPECT_FALSE(inked(19, 12));
  EXPECT_FALSE(inked(12, 19));
}

TEST(SymbolsTest, UnknownNameDrawsAVisibleStandIn) {
  EXPECT_FALSE(symbols::isKnown(QStringLiteral("no.such.symbol")));
  EXPECT_TRUE(symbols::themeIconName(QStringLiteral("no.such.symbol")).isEmpty());
  EXPECT_TRUE(hasInk(symbols::pixmap(QStringLiteral("no.such.symbol"), 22, Qt::white)));
}

} // namespace
} // namespace platform
