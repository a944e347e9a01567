#pragma once

#include "platform/core/imaging/DecodedImage.h"
#include "platform/core/photolibrary/PhotoAsset.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace platform {

/// Identifies one image request; never 0.
using ImageRequestId = std::int32_t;

/// How many results a request delivers.
enum class DeliveryMode {
  /// A smaller stored rendition first, marked degraded, when one exists and is smaller
  /// than the requested size; then the final image.
  opportunistic,
  /// Only the final image.
  highQualityFormat,
};

/// How exactly the final image matches the requested size.
enum class ResizeMode {
  /// May answer from the stored rendition when that is at least the requested size.
  fast,
  /// Always scales the original to fit the requested size.
  exact,
};

struct ImageRequestOptions {
  DeliveryMode deliveryMode = DeliveryMode::opportunistic;
  ResizeMode resizeMode = ResizeMode::fast;
};

/// The box the image is fitted into, keeping its aspect ratio (never enlarged).
struct TargetSize {
  int width = 0;
  int height = 0;
  bool operator==(const TargetSize &) const = default;
};

/// What accompanies each delivered result.
struct ImageResultInfo {
  /// A preliminary, smaller image; the final delivery follows.
  bool isDegraded = false;
  /// The request was cancelled; this is its final delivery.
  bool isCancelled = false;
  /// Why a final delivery carries no image (unreadable file); empty otherwise.
  QString error;
  /// No image came because decoding the file needs more memory than this machine allows
  /// one photo.
  bool isTooLarge = false;
};

/// Called with each result of a request, on a thread of the image manager's own.
using ImageResultHandler =
    std::function<void(std::optional<DecodedImage> image, const ImageResultInfo &info)>;

/// Asynchronous image requests for library assets. Every request ends with exactly one final
/// (not degraded) delivery: its image, no image with an error, or a cancellation.
class ImageManager {
public:
  virtual ~ImageManager() = default;

  /// Starts a request and returns its id at once; results arrive on the manager's threads,
  /// possibly before this call returns.
  [[nodiscard]] virtual ImageRequestId requestImage(const PhotoAsset &asset, TargetSize target,
                                                    const ImageRequestOptions &options,
                                                    ImageResultHandler handler) = 0;
  /// Cancels a request: unless it has already ended, its final delivery comes soon with
  /// `isCancelled` set and no image. Unknown or finished ids are ignored.
  virtual void cancelImageRequest(ImageRequestId id) = 0;
};

} // namespace platform
