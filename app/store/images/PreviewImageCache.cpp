#include "app/store/images/PreviewImageCache.h"

namespace lumora {
namespace {

// Two ordinary-priority threads: one slow fill (a large file, a slow library request)
// does not hold up the next photo the user steps to.
constexpr int kMaxThreads = 2;

CachingImageLoader::Settings previewSettings() {
  return {QString::fromLatin1(PreviewImageCache::kCacheName), PreviewImageCache::kCountLimit,
          PreviewImageCache::kTotalCostLimit, kMaxThreads, QThread::InheritPriority};
}

} // namespace

PreviewImageCache::PreviewImageCache(ImageProducer loader, QObject *parent)
    : QObject(parent), m_loader(previewSettings(), std::move(loader)) {}

ThumbnailPtr PreviewImageCache::image(const PhotoItem &item, int maxPixel, QObject *context,
                                      ThumbnailHandler done) {
  return m_loader.load(item, maxPixel, context, std::move(done));
}

void PreviewImageCache::clear() { m_loader.clear(); }

} // namespace lumora
