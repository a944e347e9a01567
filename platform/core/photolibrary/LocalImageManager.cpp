#include "platform/core/photolibrary/LocalImageManager.h"

#include "platform/core/photolibrary/ImageDecoding.h"

#include <algorithm>
#include <limits>
#include <system_error>

namespace platform {
namespace {

using imagedecoding::Size;

bool isCancelled(const std::shared_ptr<std::atomic<bool>> &flag) { return flag->load(); }

// The stored rendition's size, when the asset has one.
std::optional<Size> renditionSize(const std::filesystem::path &rendition) {
  std::error_code error;
  if (rendition.empty() || !std::filesystem::is_regular_file(rendition, error)) {
    return std::nullopt;
  }
  return imagedecoding::storedSize(rendition);
}

// Renditions are made only of originals larger than themselves, so a rendition that
// does not reach the box in either direction is smaller than the final image will be.
bool fitsInsideWithRoom(Size image, TargetSize box) {
  return image.width < box.width && image.height < box.height;
}

} // namespace

LocalImageManager::LocalImageManager(int threadCount) {
  const int count = std::max(1, threadCount);
  m_workers.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    m_workers.emplace_back([this] { work(); });
  }
}

LocalImageManager::~LocalImageManager() {
  {
    const std::scoped_lock guard(m_mutex);
    m_stopping = true;
  }
  m_wake.notify_all();
  m_workers.clear();
}

int LocalImageManager::defaultThreadCount() {
  const auto cores = static_cast<int>(std::thread::hardware_concurrency());
  return std::clamp(cores, 2, 8);
}

std::shared_ptr<ImageManager> LocalImageManager::defaultManager() {
  static const std::shared_ptr<ImageManager> manager = std::make_shared<LocalImageManager>();
  return manager;
}

ImageRequestId LocalImageManager::nextId() {
  m_lastId = m_lastId == std::numeric_limits<ImageRequestId>::max() ? 1 : m_lastId + 1;
  return m_lastId;
}

ImageRequestId LocalImageManager::requestImage(const PhotoAsset &asset, TargetSize target,
                                               const ImageRequestOptions &options,
                                               ImageResultHandler handler) {
  auto cancelled = std::make_shared<std::atomic<bool>>(false);
  ImageRequestId id = 0;
  {
    const std::scoped_lock guard(m_mutex);
    id = nextId();
    m_pending.emplace(id, cancelled);
    m_queue.push_back(Job{id, asset.file, asset.rendition, target, options, std::move(handler),
                          std::move(cancelled)});
  }
  m_wake.notify_one();
  return id;
}

void LocalImageManager::cancelImageRequest(ImageRequestId id) {
  const std::scoped_lock guard(m_mutex);
  const auto pending = m_pending.find(id);
  if (pending == m_pending.end()) {
    return;
  }
  pending->second->store(true);
  const auto queued =
      std::find_if(m_queue.begin(), m_queue.end(), [id](const Job &job) { return job.id == id; });
  if (queued != m_queue.end() && queued != m_queue.begin()) {
    Job job = std::move(*queued);
    m_queue.erase(queued);
    m_queue.push_front(std::move(job));
  }
}

std::optional<LocalImageManager::Job> LocalImageManager::nextJob() {
  std::unique_lock lock(m_mutex);
  m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
  if (m_queue.empty()) {
    return std::nullopt;
  }
  Job job = std::move(m_queue.front());
  m_queue.pop_front();
  if (m_stopping) {
    job.cancelled->store(true);
  }
  return job;
}

void LocalImageManager::work() {
  while (auto job = nextJob()) {
    run(*job);
  }
}

void LocalImageManager::run(Job &job) {
  const Size bounds{job.target.width, job.target.height};
  std::filesystem::path source = job.file;
  if (!isCancelled(job.cancelled)) {
    if (const auto rendition = renditionSize(job.rendition)) {
      const bool smaller = fitsInsideWithRoom(*rendition, job.target);
      if (smaller && job.options.deliveryMode == DeliveryMode::opportunistic) {
        if (auto degraded = imagedecoding::decodeFitted(job.rendition, bounds);
            degraded && !isCancelled(job.cancelled)) {
          job.handler(std::move(degraded.value()), ImageResultInfo{true, false, {}});
        }
      } else if (!smaller && job.options.resizeMode == ResizeMode::fast) {
        source = job.rendition;
      }
    }
  }
  if (isCancelled(job.cancelled)) {
    finish(job, std::nullopt, ImageResultInfo{false, true, {}});
    return;
  }
  auto image = imagedecoding::decodeFitted(source, bounds);
  if (isCancelled(job.cancelled)) {
    finish(job, std::nullopt, ImageResultInfo{false, true, {}});
  } else if (!image) {
    finish(job, std::nullopt,
           ImageResultInfo{false, false, image.error().message, image.error().tooLarge});
  } else {
    finish(job, std::move(image.value()), ImageResultInfo{});
  }
}

void LocalImageManager::finish(Job &job, std::optional<DecodedImage> image,
                               const ImageResultInfo &info) {
  {
    const std::scoped_lock guard(m_mutex);
    m_pending.erase(job.id);
  }
  job.handler(std::move(image), info);
}

} // namespace platform
