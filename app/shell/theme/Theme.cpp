#include "app/shell/theme/Theme.h"

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

Theme makeDark() {
  Theme t;
  t.scheme = ColorScheme::dark;
  t.windowBackground = QColor(0x1f, 0x1f, 0x21);
  t.primary = rgba(255, 255, 255, 0.92);
  t.secondary = rgba(235, 235, 245, 0.60);
  t.tertiary = rgba(235, 235, 245, 0.30);
  t.quaternary = rgba(235, 235, 245, 0.16);
  t.accent = QColor(0x0a, 0x84, 0xff);
  t.onAccent = Qt::white;
  t.separator = rgba(255, 255, 255, 0.10);
  t.yellow = QColor(0xff, 0xd6, 0x0a);
  t.red = QColor(0xff, 0x45, 0x3a);
  t.green = QColor(0x32, 0xd7, 0x4b);
  t.orange = QColor(0xff, 0x9f, 0x0a);
  t.blue = QColor(0x0a, 0x84, 0xff);
  t.purple = QColor(0xbf, 0x5a, 0xf2);
  t.teal = QColor(0x40, 0xc8, 0xe0);
  t.indigo = QColor(0x5e, 0x5c, 0xe6);
  t.barMaterial = rgba(0x2a, 0x2a, 0x2d, 0.92);
  t.thinMaterial = rgba(0x33, 0x33, 0x37, 0.80);
  t.ultraThinMaterial = rgba(0x26, 0x26, 0x2a, 0.62);
  return t;
}

Theme makeLight() {
  Theme t;
  t.scheme = ColorScheme::light;
  t.windowBackground = QColor(0xec, 0xec, 0xee);
  t.primary = rgba(0, 0, 0, 0.88);
  t.secondary = rgba(60, 60, 67, 0.62);
  t.tertiary = rgba(60, 60, 67, 0.32);
  t.quaternary = rgba(60, 60, 67, 0.18);
  t.accent = QColor(0x00, 0x7a, 0xff);
  t.onAccent = Qt::white;
  t.separator = rgba(0, 0, 0, 0.10);
  t.yellow = QColor(0xf5, 0xb4, 0x00);
  t.red = QColor(0xff, 0x3b, 0x30);
  t.green = QColor(0x28, 0xa7, 0x45);
  t.orange = QColor(0xff, 0x95, 0x00);
  t.blue = QColor(0x00, 0x7a, 0xff);
  t.purple = QColor(0xaf, 0x52, 0xde);
  t.teal = QColor(0x30, 0xb0, 0xc7);
  t.indigo = QColor(0x58, 0x56, 0xd6);
  t.barMaterial = rgba(0xf6, 0xf6, 0xf8, 0.92);
  t.thinMaterial = rgba(0xff, 0xff, 0xff, 0.78);
  t.ultraThinMaterial = rgba(0xfa, 0xfa, 0xfc, 0.60);
  return t;
}

QPalette paletteFor(const Theme &t) {
  QPalette p;
  const QColor base = t.scheme == ColorScheme::dark ? QColor(0x2a, 0x2a, 0x2d) : QColor(Qt::white);
  const QColor text = t.scheme == ColorScheme::dark ? QColor(0xf2, 0xf2, 0xf2) : QColor(0x1d, 0x1d, 0x1f);
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
  static const Theme theme = makeDark();
  return theme;
}

const Theme &Theme::light() {
  static const Theme theme = makeLight();
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

const Theme &Theme::of(const QWidget *widget) { return forScheme(schemeOf(widget)); }

void Theme::setScheme(QWidget *root, ColorScheme scheme) {
  const QVariant current = root->property(kSchemeProperty);
  if (current.isValid() && current.toInt() == static_cast<int>(scheme)) {
    return;
  }
  root->setProperty(kSchemeProperty, static_cast<int>(scheme));
  const QPalette palette = forScheme(scheme).palette();
  if (root->palette() == palette) {
    // Same colours already (inherited from the application): Qt sends no palette change, but
    // widgets that chose their colours by scheme must hear of it.
    QEvent change(QEvent::PaletteChange);
    QCoreApplication::sendEvent(root, &change);
    for (QWidget *child : root->findChildren<QWidget *>()) {
      QCoreApplication::sendEvent(child, &change);
    }
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
