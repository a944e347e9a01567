#pragma once

#include <QWidget>

namespace lumora {

/// Three faint, static placeholder tiles standing where the first group cards will appear:
/// under the scanning card (150 px tall, drawn at 90 % opacity) and under the live screen's
/// finding-groups hint (130 px, full opacity). No shimmer, nothing moves. GUI thread.
class ScanningSkeletonRow : public QWidget {
  Q_OBJECT

public:
  /// The live screen's row.
  explicit ScanningSkeletonRow(QWidget *parent = nullptr);
  ScanningSkeletonRow(int tileHeight, qreal opacity, QWidget *parent = nullptr);

  [[nodiscard]] int tileHeight() const { return m_tileHeight; }
  [[nodiscard]] QSize sizeHint() const override;

  static constexpr int kTileWidth = 190;
  static constexpr int kSpacing = 14;

protected:
  void paintEvent(QPaintEvent *event) override;
  void changeEvent(QEvent *event) override;

private:
  void paintTile(QPainter &painter, int index, const QRectF &tile) const;

  int m_tileHeight;
  qreal m_opacity;
};

} // namespace lumora
