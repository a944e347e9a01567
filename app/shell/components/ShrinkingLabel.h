#pragma once

#include <QWidget>

namespace lumora {

/// A one-line label that first shrinks its font, down to `minimumScaleFactor` of its size,
/// and only then elides (in the middle, or where `setElideMode` says) when the text does
/// not fit the width. Alignment follows `setAlignment` (left and vertically centred by
/// default). The full text is the tooltip while it is shortened.
class ShrinkingLabel : public QWidget {
  Q_OBJECT

public:
  explicit ShrinkingLabel(const QString &text = {}, QWidget *parent = nullptr);

  void setText(const QString &text);
  [[nodiscard]] const QString &text() const { return m_text; }
  void setMinimumScaleFactor(qreal factor);
  void setElideMode(Qt::TextElideMode mode);
  void setAlignment(Qt::Alignment alignment);
  void setColor(const QColor &color);

  /// The font the current width gives (for tests): the widget's font, possibly smaller.
  [[nodiscard]] QFont fittedFont() const;
  /// The text as drawn now, elided when even the smallest font does not fit.
  [[nodiscard]] QString shownText() const;

  [[nodiscard]] QSize sizeHint() const override;
  [[nodiscard]] QSize minimumSizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;
  void resizeEvent(QResizeEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void refit();

  QString m_text;
  qreal m_minimumScale = 0.8;
  Qt::TextElideMode m_elide = Qt::ElideMiddle;
  Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignVCenter;
  QColor m_color;
  QFont m_fitted;
  QString m_shown;
};

} // namespace lumora
