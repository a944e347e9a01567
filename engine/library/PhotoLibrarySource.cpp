#include "engine/library/PhotoLibrarySource.h"

#include "engine/diagnostics/Diagnostics.h"
#include "engine/diagnostics/LoggedName.h"
#include "engine/library/PendingImageRequest.h"
#include "engine/util/Numeric.h"
#include "platform/core/photolibrary/LocalImageManager.h"
#include "platform/core/photolibrary/PhotoLibrary.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>

namespace lumora::PhotoLibrarySource {
namespace {

using platform::DecodedImage;
using platform::PhotoAsset;

std::mutex g_managerLock;
std::shared_ptr<platform::ImageManager> g_managerOverride;

std::shared_ptr<platform::ImageManager> imageManager() {
  const std::scoped_lock guard(g_managerLock);
  return g_managerOverride ? g_managerOverride : platform::LocalImageManager::defaultManager();
}

Expected<std::shared_ptr<platform::PhotoLibrary>, PhotoLibraryError> library() {
  auto shared = platform::PhotoLibrary::shared();
  if (!shared) {
    return Unexpected{PhotoLibraryError::failure(shared.error())};
  }
  return shared.value();
}

// The asset with this identifier; nothing when it is gone or the library cannot be read.
std::optional<PhotoAsset> fetchOne(const std::string &localIdentifier) {
  const auto shared = platform::PhotoLibrary::shared();
  if (!shared) {
    return std::nullopt;
  }
  auto found = shared.value()->fetchAssets({localIdentifier});
  if (!found || found->empty()) {
    return std::nullopt;
  }
  return std::move(found->front());
}

enum class RequestKind { thumbnail, preview };

struct IssuedRequest {
  std::shared_ptr<PendingImageRequest> pending;
  std::future<PendingImageRequest::Result> result;
  /// Set before the result when no image came because the photo is too large to decode.
  std::shared_ptr<std::atomic<bool>> tooLarge;
};

// Attaches the caller's continuation, issues the request and stores its id; when the result
// came before the id was stored, the now useless request is cancelled at once.
IssuedRequest issue(const PhotoAsset &asset, int side, RequestKind kind) {
  const auto manager = imageManager();
  auto pending = std::make_shared<PendingImageRequest>(manager);
  PendingImageRequest::Continuation continuation;
  auto result = continuation.get_future();
  pending->attach(std::move(continuation));
  const platform::ImageRequestOptions options{
      platform::DeliveryMode::highQualityFormat,
      kind == RequestKind::thumbnail ? platform::ResizeMode::fast : platform::ResizeMode::exact};
  auto tooLarge = std::make_shared<std::atomic<bool>>(false);
  const auto handler = [pending, kind, tooLarge,
                        name = asset.originalFilename](std::optional<DecodedImage> image,
                                                       const platform::ImageResultInfo &info) {
    if (info.isDegraded) {
      return; // keep waiting for the final result
    }
    if (info.isTooLarge) {
      Diagnostics::log(QStringLiteral("photo"),
                       QStringLiteral("skipped %1: %2").arg(logline::fileName(name), info.error));
      tooLarge->store(true);
    }
    if (kind == RequestKind::thumbnail && info.isCancelled) {
      pending->resume(std::nullopt);
      return;
    }
    // An empty image counts as none, as a failed decode does.
    pending->resume(image && !image->isEmpty() ? std::move(image) : std::nullopt);
  };
  const auto id = manager->requestImage(asset, {side, side}, options, handler);
  if (pending->storeRequestID(id)) {
    manager->cancelImageRequest(id);
  }
  return {std::move(pending), std::move(result), std::move(tooLarge)};
}

// A time-out as a wait: NaN and negative values wait not at all, and the wait is capped so
// that converting it to the clock's ticks cannot overflow.
std::chrono::duration<double> boundedWait(double seconds) {
  constexpr double kLongest = 1e7;
  return std::chrono::duration<double>(seconds > 0 ? std::min(seconds, kLongest) : 0.0);
}

using Change = std::function<void(platform::ChangeBlock &, const std::string &)>;

// One change block over the assets among `localIdentifiers` that still exist.
Expected<void, PhotoLibraryError> changeExisting(const std::vector<std::string> &localIdentifiers,
                                                 const Change &change) {
  if (localIdentifiers.empty()) {
    return {};
  }
  const auto shared = library();
  if (!shared) {
    return Unexpected{shared.error()};
  }
  const auto found = shared.value()->fetchAssets(localIdentifiers);
  if (!found) {
    return Unexpected{PhotoLibraryError::failure(found.error())};
  }
  if (found->empty()) {
    return {};
  }
  platform::ChangeBlock block;
  for (const PhotoAsset &asset : found.value()) {
    change(block, asset.localIdentifier);
  }
  if (auto done = shared.value()->performChanges(block); !done) {
    return Unexpected{PhotoLibraryError::failure(done.error())};
  }
  return {};
}

} // namespace

std::string itemID(const std::string &localIdentifier) { return "lib:" + localIdentifier; }

QUrl syntheticURL(const std::string &localIdentifier) {
  const QUrl url(QStringLiteral("photo://asset/") + QString::fromStdString(localIdentifier),
                 QUrl::StrictMode);
  return url.isValid() ? url : QUrl::fromLocalFile(QStringLiteral("/dev/null"));
}

Expected<std::vector<LibraryAssetInfo>, PhotoLibraryError> fetchAll() {
  const auto shared = library();
  if (!shared) {
    return Unexpected{shared.error()};
  }
  const auto assets = shared.value()->fetchStillImages();
  if (!assets) {
    return Unexpected{PhotoLibraryError::failure(assets.error())};
  }
  std::vector<LibraryAssetInfo> result;
  result.reserve(assets->size());
  for (const PhotoAsset &asset : assets.value()) {
    const Date created = Date::fromSeconds(asset.creationDate.value_or(0));
    const Date modified =
        asset.modificationDate ? Date::fromSeconds(*asset.modificationDate) : created;
    result.push_back(
        {asset.localIdentifier, modified, created, asset.isScreenshot(), asset.isFavorite});
  }
  return result;
}

std::optional<DecodedImage> thumbnail(const std::string &localIdentifier, int maxPixel,
                                      double timeout, bool *tooLarge) {
  const auto asset = fetchOne(localIdentifier);
  if (!asset) {
    return std::nullopt;
  }
  auto issued = issue(*asset, std::max(maxPixel, 64), RequestKind::thumbnail);
  if (issued.result.wait_for(boundedWait(timeout)) == std::future_status::timeout) {
    issued.pending->timeoutOut();
  }
  auto image = issued.result.get();
  if (issued.pending->didTimeout()) {
    Diagnostics::log(QStringLiteral("photo"),
                     QStringLiteral("thumbnail timeout %1s").arg(numeric::truncatedInt(timeout)));
  }
  if (tooLarge != nullptr) {
    *tooLarge = !image && issued.tooLarge->load();
  }
  return image;
}

std::optional<DecodedImage> previewImage(const std::string &localIdentifier, int maxPixel) {
  const auto asset = fetchOne(localIdentifier);
  if (!asset) {
    return std::nullopt;
  }
  auto issued = issue(*asset, std::max(maxPixel, 256), RequestKind::preview);
  return issued.result.get();
}

std::optional<QString> originalFilename(const std::string &localIdentifier) {
  const auto asset = fetchOne(localIdentifier);
  if (!asset) {
    return std::nullopt;
  }
  const auto resources = platform::PhotoLibrary::resources(*asset);
  if (resources.empty()) {
    return std::nullopt;
  }
  return QFile::decodeName(resources.front().originalFilename.c_str());
}

Expected<void, PhotoLibraryError> setFavorite(const std::vector<std::string> &localIdentifiers,
                                              bool favorite) {
  return changeExisting(localIdentifiers,
                        [favorite](platform::ChangeBlock &block, const std::string &identifier) {
                          block.setFavorite(identifier, favorite);
                        });
}

Expected<void, PhotoLibraryError> deleteAssets(const std::vector<std::string> &localIdentifiers) {
  return changeExisting(localIdentifiers,
                        [](platform::ChangeBlock &block, const std::string &identifier) {
                          block.deleteAsset(identifier);
                        });
}

void setImageManager(std::shared_ptr<platform::ImageManager> manager) {
  const std::scoped_lock guard(g_managerLock);
  g_managerOverride = std::move(manager);
}

} // namespace lumora::PhotoLibrarySource
