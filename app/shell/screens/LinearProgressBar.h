#pragma once

#include <QTimer>
#include <QVariantAnimation>
#include <QWidget>

namespace lumora {

/// A thin horizontal progress bar in the accent colour over a faint track, in one of three
/// forms: determinate (the fill follows the fraction with a 0.2 s ease-out, the same under
/// reduced motion), indeterminate (a segment sweeps across, driven by a timer that runs only
/// while the bar is shown in that form) and still (reduced motion's stand-in for the
/// indeterminate bar: the leading 30 % filled at 60 % opacity; nothing runs). GUI thread.
class LinearProgressBar : public QWidget {
  Q_OBJECT

public:
  enum class Form { determinate, indeterminate, still };

  explicit LinearProgressBar(int height, QWidget *parent = nullptr);

  [[nodiscard]] Form form() const { return m_form; }
  void setForm(Form form);
  /// The determinate fraction, 0…1; a change animates the fill.
  [[nodiscard]] double fraction() const { return m_fraction; }
  void setFraction(double fraction);
  /// The narrowest fill the determinate form draws, so that 0 still shows a sliver.
  void setMinimumFill(qreal width);
  /// The fill as drawn now (empty for the indeterminate form between sweeps).
  [[nodiscard]] QRectF fillRect() const;
  /// Whether a timer or an animation is running.
  [[nodiscard]] bool isAnimating() const;

  [[nodiscard]] QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;
  void showEvent(QShowEvent *event) override;
  void hideEvent(QHideEvent *event) override;

private:
  void updateSweep();
  [[nodiscard]] QRectF sweepRect() const;

  Form m_form = Form::determinate;
  double m_fraction = 0;
  qreal m_minimumFill = 0;
  QVariantAnimation m_fill;
  QTimer m_sweepTimer;
  qint64 m_sweepStart = 0;
};

} // namespace lumora
