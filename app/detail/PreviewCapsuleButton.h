#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace lumora {

/// A capsule button of the preview's bottom bar: a symbol and a 12 px medium text in one
/// colour on a filled capsule, 14 px in from the sides and 7 px from top and bottom.
class PreviewCapsuleButton : public QAbstractButton {
  Q_OBJECT

public:
  explicit PreviewCapsuleButton(QWidget *parent = nullptr);

  /// Changes what it shows; repaints only when something changed.
  void setLook(const QString &symbol, const QString &text, const QColor &foreground,
               const QColor &fill);

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QString symbol() const { return m_symbol; }
  [[nodiscard]] QColor foreground() const { return m_foreground; }
  [[nodiscard]] QColor fill() const { return m_fill; }

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  [[nodiscard]] QFont labelFont() const;

  QString m_symbol;
  QColor m_foreground;
  QColor m_fill;
  QPixmap m_icon;
};

} // namespace lumora
