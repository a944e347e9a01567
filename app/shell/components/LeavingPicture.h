#pragma once

#include "app/shell/motion/MotionAnimation.h"
#include "app/shell/motion/MotionCurve.h"

#include <QPixmap>
#include <QPointF>
#include <QWidget>

namespace lumora {

/// The removal of a layer of the root view: the leaving widget is photographed and deleted
/// at once (so it no longer follows the store), and its picture fades out in its place
/// while it moves by `offset`; the picture deletes itself when done. Transparent to the
/// mouse.
///
/// With a backdrop (the window background beneath the leaving widget) the picture covers
/// its area whole, so fading it out over the incoming screen, drawn in full beneath it, is
/// a cross-dissolve: the incoming screen needs no effect of its own, and no frame shows
/// either screen through the other at full strength. GUI thread only.
class LeavingPicture : public QWidget {
  Q_OBJECT

public:
  /// Replaces `leaving` (deleted later) by its fading picture, on top of its siblings;
  /// `backdrop`, when given, is drawn beneath the leaving widget in the picture.
  static LeavingPicture *replace(QWidget *leaving, const MotionCurve &curve, QPointF offset = {},
                                 QWidget *backdrop = nullptr);
  /// Replaces `leaving` by `picture`, taken earlier with `pictureOf` (what the user last saw
  /// of it, when it has changed since).
  static LeavingPicture *replace(QWidget *leaving, QPixmap picture, const MotionCurve &curve,
                                 QPointF offset = {});
  /// Covers `covered` (which stays) with `picture`, still, until the caller deletes the
  /// cover: a screen that has already changed keeps showing what it showed before.
  static LeavingPicture *hold(QWidget *covered, QPixmap picture);
  /// The same, with the cover as `covered`'s own topmost child: for a view that covers
  /// itself while its siblings (and `covers` asked about the view) see no cover.
  static LeavingPicture *holdInside(QWidget *covered, QPixmap picture);
  /// What `widget` shows on screen: its drawing and its children's, over `backdrop`'s
  /// drawing where the widget lies, else over transparency; null when it is hidden.
  [[nodiscard]] static QPixmap pictureOf(QWidget *widget, QWidget *backdrop = nullptr);
  /// A transparent picture of `widget`'s size and density.
  [[nodiscard]] static QPixmap blank(const QWidget *widget);
  /// `backdrop`'s drawing where `widget` lies.
  [[nodiscard]] static QPixmap backdropOf(const QWidget *widget, QWidget *backdrop);

  /// Starts the fade again from the full picture: for a caller that builds what comes
  /// beneath after taking the picture, so the first frame shows the fade's start.
  void restart();
  /// Fades the picture out along `curve` (a cover from `hold` when what it covers is ready).
  void fadeOut(const MotionCurve &curve);
  /// Stops at the start, showing the full picture until `restart`: for a caller that starts
  /// the fade together with something it still has to set up.
  void hold();
  [[nodiscard]] qreal progress() const { return m_progress; }
  /// Whether the picture stands whole, not moving (held, or waiting to start).
  [[nodiscard]] bool isStill() const;
  /// Whether a still picture covers `widget` or one of its ancestors whole: what it shows
  /// cannot be seen now.
  [[nodiscard]] static bool covers(const QWidget *widget);
  /// The still picture that covers `widget` or one of its ancestors whole; null when none.
  [[nodiscard]] static LeavingPicture *coverOf(const QWidget *widget);
  [[nodiscard]] const QPixmap &picture() const { return m_picture; }
  /// Pins the removal at `progress` without animating (screenshots).
  void setProgress(qreal progress);
  /// Leaves the picture out of renders of what it lies in (a picture of the view it covers
  /// from inside, which draws it on top itself) until set back.
  void setLeftOut(bool leftOut) { m_leftOut = leftOut; }

signals:
  /// The picture has gone (its fade ended); it deletes itself next.
  void gone();

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  LeavingPicture(QWidget *parent, QPixmap picture, const MotionCurve &curve, QPointF offset);
  static LeavingPicture *stillCover(QWidget *parent, const QRect &area, QPixmap picture);

  QPixmap m_picture;
  bool m_leftOut = false;
  QPointF m_offset;
  /// Where the picture starts inside this widget.
  QPoint m_origin;
  MotionAnimation m_animation;
  qreal m_progress = 0;
};

} // namespace lumora
