#include "app/detail/PreviewZoom.h"

#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

constexpr double kClampFactor = 0.5;

double clampAxis(double value, double extent, double zoom) {
  double limit = extent * (zoom - 1.0) * kClampFactor;
  if (!std::isfinite(limit) || limit < 0) {
    limit = 0;
  }
  // A value that is not a number stays put at the centre.
  if (std::isnan(value)) {
    return 0;
  }
  return std::min(std::max(value, -limit), limit);
}

} // namespace

void PreviewZoom::reset() {
  m_zoom = kMinZoom;
  m_baseZoom = kMinZoom;
  m_offset = {};
  m_baseOffset = {};
}

void PreviewZoom::pinchChanged(double scale, QSizeF stage) {
  if (!std::isfinite(scale) || scale <= 0) {
    return;
  }
  m_zoom = std::min(std::max(m_baseZoom * scale, kMinZoom), kMaxZoom);
  m_offset = clampOffset(m_offset, stage);
  if (m_zoom <= kSnapThreshold) {
    m_offset = {};
  }
}

void PreviewZoom::pinchEnded() {
  m_baseZoom = m_zoom;
  if (m_zoom <= kSnapThreshold) {
    reset();
  }
  m_baseOffset = m_offset;
}

void PreviewZoom::dragChanged(QPointF translation, QSizeF stage) {
  if (!isZoomed()) {
    return;
  }
  m_offset = clampOffset(m_baseOffset + translation, stage);
}

void PreviewZoom::dragEnded() {
  if (isZoomed()) {
    m_baseOffset = m_offset;
  }
}

void PreviewZoom::toggle() {
  if (isZoomed()) {
    reset();
    return;
  }
  m_zoom = kDoubleClickZoom;
  m_baseZoom = kDoubleClickZoom;
  m_offset = {};
  m_baseOffset = {};
}

QPointF PreviewZoom::clampOffset(QPointF proposed, QSizeF stage) const {
  return {clampAxis(proposed.x(), stage.width(), m_zoom),
          clampAxis(proposed.y(), stage.height(), m_zoom)};
}

} // namespace lumora
