#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace lumora {

/// A circular symbol button over a photo: the preview's close button (30 px, white at 0.14),
/// its previous and next buttons (40 px, black at 0.45 under a white hairline) and a detail
/// tile's delete control (28 px, black at 0.42).
class RoundSymbolButton : public QAbstractButton {
  Q_OBJECT

public:
  struct Look {
    int diameter = 40;
    int symbolSize = 17;
    QColor fill;
    QColor border; // transparent: none
  };
  static Look navigationLook();
  static Look closeLook();
  static Look tileDeleteLook();

  RoundSymbolButton(const QString &symbol, const Look &look, QWidget *parent = nullptr);

  [[nodiscard]] QSize sizeHint() const override;

protected:
  void paintEvent(QPaintEvent *event) override;

private:
  QString m_symbol;
  Look m_look;
  QPixmap m_icon;
};

} // namespace lumora
