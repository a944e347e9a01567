#include "app/results/CardImageSlot.h"

#include "app/shell/ThumbnailPainting.h"
#include "app/shell/motion/Motion.h"

#include <QPainter>

namespace lumora {
namespace {

constexpr int kFadeMs = 140;

} // namespace

CardImageSlot::CardImageSlot(int maxPixel, QObject *parent)
    : QObject(parent), m_maxPixel(maxPixel), m_request(this) {
  m_fade.setDuration(kFadeMs);
  m_fade.setEasingCurve(motion::easeOutCurve());
  connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_opacity = value.toReal();
    emit changed();
  });
  connect(&m_request, &ThumbnailRequest::ready, this,
          [this] { setImage(m_request.thumbnail(), true); });
}

void CardImageSlot::setItem(const PhotoItem *item) {
  const std::string id = item ? item->id : std::string();
  m_item = item ? *item : PhotoItem();
  if (id == m_id) {
    return;
  }
  m_id = id;
  m_loaded = false;
  m_request.reset();
  setImage(nullptr, false);
  if (m_active) {
    startLoad();
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
  }
}

void CardImageSlot::setImage(const ThumbnailPtr &thumbnail, bool fade) {
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

const QPixmap &CardImageSlot::scaledFor(const QSize &devicePixels) {
  if (m_scaled.size() != devicePixels && !m_thumbnailImage.isNull() && !devicePixels.isEmpty()) {
    // Cut to the place's aspect first, then scale once with filtering: the card repaints
    // this pixmap without any further scaling.
    const QRect source =
        ThumbnailPainting::aspectFillSource(m_thumbnailImage.size(), devicePixels).toAlignedRect();
    m_scaled = QPixmap::fromImage(m_thumbnailImage.copy(source).scaled(
        devicePixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }
  return m_scaled;
}

void CardImageSlot::paint(QPainter &painter, const QRectF &rect, const QColor &secondary,
                          qreal devicePixelRatio) {
  if (m_opacity < 1) {
    ThumbnailPainting::paintPlaceholder(painter, rect, secondary, m_symbol, devicePixelRatio);
  }
  if (!hasImage() || m_opacity <= 0) {
    return;
  }
  const QPixmap &image = scaledFor((rect.size() * devicePixelRatio).toSize());
  painter.save();
  painter.setOpacity(painter.opacity() * m_opacity);
  painter.drawPixmap(rect, image, QRectF(image.rect()));
  painter.restore();
}

} // namespace lumora
