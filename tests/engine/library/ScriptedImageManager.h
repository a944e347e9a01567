#pragma once

#include "platform/core/photolibrary/ImageManager.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace testsupport {

/// An image manager whose results the test delivers by hand, from whatever thread it likes.
class ScriptedImageManager final : public platform::ImageManager {
public:
  struct Request {
    platform::ImageRequestId id = 0;
    platform::TargetSize target;
    platform::ImageRequestOptions options;
    platform::ImageResultHandler handler;
  };

  /// When set, runs inside `requestImage` before the id is handed back, as a manager that
  /// answers at once would.
  std::function<void(const platform::ImageResultHandler &)> answerAtOnce;

  platform::ImageRequestId requestImage(const platform::PhotoAsset &, platform::TargetSize target,
                                        const platform::ImageRequestOptions &options,
                                        platform::ImageResultHandler handler) override {
    Request request;
    {
      const std::scoped_lock guard(m_mutex);
      request = {static_cast<platform::ImageRequestId>(m_requests.size() + 1), target, options,
                 std::move(handler)};
      m_requests.push_back(request);
    }
    m_changed.notify_all();
    if (answerAtOnce) {
      answerAtOnce(request.handler);
    }
    return request.id;
  }

  void cancelImageRequest(platform::ImageRequestId id) override {
    const std::scoped_lock guard(m_mutex);
    m_cancelled.push_back(id);
  }

  /// The `index`-th request (from 0), once it has been made; nothing after five seconds.
  std::optional<Request> waitForRequest(std::size_t index = 0) {
    std::unique_lock lock(m_mutex);
    if (!m_changed.wait_for(lock, std::chrono::seconds(5),
                            [&] { return m_requests.size() > index; })) {
      return std::nullopt;
    }
    return m_requests[index];
  }

  std::size_t requestCount() {
    const std::scoped_lock guard(m_mutex);
    return m_requests.size();
  }

  std::vector<platform::ImageRequestId> cancelled() {
    const std::scoped_lock guard(m_mutex);
    return m_cancelled;
  }

private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<Request> m_requests;
  std::vector<platform::ImageRequestId> m_cancelled;
};

} // namespace testsupport
