#pragma once

#include <QPainterPath>
#include <QRectF>

namespace lumora {

/// The four bracket-like corner marks of the keyboard-focus ring, as an open path built
/// from the rectangle alone: each arm is min(width × 0.09, 12) long (the width sets both
/// directions), drawn top-left, top-right, bottom-right, bottom-left; no subpath is closed.
class FocusCorners {
public:
  [[nodiscard]] static qreal arm(const QRectF &rect);
  [[nodiscard]] static QPainterPath path(const QRectF &rect);
};

} // namespace lumora
