#pragma once

#include <QAbstractButton>
#include <QColor>

namespace lumora {

/// A plain button without a bezel that shows one system symbol centred in a fixed square,
/// like the toast's close button. Takes focus by Tab only, never by click, and leaves the
/// arrow keys to its parent. GUI thread.
class SymbolButton : public QAbstractButton {
  Q_OBJECT

public:
  SymbolButton(const QString &symbol, int symbolSize, int frameSize, QWidget *parent = nullptr);

  void setSymbolColor(const QColor &color);
  [[nodiscard]] const QString &symbol() const { return m_symbol; }
  [[nodiscard]] QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;
  void keyPressEvent(QKeyEvent *event) override;

private:
  /// The corners of the focus ring around the square.
  static constexpr qreal kFocusRadius = 4;

  QString m_symbol;
  int m_symbolSize;
  int m_frameSize;
  QColor m_color;
};

} // namespace lumora
