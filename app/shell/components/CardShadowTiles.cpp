#include "app/shell/components/CardShadow.h"

#include "app/shell/components/AlphaBlur.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <map>
#include <qdrawutil.h>
#include <tuple>

namespace lumora::cardshadow {
namespace {

constexpr std::size_t kKeptBands = 64;

// Half the width of the three boxes that come closest to a Gaussian of deviation `sigma`.
int boxHalf(qreal sigma) {
  return std::max(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
}

// A blurred black rounded square whose corners and one-pixel middle make the nine patches.
QPixmap ninePatch(int radius, qreal cornerRadius) {
  const int margin = reach(radius);
  const int corner = margin + static_cast<int>(std::ceil(cornerRadius));
  const int side = 2 * corner + 1;
  QImage alpha(side, side, QImage::Format_Alpha8);
  alpha.fill(0);
  {
    QPainter painter(&alpha);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawRoundedRect(QRectF(margin, margin, side - 2 * margin, side - 2 * margin),
                            cornerRadius, cornerRadius);
  }
  if (radius > 0) {
    alphablur::blur(alpha, boxHalf(radius / 2.0));
  }
  return QPixmap::fromImage(alphablur::tinted(alpha, Qt::black));
}

const QPixmap &cachedPatch(int radius, qreal cornerRadius) {
  static QHash<QPair<int, int>, QPixmap> patches;
  const QPair<int, int> key(radius, static_cast<int>(cornerRadius * 4));
  auto found = patches.find(key);
  if (found == patches.end()) {
    found = patches.insert(key, ninePatch(radius, cornerRadius));
  }
  return *found;
}

// Two opposite bands of the nine-patch stretched to `length`: across (top and bottom) a
// card `length` wide, or down its sides (between the corners) for a card `length` high.
// They are cut from the frame the patch makes at that length and its least other length,
// which is pixel for pixel that part of the frame of any card of this width or height.
struct Bands {
  QPixmap first;
  QPixmap second;
};

Bands makeBands(const QPixmap &patch, int length, bool across) {
  const int corner = (patch.width() - 1) / 2;
  const int side = patch.width();
  const QSize size = across ? QSize(length, side) : QSize(side, length);
  QPixmap frame(size);
  frame.fill(Qt::transparent);
  QPainter painter(&frame);
  const QMargins slices(corner, corner, corner, corner);
  qDrawBorderPixmap(&painter, frame.rect(), slices, patch, patch.rect(), slices);
  painter.end();
  if (across) {
    return {frame.copy(0, 0, length, corner), frame.copy(0, corner + 1, length, corner)};
  }
  return {frame.copy(0, corner, corner, length - 2 * corner),
          frame.copy(corner + 1, corner, corner, length - 2 * corner)};
}

// The bands for one width (across) or height (down): cards scaling in their entrance or on
// hover pass through a few dozen sizes, which share them.
const Bands &cachedBands(int radius, qreal cornerRadius, int length, bool across) {
  // One table a direction, so that making one kind never drops the other while in use.
  static std::map<std::tuple<int, int, int>, Bands> tables[2];
  auto &bands = tables[across ? 0 : 1];
  const auto key = std::make_tuple(radius, static_cast<int>(cornerRadius * 4), length);
  auto found = bands.find(key);
  if (found == bands.end()) {
    if (bands.size() >= kKeptBands) {
      bands.clear();
    }
    found = bands.emplace(key, makeBands(cachedPatch(radius, cornerRadius), length, across)).first;
  }
  return found->second;
}

} // namespace

int reach(qreal radius) { return static_cast<int>(std::ceil(std::max<qreal>(radius, 0))); }

void paintTiled(QPainter &painter, const QRectF &card, qreal cornerRadius, qreal opacity,
                qreal radius, qreal offsetY) {
  if (opacity <= 0 || card.isEmpty()) {
    return;
  }
  const int rounded = static_cast<int>(std::lround(std::max<qreal>(radius, 0)));
  const int margin = reach(rounded);
  const QRect target =
      card.translated(0, offsetY).toAlignedRect().adjusted(-margin, -margin, margin, margin);
  const int band = (cachedPatch(rounded, cornerRadius).width() - 1) / 2;
  if (target.width() <= 2 * band || target.height() <= 2 * band) {
    return;
  }
  // Four unscaled bands; the middle lies wholly under the opaque card (the offset is less
  // than the corner radius), so it is never drawn.
  const Bands &across = cachedBands(rounded, cornerRadius, target.width(), true);
  const Bands &down = cachedBands(rounded, cornerRadius, target.height(), false);
  painter.save();
  painter.setOpacity(painter.opacity() * std::min<qreal>(opacity, 1));
  painter.drawPixmap(target.topLeft(), across.first);
  painter.drawPixmap(target.left(), target.bottom() + 1 - band, across.second);
  painter.drawPixmap(target.left(), target.top() + band, down.first);
  painter.drawPixmap(target.right() + 1 - band, target.top() + band, down.second);
  painter.restore();
}

} // namespace lumora::cardshadow
