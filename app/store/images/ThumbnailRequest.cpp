#include "app/store/images/ThumbnailRequest.h"

namespace lumora {

ThumbnailRequest::ThumbnailRequest(ThumbnailLoader &loader, QObject *parent)
    : QObject(parent), m_loader(&loader) {}

ThumbnailRequest::~ThumbnailRequest() { reset(); }

ThumbnailPtr ThumbnailRequest::request(const PhotoItem &item, int maxPixel) {
  reset();
  if (m_loader.isNull()) {
    return nullptr;
  }
  const quint64 generation = m_generation;
  // The answer is delivered on this thread with `this` as context, so it never reaches a
  // destroyed request; the generation check drops answers to earlier questions.
  m_thumbnail =
      m_loader->thumbnail(item, maxPixel, this, [this, generation](const ThumbnailPtr &t) {
        if (generation != m_generation) {
          return;
        }
        m_pending = false;
        m_pendingItem.reset();
        m_thumbnail = t;
        if (t) {
          emit ready();
        }
      });
  m_pending = !m_thumbnail;
  if (m_pending) {
    m_pendingItem = item;
    m_pendingMaxPixel = maxPixel;
  }
  return m_thumbnail;
}

void ThumbnailRequest::reset() {
  ++m_generation;
  if (m_pending && m_pendingItem && !m_loader.isNull()) {
    m_loader->abandon(*m_pendingItem, m_pendingMaxPixel, this);
  }
  m_pendingItem.reset();
  m_pending = false;
  m_thumbnail.reset();
}

} // namespace lumora
