#pragma once

#include <QColor>
#include <QPixmap>
#include <QRectF>

class QPainter;

/// How a photo slot looks: the placeholder until its thumbnail arrives, and the thumbnail
/// filling the slot. Shared by `AsyncThumbnail` and the custom-painted cards. GUI thread.
namespace lumora::thumbnailpainting {

/// The placeholder: a soft diagonal gradient of `secondary` with the image symbol centred.
/// `symbol` is made (tinted, at `devicePixelRatio`) on first use and kept by the caller.
void paintPlaceholder(QPainter &painter, const QRectF &rect, const QColor &secondary,
                      QPixmap &symbol, qreal devicePixelRatio);
/// The part of `source` that fills `rect` at its aspect ratio, cut evenly on the long side.
[[nodiscard]] QRectF aspectFillSource(const QSizeF &source, const QSizeF &rect);
/// Draws `pixmap` aspect-filled into `rect` at `opacity`.
void paintAspectFill(QPainter &painter, const QRectF &rect, const QPixmap &pixmap, qreal opacity);

} // namespace lumora::thumbnailpainting
