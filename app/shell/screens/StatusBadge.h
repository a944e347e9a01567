#pragma once

#include <QColor>
#include <QWidget>

namespace lumora {

/// The round badge at the top of the failure, empty-results and no-similar screens: an
/// 88 px circle in a faint tint with a 34 px system symbol on it. GUI thread.
class StatusBadge : public QWidget {
  Q_OBJECT

public:
  explicit StatusBadge(QWidget *parent = nullptr);

  void setContent(const QString &symbol, const QColor &fill, const QColor &symbolColor);
  [[nodiscard]] const QString &symbol() const { return m_symbol; }
  [[nodiscard]] const QColor &fill() const { return m_fill; }
  [[nodiscard]] const QColor &symbolColor() const { return m_symbolColor; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QString m_symbol;
  QColor m_fill;
  QColor m_symbolColor;
};

} // namespace lumora
