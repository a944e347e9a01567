#pragma once

#include <QVariantAnimation>
#include <QWidget>

namespace lumora {

/// A small circular activity indicator: a three-quarter arc turning once per second in the
/// secondary colour. Under reduced motion it stands still. Turns only while visible.
class Spinner : public QWidget {
  Q_OBJECT

public:
  /// `diameter` in device-independent pixels; the widget takes exactly that size.
  explicit Spinner(int diameter = 16, QWidget *parent = nullptr);

  [[nodiscard]] QSize sizeHint() const override;
  /// The arc's current angle in degrees (0…360).
  [[nodiscard]] qreal angle() const { return m_angle; }

protected:
  void paintEvent(QPaintEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;

private:
  void followReduceMotion();

  int m_diameter;
  qreal m_angle = 0;
  QVariantAnimation m_turn;
};

} // namespace lumora
