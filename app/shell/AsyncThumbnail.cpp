#include "app/shell/AsyncThumbnail.h"

#include "app/shell/motion/Motion.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QShowEvent>

namespace lumora {
namespace {

constexpr int kFadeMs = 140;
constexpr int kSymbolPixels = 19;
constexpr const char *kSymbolIcon = "image-x-generic";

// The themed symbol recoloured in one flat colour, at the screen's pixel density.
QPixmap tintedSymbol(const QColor &color, qreal devicePixelRatio) {
  const QIcon icon = QIcon::fromTheme(QString::fromLatin1(kSymbolIcon));
  if (icon.isNull()) {
    return {};
  }
  QPixmap pixmap = icon.pixmap(QSize(kSymbolPixels, kSymbolPixels), devicePixelRatio);
  QPainter painter(&pixmap);
  painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
  painter.fillRect(pixmap.rect(), color);
  return pixmap;
}

} // namespace

AsyncThumbnail::AsyncThumbnail(std::optional<PhotoItem> item, std::string cacheKey, int maxPixel,
                               QWidget *parent)
    : QWidget(parent), m_item(std::move(item)), m_cacheKey(std::move(cacheKey)),
      m_maxPixel(maxPixel) {
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
  QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
  gradient.setColorAt(0, secondary(0.1));
  gradient.setColorAt(1, secondary(0.16));
  painter.fillRect(rect(), gradient);
  if (m_symbol.isNull() || m_symbol.devicePixelRatio() != devicePixelRatioF()) {
    m_symbol = tintedSymbol(secondary(0.4), devicePixelRatioF());
  }
  if (!m_symbol.isNull()) {
    const QSizeF size = m_symbol.deviceIndependentSize();
    const QPointF topLeft = QRectF(rect()).center() - QPointF(size.width(), size.height()) / 2;
    painter.drawPixmap(topLeft, m_symbol);
  }
}

// Aspect fill: scale until both sides cover the frame and cut the overhang evenly.
void AsyncThumbnail::paintImage(QPainter &painter) const {
  if (m_pixmap.isNull() || m_imageOpacity <= 0 || width() <= 0 || height() <= 0) {
    return;
  }
  const QSizeF frame = size();
  const QSizeF source = m_pixmap.size();
  const qreal scale = qMax(frame.width() / source.width(), frame.height() / source.height());
  const QSizeF shown = frame / scale;
  const QRectF sourceRect(
      QPointF((source.width() - shown.width()) / 2, (source.height() - shown.height()) / 2), shown);
  painter.setOpacity(m_imageOpacity);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(QRectF(rect()), m_pixmap, sourceRect);
}

} // namespace lumora
