#pragma once

#include <QWidget>

class QLabel;

namespace lumora {

class RollingDigitsLabel;

/// A capsule showing one statistic: a symbol (10 px), the value (12 px bold, rolling on
/// change over 0.14 s, also under reduced motion) and a unit label (11 px), spaced 4,
/// padded 8 × 4, on a faint primary fill with a 0.5 px inside border. It always takes its
/// ideal size, so its width follows the value. The tooltip is "label：value" through the
/// string table. The texts come formatted from the caller.
class StatPill : public QWidget {
  Q_OBJECT

public:
  StatPill(const QString &icon, const QString &value, const QString &label,
           QWidget *parent = nullptr);

  void setIcon(const QString &icon);
  void setValue(const QString &value);
  void setLabel(const QString &label);
  [[nodiscard]] const QString &value() const { return m_value; }
  [[nodiscard]] RollingDigitsLabel *valueLabel() const { return m_valueLabel; }

  [[nodiscard]] QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;
  void showEvent(QShowEvent *event) override;

private:
  void refreshColors();
  void refreshToolTip();

  QString m_icon;
  QString m_value;
  QString m_label;
  QLabel *m_iconLabel;
  RollingDigitsLabel *m_valueLabel;
  QLabel *m_unitLabel;
};

} // namespace lumora
