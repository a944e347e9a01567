#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QWidget;

namespace lumora {

/// The two colour schemes of the window content.
enum class ColorScheme { dark, light };

/// Colours, materials and fonts of one colour scheme. The window is dark by default.
///
/// Which scheme a widget paints in: `Theme::of(widget)` finds the nearest ancestor (or the
/// widget itself) given a scheme with `Theme::setScheme`, else dark. `setScheme` also gives
/// that subtree a matching palette, so every widget below repaints (it gets a
/// `QEvent::PaletteChange`) and plain Qt widgets there follow the scheme too. A subtree attached
/// later, and a window shown later, hear of their scheme then (see `SchemeFollower`).
///
/// Fonts: one family, Noto Sans CJK SC, sized in pixels. It ships Regular and Bold only:
/// `regular` and `medium` use Regular; `semibold`, `bold` and `heavy` use Bold. Its digits are
/// tabular already, so numbers that change do not shift.
class Theme {
public:
  enum class Weight { regular, medium, semibold, bold, heavy };

  [[nodiscard]] static const Theme &dark();
  [[nodiscard]] static const Theme &light();
  [[nodiscard]] static const Theme &forScheme(ColorScheme scheme);
  /// The theme `widget` paints in (see above); dark for null.
  [[nodiscard]] static const Theme &of(const QWidget *widget);
  [[nodiscard]] static ColorScheme schemeOf(const QWidget *widget);
  /// Puts `root` and everything below it into `scheme` (no change when already there).
  static void setScheme(QWidget *root, ColorScheme scheme);
  /// Whether `widget` itself was given a scheme with `setScheme`.
  [[nodiscard]] static bool hasOwnScheme(const QWidget *widget);

  /// The font of the window in `pixelSize` pixels.
  [[nodiscard]] static QFont font(int pixelSize, Weight weight = Weight::regular);
  /// The monospaced design (file names, numbers in columns): Noto Sans Mono CJK SC.
  [[nodiscard]] static QFont monospacedFont(int pixelSize, Weight weight = Weight::regular);

  ColorScheme scheme;
  /// The window's background (behind every screen).
  QColor windowBackground;
  /// Text and glyphs: primary (full), secondary, tertiary, quaternary.
  QColor primary;
  QColor secondary;
  QColor tertiary;
  QColor quaternary;
  /// The accent (focus rings, links, prominent buttons) and the text drawn on it.
  QColor accent;
  QColor onAccent;
  /// The keyboard-focus ring of buttons and pickers: apart from the accent, from tinted
  /// fills and from the window's background (see `FocusHalo`).
  QColor focusRing;
  QColor separator;
  QColor yellow;
  QColor red;
  QColor green;
  QColor orange;
  /// Symbol tints of the info center's sections.
  QColor blue;
  QColor purple;
  QColor teal;
  QColor indigo;
  /// Materials, as flat translucent fills over what lies beneath: bars (header, summary
  /// bar), thin (cards) and ultra-thin (overlays over photos). Without a blur behind it, a
  /// translucent fill lets photos show through its text: the regular material (the undo
  /// toast, which floats over anything) is nearly opaque.
  QColor barMaterial;
  QColor regularMaterial;
  QColor thinMaterial;
  QColor ultraThinMaterial;

  /// The primary colour at `opacity` (0…1), for the many faint fills and strokes.
  [[nodiscard]] QColor primaryAt(qreal opacity) const;
  /// A Qt palette of this scheme, for plain Qt widgets, menus and dialogs.
  [[nodiscard]] QPalette palette() const;
};

} // namespace lumora
