#pragma once

#include <QWidget>

namespace lumora {

/// Why the best photo was chosen, in one line on a faint capsule: the seal symbol in the
/// accent colour and the reason's text, which shrinks to 85 % before it is cut.
class DetailReasonChip : public QWidget {
  Q_OBJECT

public:
  explicit DetailReasonChip(QWidget *parent = nullptr);

  void setText(const QString &text);
  [[nodiscard]] const QString &text() const { return m_text; }
  [[nodiscard]] QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QString m_text;
};

} // namespace lumora
