#include "app/shell/components/FocusCorners.h"

#include <algorithm>
#include <cmath>

namespace lumora {

qreal FocusCorners::arm(const QRectF &rect) {
  const qreal product = rect.width() * 0.09;
  return std::isnan(product) ? 12.0 : std::min(product, 12.0);
}

QPainterPath FocusCorners::path(const QRectF &r) {
  const qreal a = arm(r);
  QPainterPath path;
  path.moveTo(r.left(), r.top() + a);
  path.lineTo(r.left(), r.top());
  path.lineTo(r.left() + a, r.top());
  path.moveTo(r.right() - a, r.top());
  path.lineTo(r.right(), r.top());
  path.lineTo(r.right(), r.top() + a);
  path.moveTo(r.right(), r.bottom() - a);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.right() - a, r.bottom());
  path.moveTo(r.left() + a, r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.lineTo(r.left(), r.bottom() - a);
  return path;
}

} // namespace lumora
