#pragma once

#include <QPointF>
#include <QSizeF>

namespace lumora {

/// The zoom and pan of the photo preview: the magnification of the fitted photo (1…4), its
/// pan offset, and the values the next pinch and drag start from. Every writer keeps the
/// zoom finite within 1…4 and the offset within the clamp. A plain value; the view owns one
/// and animates towards it.
class PreviewZoom {
public:
  static constexpr double kMinZoom = 1.0;
  static constexpr double kMaxZoom = 4.0;
  /// A zoom at or below this counts as unzoomed when a pinch ends.
  static constexpr double kSnapThreshold = 1.01;
  /// The smallest pinch change that counts.
  static constexpr double kMinScaleDelta = 0.01;
  static constexpr double kDoubleClickZoom = 2.0;
  /// A drag pans only after moving this far (device-independent pixels).
  static constexpr double kDragThreshold = 2.0;

  [[nodiscard]] double zoom() const { return m_zoom; }
  [[nodiscard]] double baseZoom() const { return m_baseZoom; }
  [[nodiscard]] QPointF offset() const { return m_offset; }
  [[nodiscard]] QPointF baseOffset() const { return m_baseOffset; }
  [[nodiscard]] bool isZoomed() const { return m_zoom > kMinZoom; }

  /// Back to 1× without offset.
  void reset();
  /// A pinch moved to `scale` times the zoom it started from; a scale that is not a
  /// positive finite number is ignored.
  void pinchChanged(double scale, QSizeF stage);
  /// The pinch ended; at or below the snap threshold everything returns to 1×.
  void pinchEnded();
  /// A drag moved by `translation` since it started; pans only while zoomed.
  void dragChanged(QPointF translation, QSizeF stage);
  void dragEnded();
  /// The double-click: from any zoom above 1 back to 1×, else to a centred 2×.
  void toggle();
  /// `proposed` brought within half the stage's overhang at the current zoom, per axis.
  [[nodiscard]] QPointF clampOffset(QPointF proposed, QSizeF stage) const;

private:
  double m_zoom = kMinZoom;
  double m_baseZoom = kMinZoom;
  QPointF m_offset;
  QPointF m_baseOffset;
};

} // namespace lumora
