#pragma once

#include "app/store/images/CachingImageLoader.h"

#include <memory>

namespace lumora {

class EngineClient;

/// The cache of grid and tile thumbnails (group cards ask at 160 and 640 pixels, detail
/// tiles at 1400); the store owns the application's one. Decodes each photo at most once
/// per size at a time, on low-priority worker threads, and keeps up to 900 thumbnails and
/// 96 MiB of pixels.
///
/// Lives on the GUI thread; request and clear from there.
class ThumbnailLoader : public QObject {
  Q_OBJECT

public:
  static constexpr int kCountLimit = 900;
  static constexpr qint64 kTotalCostLimit = 0x6000000; // 96 MiB
  static constexpr const char *kCacheName = "Lumora.ThumbnailCache";

  /// The small picture a scan kept of a photo, or a null image; asked on the GUI thread and
  /// must return at once.
  using ScanPictures = std::function<QImage(const PhotoItem &item)>;

  /// A loader with its own cache; `producer` makes one thumbnail on a worker thread,
  /// `scanPictures` (optional) gives the stand-ins of photos no view shows yet.
  explicit ThumbnailLoader(ImageProducer producer, ScanPictures scanPictures = {},
                           QObject *parent = nullptr);

  /// The thumbnail of `item` at `maxPixel`: returned at once when cached or still shown by a
  /// view (even after the cache let it go or was cleared, for an unchanged file), else null and
  /// `done` gets it (or null) later on the GUI thread unless `context` is gone by then.
  ThumbnailPtr thumbnail(const PhotoItem &item, int maxPixel, QObject *context,
                         ThumbnailHandler done);
  /// Withdraws `context`'s wait for `item` at `maxPixel`; a decode nobody waits for any
  /// more and that has not started is dropped from the queue.
  void abandon(const PhotoItem &item, int maxPixel, QObject *context);
  /// The cached thumbnail, or null, without starting a decode.
  [[nodiscard]] ThumbnailPtr cached(const PhotoItem &item, int maxPixel);
  /// A larger image of the photo that a view still shows, else the picture a scan decoded of
  /// it, to stand in until the asked size comes; or null.
  [[nodiscard]] ThumbnailPtr standIn(const PhotoItem &item, int maxPixel);
  /// Cancels every running decode, forgets them, and empties the cache.
  void clearCache();

  [[nodiscard]] const ThumbnailCache &cache() const { return m_loader.cache(); }

  /// The store's producer: a library photo's fast thumbnail through `engine` (none when it
  /// does not arrive within the library's time-out), else the photo's file decoded with
  /// shrink-on-load at `maxPixel`, orientation applied. Blocks its worker thread meanwhile.
  [[nodiscard]] static ImageProducer producer(std::shared_ptr<EngineClient> engine);
  /// The store's stand-ins: the pictures the engine kept of what its scans decoded.
  [[nodiscard]] static ScanPictures scanPictures(std::shared_ptr<EngineClient> engine);

signals:
  /// A decode ended and the views that waited for it have their answer: a view that waits
  /// for its photos listens here instead of asking again and again.
  void answered();

private:
  CachingImageLoader m_loader;
  ScanPictures m_scanPictures;
};

} // namespace lumora
