#pragma once

#include <QImage>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace lumora {

/// One decoded image, immutable once made. Caches and views share the same object through
/// `ThumbnailPtr`, so the pixels stay alive as long as anyone still shows them, even after
/// a cache has let go of them.
class Thumbnail {
public:
  explicit Thumbnail(QImage image);

  [[nodiscard]] const QImage &image() const { return m_image; }
  /// What the entry weighs in a cache: bytes per row × height in pixels.
  [[nodiscard]] qint64 cost() const { return m_cost; }

private:
  QImage m_image;
  qint64 m_cost;
};

using ThumbnailPtr = std::shared_ptr<const Thumbnail>;

/// Receives the result of an image request on the GUI thread; null when there is none.
using ThumbnailHandler = std::function<void(const ThumbnailPtr &)>;

} // namespace lumora
