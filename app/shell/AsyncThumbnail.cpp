#include "app/shell/AsyncThumbnail.h"

#include "app/shell/components/ThumbnailPainting.h"
#include "app/shell/motion/Motion.h"

#include <QPainter>
#include <QShowEvent>

namespace lumora {
namespace {

constexpr int kFadeMs = 140;

} // namespace

AsyncThumbnail::AsyncThumbnail(ThumbnailLoader &loader, std::optional<PhotoItem> item,
                               std::string cacheKey, int maxPixel, QWidget *parent)
    : QWidget(parent), m_item(std::move(item)), m_cacheKey(std::move(cacheKey)),
      m_maxPixel(maxPixel), m_request(loader) {
  // No size of its own: it fills whatever its parent offers.
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
  m_fade.setDuration(kFadeMs);
  m_fade.setEasingCurve(motion::easeOutCurve());
  connect(&m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
    m_imageOpacity = value.toReal();
    update();
  });
  connect(&m_fade, &QVariantAnimation::finished, this, [this] {
    if (!m_thumbnail) {
      m_pixmap = QPixmap();
    }
  });
  connect(&m_request, &ThumbnailRequest::ready, this,
          [this] { setThumbnail(m_request.thumbnail()); });
}

void AsyncThumbnail::setItem(std::optional<PhotoItem> item, std::string cacheKey, int maxPixel) {
  const std::string previousKey = loadKey();
  m_item = std::move(item);
  m_cacheKey = std::move(cacheKey);
  m_maxPixel = maxPixel;
  if (isVisible() && loadKey() != previousKey) {
    startLoad();
  }
}

const std::string &AsyncThumbnail::loadKey() const { return m_item ? m_item->id : m_cacheKey; }

void AsyncThumbnail::startLoad() {
  m_startedKey = loadKey();
  m_request.reset();
  setThumbnail(nullptr);
  if (!m_item) {
    return;
  }
  if (ThumbnailPtr hit = m_request.request(*m_item, m_maxPixel)) {
    setThumbnail(std::move(hit));
  }
}

void AsyncThumbnail::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (!event->spontaneous() && m_startedKey != loadKey()) {
    startLoad();
  }
}

// Spontaneous hides (a minimised window) keep the load: the widget has not left its place.
void AsyncThumbnail::hideEvent(QHideEvent *event) {
  QWidget::hideEvent(event);
  if (event->spontaneous()) {
    return;
  }
  m_request.reset();
  m_startedKey.reset();
}

void AsyncThumbnail::setThumbnail(ThumbnailPtr thumbnail) {
  if (thumbnail == m_thumbnail) {
    return;
  }
  m_thumbnail = std::move(thumbnail);
  if (m_thumbnail) {
    m_pixmap = QPixmap::fromImage(m_thumbnail->image());
  }
  m_fade.stop();
  m_fade.setStartValue(m_imageOpacity);
  m_fade.setEndValue(m_thumbnail ? 1.0 : 0.0);
  m_fade.start();
}

void AsyncThumbnail::paintEvent(QPaintEvent *) {
  QPainter painter(this);
  paintPlaceholder(painter);
  paintImage(painter);
}

// The palette's placeholder-text colour plays the secondary colour, with its own alpha
// scaled by `opacity`.
QColor AsyncThumbnail::secondary(qreal opacity) const {
  QColor color = palette().color(QPalette::PlaceholderText);
  color.setAlphaF(color.alphaF() * opacity);
  return color;
}

void AsyncThumbnail::paintPlaceholder(QPainter &painter) {
  thumbnailpainting::paintPlaceholder(painter, rect(), secondary(1), m_symbol, devicePixelRatioF());
}

void AsyncThumbnail::paintImage(QPainter &painter) const {
  thumbnailpainting::paintAspectFill(painter, rect(), m_pixmap, m_imageOpacity);
}

} // namespace lumora
