#pragma once

#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QString>
#include <vector>

/// Small labels of a group card drawn once into pixmaps: capsules and rounded chips holding
/// texts, symbols and dots in a row. GUI thread.
namespace lumora::cardchips {

/// One element of a chip's row: a text, an image (a symbol), or a filled dot.
struct Run {
  QString text;
  QFont font;
  QColor color;
  QPixmap image;
  /// A dot of this diameter in `color` when above 0.
  qreal dot = 0;

  [[nodiscard]] static Run ofText(const QString &text, const QFont &font, const QColor &color);
  [[nodiscard]] static Run ofImage(const QPixmap &image);
  [[nodiscard]] static Run ofDot(qreal diameter, const QColor &color);
};

/// The chip around the row.
struct Style {
  qreal paddingX = 0;
  qreal paddingY = 0;
  qreal spacing = 5;
  QColor fill;
  /// A border stroked inside the edge when valid.
  QColor stroke;
  qreal strokeWidth = 0.5;
  /// The corner radius; below 0, half the height (a capsule).
  qreal radius = -1;
};

/// The chip at `devicePixelRatio`; its device-independent size is the row plus padding.
[[nodiscard]] QPixmap make(const std::vector<Run> &runs, const Style &style,
                           qreal devicePixelRatio);
/// `make`, kept in the process's pixmap cache under `key`, which must name everything the
/// chip shows (texts and colours); cards re-pointed in a grid mostly find theirs there.
[[nodiscard]] QPixmap cached(const QString &key, const std::vector<Run> &runs, const Style &style,
                             qreal devicePixelRatio);

} // namespace lumora::cardchips
