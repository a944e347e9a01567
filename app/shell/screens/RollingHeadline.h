#pragma once

#include <QWidget>

namespace lumora {

class RollingDigitsLabel;
class ShrinkingLabel;

/// The scan headlines: one line whose digits roll (0.14 s, also under reduced motion) when
/// the caller says the counted value changed, and which shrinks to 85 % and then elides in
/// the middle when the text does not fit. A text that fits is drawn by the rolling label,
/// one that does not by the shrinking one. GUI thread.
class RollingHeadline : public QWidget {
  Q_OBJECT

public:
  explicit RollingHeadline(QWidget *parent = nullptr);

  /// Shows `text`; it rolls in when `roll` is true, else it replaces the old text at once.
  void setText(const QString &text, bool roll);
  [[nodiscard]] QString text() const;
  void setColor(const QColor &color);
  /// Whether the shrinking form stands in because the text does not fit.
  [[nodiscard]] bool isShrunk() const;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

protected:
  bool event(QEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void choose();
  [[nodiscard]] int drawnWidth() const;

  RollingDigitsLabel *m_rolling;
  ShrinkingLabel *m_shrinking;
};

} // namespace lumora
