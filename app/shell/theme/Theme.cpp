#include "app/shell/theme/Theme.h"

#include "app/shell/theme/SchemeFollower.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPalette>
#include <QVariant>
#include <QWidget>

namespace lumora {
namespace {

constexpr char kSchemeProperty[] = "pindleColorScheme";

QColor rgba(int r, int g, int b, qreal a = 1.0) {
  QColor c(r, g, b);
  c.setAlphaF(static_cast<float>(a));
  return c;
}

/// One colour token of both schemes, side by side so a change to one is seen against the other.
struct ColourToken {
  QColor Theme::*field;
  QColor dark;
  QColor light;
};

Theme makeTheme(ColorScheme scheme) {
  const ColourToken tokens[] = {
      {&Theme::windowBackground, QColor(0x1f, 0x1f, 0x21), QColor(0xec, 0xec, 0xee)},
      {&Theme::primary, rgba(255, 255, 255, 0.92), rgba(0, 0, 0, 0.88)},
      {&Theme::secondary, rgba(235, 235, 245, 0.60), rgba(60, 60, 67, 0.62)},
      {&Theme::tertiary, rgba(235, 235, 245, 0.30), rgba(60, 60, 67, 0.32)},
      {&Theme::quaternary, rgba(235, 235, 245, 0.16), rgba(60, 60, 67, 0.18)},
      {&Theme::accent, QColor(0x0a, 0x84, 0xff), QColor(0x00, 0x7a, 0xff)},
      {&Theme::onAccent, QColor(Qt::white), QColor(Qt::white)},
      {&Theme::focusRing, QColor(Qt::white), QColor(0x1d, 0x1d, 0x1f)},
      {&Theme::separator, rgba(255, 255, 255, 0.10), rgba(0, 0, 0, 0.10)},
      {&Theme::yellow, QColor(0xff, 0xd6, 0x0a), QColor(0xf5, 0xb4, 0x00)},
      {&Theme::red, QColor(0xff, 0x45, 0x3a), QColor(0xff, 0x3b, 0x30)},
      {&Theme::green, QColor(0x32, 0xd7, 0x4b), QColor(0x28, 0xa7, 0x45)},
      {&Theme::orange, QColor(0xff, 0x9f, 0x0a), QColor(0xff, 0x95, 0x00)},
      {&Theme::blue, QColor(0x0a, 0x84, 0xff), QColor(0x00, 0x7a, 0xff)},
      {&Theme::purple, QColor(0xbf, 0x5a, 0xf2), QColor(0xaf, 0x52, 0xde)},
      {&Theme::teal, QColor(0x40, 0xc8, 0xe0), QColor(0x30, 0xb0, 0xc7)},
      {&Theme::indigo, QColor(0x5e, 0x5c, 0xe6), QColor(0x58, 0x56, 0xd6)},
      {&Theme::barMaterial, rgba(0x2a, 0x2a, 0x2d, 0.92), rgba(0xf6, 0xf6, 0xf8, 0.92)},
      {&Theme::regularMaterial, rgba(0x2e, 0x2e, 0x32, 0.97), rgba(0xfc, 0xfc, 0xfd, 0.97)},
      {&Theme::thinMaterial, rgba(0x33, 0x33, 0x37, 0.80), rgba(0xff, 0xff, 0xff, 0.78)},
      {&Theme::ultraThinMaterial, rgba(0x26, 0x26, 0x2a, 0.62), rgba(0xfa, 0xfa, 0xfc, 0.60)},
  };
  Theme t;
  t.scheme = scheme;
  for (const ColourToken &token : tokens) {
    t.*token.field = scheme == ColorScheme::dark ? token.dark : token.light;
  }
  return t;
}

QPalette paletteFor(const Theme &t) {
  QPalette p;
  const QColor base = t.scheme == ColorScheme::dark ? QColor(0x2a, 0x2a, 0x2d) : QColor(Qt::white);
  const QColor text =
      t.scheme == ColorScheme::dark ? QColor(0xf2, 0xf2, 0xf2) : QColor(0x1d, 0x1d, 0x1f);
  p.setColor(QPalette::Window, t.windowBackground);
  p.setColor(QPalette::WindowText, text);
  p.setColor(QPalette::Base, base);
  p.setColor(QPalette::AlternateBase, base.lighter(108));
  p.setColor(QPalette::Text, text);
  p.setColor(QPalette::Button, base);
  p.setColor(QPalette::ButtonText, text);
  p.setColor(QPalette::Highlight, t.accent);
  p.setColor(QPalette::HighlightedText, t.onAccent);
  p.setColor(QPalette::ToolTipBase, base);
  p.setColor(QPalette::ToolTipText, text);
  p.setColor(QPalette::PlaceholderText, t.tertiary);
  p.setColor(QPalette::Link, t.accent);
  p.setColor(QPalette::Disabled, QPalette::Text, t.tertiary);
  p.setColor(QPalette::Disabled, QPalette::WindowText, t.tertiary);
  p.setColor(QPalette::Disabled, QPalette::ButtonText, t.tertiary);
  // Qt's style etches disabled text (menu items among it) with a copy in the light role one
  // pixel lower; the default light role is white, which made disabled items on a dark menu
  // brighter than enabled ones. Disabled text is faint alone.
  p.setColor(QPalette::Disabled, QPalette::Light, Qt::transparent);
  return p;
}

QFont familyFont(const QString &family, int pixelSize, Theme::Weight weight) {
  QFont font(family);
  font.setPixelSize(qMax(1, pixelSize));
  const bool bold = weight == Theme::Weight::semibold || weight == Theme::Weight::bold ||
                    weight == Theme::Weight::heavy;
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setHintingPreference(QFont::PreferNoHinting);
  return font;
}

} // namespace

const Theme &Theme::dark() {
  static const Theme theme = makeTheme(ColorScheme::dark);
  return theme;
}

const Theme &Theme::light() {
  static const Theme theme = makeTheme(ColorScheme::light);
  return theme;
}

const Theme &Theme::forScheme(ColorScheme scheme) {
  return scheme == ColorScheme::light ? light() : dark();
}

ColorScheme Theme::schemeOf(const QWidget *widget) {
  for (const QWidget *w = widget; w != nullptr; w = w->parentWidget()) {
    const QVariant value = w->property(kSchemeProperty);
    if (value.isValid()) {
      return value.toInt() == static_cast<int>(ColorScheme::light) ? ColorScheme::light
                                                                   : ColorScheme::dark;
    }
  }
  return ColorScheme::dark;
}

bool Theme::hasOwnScheme(const QWidget *widget) {
  return widget->property(kSchemeProperty).isValid();
}

const Theme &Theme::of(const QWidget *widget) { return forScheme(schemeOf(widget)); }

void Theme::setScheme(QWidget *root, ColorScheme scheme) {
  SchemeFollower::ensureInstalled();
  const QVariant current = root->property(kSchemeProperty);
  if (current.isValid() && current.toInt() == static_cast<int>(scheme)) {
    return;
  }
  root->setProperty(kSchemeProperty, static_cast<int>(scheme));
  const QPalette palette = forScheme(scheme).palette();
  if (root->palette() == palette) {
    // Same colours already (inherited from the application): Qt sends no palette change, but
    // widgets that chose their colours by scheme must hear of it.
    SchemeFollower::refresh(root);
  }
  root->setPalette(palette);
  root->update();
}

QFont Theme::font(int pixelSize, Weight weight) {
  return familyFont(QStringLiteral("Noto Sans CJK SC"), pixelSize, weight);
}

QFont Theme::monospacedFont(int pixelSize, Weight weight) {
  return familyFont(QStringLiteral("Noto Sans Mono CJK SC"), pixelSize, weight);
}

QPalette Theme::palette() const { return paletteFor(*this); }

QColor Theme::primaryAt(qreal opacity) const {
  QColor c = primary;
  c.setAlphaF(static_cast<float>(qBound(0.0, opacity, 1.0)));
  return c;
}

} // namespace lumora
