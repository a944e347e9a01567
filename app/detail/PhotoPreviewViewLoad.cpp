// The preview's loading of the shown photo, its neighbour prefetch and its appear fade.
#include "app/detail/PhotoPreviewView.h"

#include "app/detail/PreviewStage.h"
#include "app/detail/PreviewTopBar.h"
#include "app/shell/motion/Motion.h"
#include "app/store/AppStore.h"
#include "platform/gui/ReduceMotion.h"

#include <QShowEvent>
#include <QTimer>

namespace lumora {
namespace {

constexpr double kAppearSeconds = 0.2;
constexpr qreal kAppearScale = 0.98;

bool reduceMotion() { return platform::reduceMotion(); }

} // namespace

// A new photo (or none): back to 1× and the spinner, the provisional name, then the
// image from the preview cache. The generation tells this load's answers from older ones.
void PhotoPreviewView::load() {
  const std::uint64_t generation = ++m_generation;
  m_displayName.clear();
  const std::optional<PhotoItem> item = m_store.previewItem();
  m_stage->beginPhoto(m_appeared && item.has_value(), reduceMotion());
  if (!item) {
    return;
  }
  const ThumbnailPtr cached = m_store.previewCache().image(
      *item, kMaxPixel, this, [this, generation, id = item->id](const ThumbnailPtr &image) {
        imageArrived(generation, id, image);
      });
  if (cached) {
    imageArrived(generation, item->id, cached);
  }
}

void PhotoPreviewView::imageArrived(std::uint64_t generation, const std::string &itemID,
                                    const ThumbnailPtr &image) {
  const std::optional<PhotoItem> item = m_store.previewItem();
  if (generation != m_generation || !item || item->id != itemID) {
    return;
  }
  if (image) {
    m_stage->showImage(image);
  } else {
    m_stage->showUnreadable();
  }
  prefetchNeighbours();
  m_store.requestDisplayName(*item, this, [this, generation](const QString &name) {
    if (generation != m_generation) {
      return;
    }
    m_displayName = name;
    if (const std::optional<PhotoItem> shown = m_store.previewItem()) {
      updateBars(*shown);
    }
  });
}

// Fills the cache with the next photo, then the one before (both wrap), so that a step
// shows at once. The answers only fill the cache.
void PhotoPreviewView::prefetchNeighbours() {
  const std::optional<PhotoGroup> shown = group();
  const std::optional<AppStore::PreviewContext> &context = m_store.previewContext();
  if (!shown || shown->count() < 2 || !context) {
    return;
  }
  const std::int64_t count = shown->count();
  for (const std::int64_t step : {1, -1}) {
    const std::int64_t index = ((context->index + step) % count + count) % count;
    (void)m_store.previewCache().image(shown->items[static_cast<std::size_t>(index)], kMaxPixel,
                                       this, [](const ThumbnailPtr &) {});
  }
}

void PhotoPreviewView::showEvent(QShowEvent *event) {
  QWidget::showEvent(event);
  if (event->spontaneous()) {
    return;
  }
  layoutChildren();
  setFocus(Qt::OtherFocusReason);
  if (!m_appeared) {
    beginAppear();
  }
}

// Under reduce motion the stage is there at once and nothing scales. Otherwise the stage
// grows from 0.98 one event-loop turn after the first frame, in step with the fade that the
// root view gives the whole preview as it inserts it.
void PhotoPreviewView::beginAppear() {
  if (reduceMotion()) {
    m_appeared = true;
    setAppearProgress(1);
    return;
  }
  QTimer::singleShot(0, this, [this] {
    m_appeared = true;
    m_appear.setDuration(motion::easeOut(kAppearSeconds).durationMs());
    m_appear.setEasingCurve(motion::easeOutCurve());
    m_appear.start();
  });
}

void PhotoPreviewView::setAppearProgress(qreal progress) {
  m_appearProgress = progress;
  m_stage->setStageScale(reduceMotion() ? 1.0 : kAppearScale + (1 - kAppearScale) * progress);
}

} // namespace lumora
