#pragma once

#include "app/shell/motion/MotionCurve.h"

#include <QWidget>

class QGraphicsOpacityEffect;

namespace lumora {

class AppStore;
class MotionAnimation;
class UndoToastView;

/// The motion self-test's toast probe: three placeholder bars and, once shown, a sample
/// undo toast ("已清理 3 张") that comes in from 12 px below while fading in, under the
/// spring 0.34 / 0.70 whatever the reduced-motion setting. Its buttons are never pressed.
class ToastProbeView : public QWidget {
  Q_OBJECT

public:
  explicit ToastProbeView(AppStore &store, QWidget *parent = nullptr);
  void setToastVisible(bool visible);
  /// The curve of the toast's last move.
  [[nodiscard]] const MotionCurve &runningCurve() const;

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;

private:
  void place(double progress);

  UndoToastView *m_toast;
  QGraphicsOpacityEffect *m_fade;
  MotionAnimation *m_motion;
  bool m_visible = false;
};

} // namespace lumora
