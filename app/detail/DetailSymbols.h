#pragma once

#include <QColor>
#include <QPixmap>
#include <QString>

/// Symbols of the detail and preview screens as flat-coloured pixmaps, ready to paint.
namespace lumora::DetailSymbols {

/// The symbol `name` at `size` px in one colour, at the given pixel density.
[[nodiscard]] QPixmap pixmap(const QString &name, int size, const QColor &color, qreal devicePixelRatio);

} // namespace lumora::DetailSymbols
