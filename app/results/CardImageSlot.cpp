#include "app/results/CardImageSlot.h"

#include "app/shell/components/ThumbnailPainting.h"
#include "app/shell/motion/Motion.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QTimer>

namespace lumora {
namespace {

constexpr int kFadeMs = 140;

} // namespace

CardImageSlot::CardImageSlot(ThumbnailLoader &loader, int maxPixel, QObject *parent)
    : QObject(parent), m_loader(loader), m_loaderAlive(&loader), m_maxPixel(maxPixel),
      m_request(loader, this) {
  m_fade.setDuration(kFadeMs);
  m_fade.setEasingCurve(motion::easeOutCurve());
  connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_opacity = value.toReal();
    emit changed();
  });
  connect(&m_request, &ThumbnailRequest::ready, this,
          [this] { setImage(m_request.thumbnail(), true); });
}

// A photo shown only by views, its cache entry gone (a rescan empties the cache and keeps
// what views hold), would otherwise go with the last view: the grid built anew on the way
// back from a group's detail would decode every card's photo again, leaving empty boxes.
CardImageSlot::~CardImageSlot() {
  if (m_thumbnail && m_loaderAlive) {
    (void)m_loader.cached(m_item, m_maxPixel);
  }
}

void CardImageSlot::setItem(const PhotoItem *item) {
  const std::string id = item ? item->id : std::string();
  const bool sameFile =
      id == m_id &&
      (item == nullptr || (item->fileSize == m_item.fileSize && item->modified == m_item.modified));
  m_item = item ? *item : PhotoItem();
  if (sameFile) {
    return;
  }
  m_id = id;
  m_loaded = false;
  m_request.reset();
  keepUntilNextTurn();
  setImage(nullptr, false);
  if (m_active) {
    startLoad();
  }
}

// A grid re-points its cards and their places one after another, over several turns of the
// event loop when a regroup lays out in steps: the photo one lets go may be the one the next
// is given. Held for a moment after, it is found again instead of decoded again.
void CardImageSlot::keepUntilNextTurn() {
  constexpr int kKeepMs = 1000;
  if (m_thumbnail) {
    QTimer::singleShot(kKeepMs, [held = m_thumbnail] { Q_UNUSED(held); });
  }
}

void CardImageSlot::setActive(bool active) {
  if (active == m_active) {
    return;
  }
  m_active = active;
  if (active) {
    startLoad();
  } else {
    // The image stays for a card shown again with the same photo; only the wait is dropped.
    m_request.reset();
    m_loaded = hasImage();
  }
}

void CardImageSlot::startLoad() {
  if (m_id.empty() || m_loaded) {
    return;
  }
  m_loaded = true;
  if (ThumbnailPtr hit = m_request.request(m_item, m_maxPixel)) {
    setImage(hit, false);
  } else {
    // A larger image of this photo that is on screen elsewhere (the best photo of a group
    // that is now one of another's candidates), or else the picture the scan decoded of it,
    // shows it until its own size comes: the place is never empty for a photo the scan saw.
    setStandIn(m_loader.standIn(m_item, m_maxPixel));
  }
}

void CardImageSlot::setStandIn(const ThumbnailPtr &thumbnail) {
  if (thumbnail && !hasImage()) {
    setStandIn(thumbnail->image());
    m_thumbnail = thumbnail;
  }
}

void CardImageSlot::setStandIn(const QImage &image) {
  if (hasImage() || image.isNull()) {
    return;
  }
  m_thumbnailImage = image;
  m_scaled = QPixmap();
  m_fade.stop();
  m_opacity = 1;
  emit changed();
}

// A photo that arrives over a stand-in replaces it at once; over the placeholder it fades.
void CardImageSlot::setImage(const ThumbnailPtr &thumbnail, bool fade) {
  fade = fade && !hasImage();
  m_thumbnail = thumbnail;
  m_thumbnailImage = thumbnail ? thumbnail->image() : QImage();
  m_scaled = QPixmap();
  m_fade.stop();
  m_opacity = hasImage() && !fade ? 1 : 0;
  if (hasImage() && fade) {
    m_fade.setStartValue(0.0);
    m_fade.setEndValue(1.0);
    m_fade.start();
  }
  emit changed();
}

