#pragma once

#include "app/shell/motion/MotionAnimation.h"
#include "app/shell/motion/MotionCurve.h"

#include <QGraphicsEffect>
#include <QList>
#include <QPointF>
#include <QPointer>

namespace lumora {

/// The insertion of a layer of the root view (the detail, the preview, the toast, a phase
/// screen): the widget fades in from opacity 0 while its drawing moves from `offset` to its
/// place; or, when it does not fade, it is drawn in full while it moves (beneath a leaving
/// picture that dissolves into it). Only the drawing moves; the widget's geometry stays where its
/// host put it, so a resize during the motion needs nothing. The effect removes itself when done,
/// so a settled layer paints at full speed.
///
/// Qt counts a widget's opaque descendants as covering what lies beneath it even while an
/// effect draws the widget translucent, and then never repaints what lies beneath: the old
/// frame would stay on screen under the fading layer. While the entrance runs, the
/// descendants that declare opaque painting are therefore treated as see-through (they still
/// paint everything they paint). GUI thread only.
class EntranceEffect : public QGraphicsEffect {
  Q_OBJECT

public:
  /// Starts the entrance on `widget` along `curve` (replacing any graphics effect the
  /// widget has) and returns the effect, owned by the widget.
  static EntranceEffect *start(QWidget *widget, const MotionCurve &curve, QPointF offset = {},
                               bool fades = true);

  /// 0 at the start, 1 when done (a spring may pass 1 on the way).
  [[nodiscard]] qreal progress() const { return m_progress; }
  /// Where the drawing starts, relative to the widget's place.
  [[nodiscard]] QPointF offset() const { return m_offset; }
  /// The opacity and the shift of the drawing now.
  [[nodiscard]] qreal opacity() const;
  [[nodiscard]] QPointF shift() const { return m_offset * (1.0 - m_progress); }
  /// Stops at the start (nothing drawn) until `restart`: for a caller that waits for the
  /// widget to be ready before showing it.
  void hold();
  /// Runs the entrance again from the start.
  void restart();
  /// Pins the entrance at `progress` without animating (screenshots).
  void setProgress(qreal progress);

protected:
  QRectF boundingRectFor(const QRectF &rect) const override;
  void draw(QPainter *painter) override;

private:
  EntranceEffect(QWidget *widget, const MotionCurve &curve, QPointF offset, bool fades);
  ~EntranceEffect() override;

  void setDescendantsSeeThrough(bool seeThrough);

  QWidget *m_widget;
  /// The descendants whose opaque painting is set aside while the entrance runs.
  QList<QPointer<QWidget>> m_seeThrough;
  QPointF m_offset;
  bool m_fades = true;
  MotionAnimation m_animation;
  qreal m_progress = 0;
};

} // namespace lumora
