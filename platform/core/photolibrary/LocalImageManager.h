#pragma once

#include "platform/core/photolibrary/ImageManager.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <unordered_map>
#include <vector>

namespace platform {

/// The image manager that decodes library files with libvips on a small pool of its own
/// threads. Requests are served in the order made, except that a cancelled request still
/// waiting moves to the front so its final delivery comes without waiting for other work.
/// Destruction cancels waiting requests, delivers their cancellations and joins the threads.
class LocalImageManager final : public ImageManager {
public:
  explicit LocalImageManager(int threadCount = defaultThreadCount());
  ~LocalImageManager() override;
  LocalImageManager(const LocalImageManager &) = delete;
  LocalImageManager &operator=(const LocalImageManager &) = delete;

  [[nodiscard]] ImageRequestId requestImage(const PhotoAsset &asset, TargetSize target,
                                            const ImageRequestOptions &options,
                                            ImageResultHandler handler) override;
  void cancelImageRequest(ImageRequestId id) override;

  /// One thread per core, at least 2 and at most 8.
  [[nodiscard]] static int defaultThreadCount();
  /// The process's shared manager that decodes library files, made on first use.
  [[nodiscard]] static std::shared_ptr<ImageManager> defaultManager();

private:
  struct Job {
    ImageRequestId id = 0;
    std::filesystem::path file;
    std::filesystem::path rendition;
    TargetSize target;
    ImageRequestOptions options;
    ImageResultHandler handler;
    std::shared_ptr<std::atomic<bool>> cancelled;
  };

  [[nodiscard]] ImageRequestId nextId();
  [[nodiscard]] std::optional<Job> nextJob();
  void work();
  void run(Job &job);
  void finish(Job &job, std::optional<DecodedImage> image, const ImageResultInfo &info);

  std::mutex m_mutex;
  std::condition_variable m_wake;
  std::deque<Job> m_queue;
  /// Requests not yet finally delivered, by id.
  std::unordered_map<ImageRequestId, std::shared_ptr<std::atomic<bool>>> m_pending;
  ImageRequestId m_lastId = 0;
  bool m_stopping = false;
  std::vector<std::jthread> m_workers;
};

} // namespace platform
