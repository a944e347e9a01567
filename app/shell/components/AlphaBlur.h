#pragma once

#include <QColor>
#include <QImage>

/// The blur behind every soft shadow the window draws (the floating cards, the result cards,
/// the app mark): three running-sum box passes each way over an alpha mask, which come close
/// to a Gaussian, and the tint that turns the blurred mask into a shadow.
namespace lumora::alphablur {

/// What the box sees past the border of the mask.
enum class Edge {
  Transparent, ///< nothing: the shadow fades out at the border
  Extended,    ///< the border pixel, repeated
};

/// Blurs the Format_Alpha8 `mask` in place with boxes 2 × `half` + 1 pixels wide: rows, then
/// columns, three times over.
void blur(QImage &mask, int half, Edge edge = Edge::Transparent);

/// An ARGB32 premultiplied image of `mask`'s size: `color` where the mask is opaque, fading
/// with it.
[[nodiscard]] QImage tinted(const QImage &mask, const QColor &color);

} // namespace lumora::alphablur
