#pragma once

#include "app/store/images/CachingImageLoader.h"

namespace lumora {

/// The store's cache of large images for the full-window photo preview (asked at 2048
/// pixels): up to 6 images and 160 MiB, filled through the engine's preview image.
///
/// The store owns one and injects the engine's preview call as `loader`, which runs on a
/// worker thread of this cache and must be thread-safe; which source a photo comes from,
/// and any minimum size, are the loader's business. Lives on the GUI thread.
class PreviewImageCache : public QObject {
  Q_OBJECT

public:
  static constexpr int kCountLimit = 6;
  static constexpr qint64 kTotalCostLimit = 0xA000000; // 160 MiB
  static constexpr const char *kCacheName = "Lumora.PreviewCache";

  explicit PreviewImageCache(ImageProducer loader, QObject *parent = nullptr);

  /// The large image of `item` at `maxPixel`: returned at once when cached, else null and
  /// `done` gets it (or null) later on the GUI thread unless `context` is gone by then.
  ThumbnailPtr image(const PhotoItem &item, int maxPixel, QObject *context, ThumbnailHandler done);
  /// Cancels every running fill, forgets them, and empties the cache.
  void clear();

  [[nodiscard]] const ThumbnailCache &cache() const { return m_loader.cache(); }

private:
  CachingImageLoader m_loader;
};

} // namespace lumora
