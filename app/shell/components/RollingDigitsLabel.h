#pragma once

#include "app/shell/motion/MotionAnimation.h"

#include <QWidget>

namespace lumora {

/// A one-line text whose changes roll: characters that differ from the previous text slide
/// up and out while the new ones slide in from below (counting up), over the 0.14 s
/// ease-out. Numbers are the usual content, but any text works. The roll only follows a
/// changing value, so it runs under reduced motion too; a hidden label changes at once.
/// The widget always takes the width of its current text (fixed size policy).
class RollingDigitsLabel : public QWidget {
  Q_OBJECT

public:
  explicit RollingDigitsLabel(QWidget *parent = nullptr);

  void setText(const QString &text);
  [[nodiscard]] const QString &text() const { return m_text; }
  void setColor(const QColor &color);
  /// Pins the roll at `progress` (0 = old text, 1 = new) for screenshots.
  void setRollProgress(qreal progress);
  [[nodiscard]] bool isRolling() const;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override { return sizeHint(); }

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  QString m_text;
  QString m_previous;
  QColor m_color;
  MotionAnimation m_roll;
  qreal m_progress = 1;
};

} // namespace lumora