const QPixmap &CardImageSlot::scaledFor(const QSize &devicePixels, qreal devicePixelRatio) {
  if (m_scaled.size() == devicePixels || m_thumbnailImage.isNull() || devicePixels.isEmpty()) {
    return m_scaled;
  }
  // Cut to the place's aspect, then scale once: the card repaints this pixmap without any
  // further scaling. Shrinking by two or more averages the pixels it drops; less than that
  // is filtered by the painter, which costs a fraction (it reads only what it draws).
  const QRectF source =
      thumbnailpainting::aspectFillSource(m_thumbnailImage.size(), QSizeF(devicePixels));
  const bool strong = source.width() >= 2.0 * devicePixels.width();
  const QImage shrunk =
      strong ? m_thumbnailImage.copy(source.toAlignedRect())
                   .scaled(devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
             : QImage();
  m_scaled = QPixmap(devicePixels);
  m_scaled.fill(Qt::transparent);
  QPainter painter(&m_scaled);
  painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
  const QRectF target(m_scaled.rect());
  if (m_radius > 0) {
    QPainterPath rounded;
    rounded.addRoundedRect(target, m_radius * devicePixelRatio, m_radius * devicePixelRatio);
    painter.setClipPath(rounded);
  }
  if (strong) {
    painter.drawImage(QPointF(0, 0), shrunk);
  } else {
    painter.drawImage(target, m_thumbnailImage, source);
  }
  return m_scaled;
}

// The placeholder cut to the rounded corners, once per size and colour for every card.
QPixmap CardImageSlot::roundedPlaceholder(const QSizeF &size, const QColor &secondary,
                                          qreal devicePixelRatio) {
  const QString key = QStringLiteral("card-placeholder|%1x%2|%3|%4|%5")
                          .arg(size.width())
                          .arg(size.height())
                          .arg(m_radius)
                          .arg(secondary.name(QColor::HexArgb))
                          .arg(devicePixelRatio);
  QPixmap pixmap;
  if (QPixmapCache::find(key, &pixmap)) {
    return pixmap;
  }
  QPixmap plain((size * devicePixelRatio).toSize());
  plain.setDevicePixelRatio(devicePixelRatio);
  plain.fill(Qt::transparent);
  {
    QPainter painter(&plain);
    thumbnailpainting::paintPlaceholder(painter, QRectF(QPointF(0, 0), size), secondary, m_symbol,
                                        devicePixelRatio);
  }
  pixmap = QPixmap(plain.size());
  pixmap.setDevicePixelRatio(devicePixelRatio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QBrush(plain));
  painter.drawRoundedRect(QRectF(QPointF(0, 0), size), m_radius, m_radius);
  painter.end();
  QPixmapCache::insert(key, pixmap);
  return pixmap;
}

void CardImageSlot::paint(QPainter &painter, const QRectF &rect, const QColor &secondary,
                          qreal devicePixelRatio) {
  if (m_opacity < 1) {
    if (m_radius > 0) {
      painter.drawPixmap(rect.topLeft(),
                         roundedPlaceholder(rect.size(), secondary, devicePixelRatio));
    } else {
      thumbnailpainting::paintPlaceholder(painter, rect, secondary, m_symbol, devicePixelRatio);
    }
  }
  if (!hasImage() || m_opacity <= 0) {
    return;
  }
  const QPixmap &image = scaledFor((rect.size() * devicePixelRatio).toSize(), devicePixelRatio);
  painter.save();
  painter.setOpacity(painter.opacity() * m_opacity);
  painter.drawPixmap(rect, image, QRectF(image.rect()));
  painter.restore();
}

} // namespace lumora
