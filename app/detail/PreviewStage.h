#pragma once

#include "app/detail/PreviewZoom.h"
#include "app/shell/motion/MotionAnimation.h"
#include "app/store/images/Thumbnail.h"

#include <QPixmap>
#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>
#include <optional>

namespace lumora {

/// The stage of the photo preview: the shown photo fitted to the whole stage and zoomed
/// and panned by its `PreviewZoom`, or the spinner while it loads, or the unreadable
/// placeholder. Pinch (touchpad gesture, touch, Ctrl+wheel), drag and double-click act on
/// the zoom. A step to another photo cross-fades from a picture of the old stage.
///
/// Painted from prepared pixmaps; GUI thread only.
class PreviewStage : public QWidget {
  Q_OBJECT

public:
  enum class Content { loading, image, unreadable };

  explicit PreviewStage(QWidget *parent = nullptr);

  /// The preview screen's dark background, which the stage and the screen around it paint.
  [[nodiscard]] static QColor backgroundColor();

  [[nodiscard]] Content content() const { return m_content; }
  [[nodiscard]] const PreviewZoom &zoom() const { return m_zoom; }
  /// The zoom and offset as drawn this frame (they trail the model during the double-click
  /// animation).
  [[nodiscard]] double shownZoom() const { return m_shownZoom; }
  [[nodiscard]] QPointF shownOffset() const { return m_shownOffset; }
  /// The scale of the whole stage during the preview's appear (0.98 … 1).
  [[nodiscard]] qreal stageScale() const { return m_stageScale; }

  /// A new photo: keeps a picture of the old one to cross-fade from, back to 1× unzoomed,
  /// and the spinner.
  void beginPhoto(bool animated, bool reduceMotion);
  void showImage(const ThumbnailPtr &image);
  void showUnreadable();
  void setStageScale(qreal scale);
  /// Zoom and pan back to their initial values at once.
  void resetZoom();
  /// The double-click: a spring to 2× centred or back to 1× (an ease-out under reduce motion).
  void toggleZoom();
  /// One pinch step: `scale` relative to the pinch's start; `ended` closes the pinch.
  void pinch(double scale, bool ended);

signals:
  /// The first frame that shows the image has been painted.
  void imagePainted();

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  bool event(QEvent *event) override;
  void mousePressEvent(QMouseEvent *event) override;
  void mouseMoveEvent(QMouseEvent *event) override;
  void mouseReleaseEvent(QMouseEvent *event) override;
  void mouseDoubleClickEvent(QMouseEvent *event) override;
  void wheelEvent(QWheelEvent *event) override;

private:
  /// What a stage shows: its content and, for an image, how it is zoomed and panned.
  struct Frame {
    Content content = Content::loading;
    ThumbnailPtr image;
    double zoom = 1;
    QPointF offset;
  };

  [[nodiscard]] Frame currentFrame() const;
  void paintFrame(QPainter &painter, const Frame &frame, qreal opacity, qreal shift);
  void paintImage(QPainter &painter, const Frame &frame) const;
  void paintPlaceholder(QPainter &painter);
  [[nodiscard]] QRectF fittedRect(const QImage &image) const;
  void syncShown();
  void updateSpinner();
  bool nativeGesture(QEvent *event);
  bool touchPinch(QEvent *event);

  Content m_content = Content::loading;
  ThumbnailPtr m_thumbnail;
  QPixmap m_placeholderSymbol;
  PreviewZoom m_zoom;
  double m_shownZoom = 1;
  QPointF m_shownOffset;
  qreal m_stageScale = 1;
  bool m_imagePaintPending = false;

  // The step cross-fade: the old stage fades out as the new one fades in, each shifted by
  // up to 8 px (no shift under reduce motion). The old one is drawn from its own image.
  std::optional<Frame> m_outgoing;
  qreal m_stepProgress = 1;
  qreal m_stepShift = 0;
  QVariantAnimation m_stepAnimation;

  // The double-click animation runs from these values to the model's.
  double m_fromZoom = 1;
  QPointF m_fromOffset;
  MotionAnimation m_zoomAnimation;

  // A drag counts from where the button went down; it pans once it moved 2 px.
  std::optional<QPointF> m_pressPos;
  bool m_dragging = false;
  // The running touchpad pinch, as the product of its steps.
  double m_nativeScale = 1;
  QPointer<QWidget> m_spinner;
};

} // namespace lumora
