#pragma once

#include "app/shell/motion/MotionAnimation.h"

#include <QGraphicsEffect>
#include <QPointer>

namespace lumora {

/// The entrance of a screen: the first time the widget is shown it fades in from opacity 0
/// and scales from 98 % to full size about its centre, on the 0.42 / 0.92 spring. Under
/// reduced motion it only fades, over the 0.14 s ease-out, and starts at once; otherwise it
/// waits one turn of the event loop so the first frame is laid out at 0 / 98 %.
///
/// It is a `QGraphicsEffect` over the live widget, which stays clickable and keeps
/// repainting during the entrance; the effect removes itself when the entrance ends, and a
/// widget shown again later does not fade in a second time. Usage:
///   GentleAppear::apply(screen);   // before the screen is first shown
class GentleAppear : public QGraphicsEffect {
  Q_OBJECT

public:
  /// Installs the entrance on `widget` (replacing any graphics effect it has); it runs on
  /// the widget's first show, or on the next event-loop turn when already visible. Returns
  /// the effect, owned by the widget.
  static GentleAppear *apply(QWidget *widget);

  /// 0 before the entrance, 1 when done (the spring may pass 1 on the way).
  [[nodiscard]] qreal progress() const { return m_progress; }
  [[nodiscard]] qreal opacity() const;
  [[nodiscard]] qreal scale() const;
  [[nodiscard]] bool appeared() const { return m_appeared; }
  /// Pins the entrance at `progress` without animating (screenshots, benchmarks).
  void setProgress(qreal progress);

protected:
  void draw(QPainter *painter) override;
  bool eventFilter(QObject *watched, QEvent *event) override;

private:
  explicit GentleAppear(QWidget *widget);
  void begin();
  void finish();

  QPointer<QWidget> m_widget;
  MotionAnimation m_animation;
  qreal m_progress = 0;
  bool m_scales = true;
  bool m_appeared = false;
  bool m_started = false;
};

} // namespace lumora
