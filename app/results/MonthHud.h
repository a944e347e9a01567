#pragma once

#include "app/shell/motion/MotionAnimation.h"

#include <QPixmap>
#include <QWidget>

namespace lumora {

class MonthHudModel;

/// The passing month title at the top-right of the date-sorted grid: a rounded bubble with
/// the month in 30 px bold, drawn once per title into a pixmap with its shadow. It fades in
/// while the model shows it, sliding up 4 points (the fade alone under reduced motion),
/// and lets every click and wheel through to the grid. GUI thread.
class MonthHud : public QWidget {
  Q_OBJECT

public:
  static constexpr int kTopMargin = 16;
  static constexpr int kTrailingMargin = 18;
  static constexpr double kSlide = 4;

  MonthHud(const MonthHudModel &model, QWidget *parent);

  /// Places the bubble at the top-right of `area` (the parent's coordinates).
  void placeIn(const QRect &area);
  /// 0 hidden … 1 shown, as painted now.
  [[nodiscard]] double presence() const { return m_presence; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void follow();
  void renderBubble();

  const MonthHudModel &m_model;
  MotionAnimation m_animation;
  double m_presence = 0;
  bool m_slides = true;
  QPixmap m_bubble;
  QRect m_area;
};

} // namespace lumora
