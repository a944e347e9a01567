#include "app/shell/screens/ScanningSkeletonRow.h"

#include "app/shell/theme/Theme.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace lumora {
namespace {

constexpr int kTiles = 3;
constexpr qreal kTileRadius = 12;
constexpr qreal kBarRadius = 4;
constexpr qreal kPadding = 14;

void fillRounded(QPainter &painter, const QRectF &rect, qreal radius, const QColor &color) {
  QPainterPath path;
  path.addRoundedRect(rect, radius, radius);
  painter.fillPath(path, color);
}

} // namespace

ScanningSkeletonRow::ScanningSkeletonRow(QWidget *parent) : ScanningSkeletonRow(130, 1.0, parent) {}

ScanningSkeletonRow::ScanningSkeletonRow(int tileHeight, qreal opacity, QWidget *parent)
    : QWidget(parent), m_tileHeight(tileHeight), m_opacity(opacity) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  setFixedSize(sizeHint());
  setAttribute(Qt::WA_TransparentForMouseEvents);
  // Decoration only: nothing here for assistive technology to read.
  setAccessibleName({});
}

QSize ScanningSkeletonRow::sizeHint() const {
  return {kTiles * kTileWidth + (kTiles - 1) * kSpacing, m_tileHeight};
}

void ScanningSkeletonRow::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setOpacity(m_opacity);
  for (int i = 0; i < kTiles; ++i) {
    paintTile(painter, i, QRectF(i * (kTileWidth + kSpacing), 0, kTileWidth, m_tileHeight));
  }
}

void ScanningSkeletonRow::paintTile(QPainter &painter, int index, const QRectF &tile) const {
  const Theme &theme = Theme::of(this);
  fillRounded(painter, tile, kTileRadius, theme.primaryAt(0.035 + 0.012 * index));
  // Two text-like bars at the tile's bottom-leading corner, 8 px apart.
  const QRectF inner = tile.adjusted(kPadding, kPadding, -kPadding, -kPadding);
  const QRectF second(inner.left(), inner.bottom() - 10, 120, 10);
  const QRectF first(inner.left(), second.top() - 8 - 12, inner.width(), 12);
  fillRounded(painter, first, kBarRadius, theme.primaryAt(0.06));
  fillRounded(painter, second, kBarRadius, theme.primaryAt(0.05));
}

void ScanningSkeletonRow::changeEvent(QEvent *event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) {
    update();
  }
}

} // namespace lumora
