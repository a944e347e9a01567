#pragma once

#include "platform/core/imaging/DecodedImage.h"
#include "platform/core/photolibrary/ImageManager.h"

#include <future>
#include <memory>
#include <mutex>
#include <optional>

namespace lumora {

/// One asynchronous image request, made safe against its result, its cancellation and its
/// time-out arriving on different threads. Whichever of them takes the lock first while the
/// request is unfinished finishes it and resumes the waiting caller, always after unlocking;
/// every later arrival does nothing. States: created → attached → issued → finished (final).
///
/// Shared (through `std::shared_ptr`) by the caller, the result handler and the time-out.
class PendingImageRequest {
public:
  using Result = std::optional<platform::DecodedImage>;
  /// The one-shot continuation of the suspended caller.
  using Continuation = std::promise<Result>;

  /// `manager` is the one the request is issued on; a time-out cancels the request there.
  explicit PendingImageRequest(std::weak_ptr<platform::ImageManager> manager)
      : m_manager(std::move(manager)) {}

  /// Stores the continuation; when the request has already finished, resumes it with nothing.
  void attach(Continuation continuation);
  /// Finishes the request with `image`, unless it has already finished.
  void resume(Result image);
  /// Finishes the request as timed out, unless it has already finished: cancels the issued
  /// request on the manager and resumes the caller with nothing.
  void timeoutOut();
  /// Records the manager's id for the request. True when the request had already finished:
  /// the caller then cancels the now useless request with that id.
  [[nodiscard]] bool storeRequestID(platform::ImageRequestId id);
  /// True when the time-out finished the request.
  [[nodiscard]] bool didTimeout() const;

private:
  const std::weak_ptr<platform::ImageManager> m_manager;
  mutable std::mutex m_lock;
  std::optional<Continuation> m_cont;
  platform::ImageRequestId m_requestID = 0;
  bool m_finished = false;
  bool m_didTimeout = false;
};

} // namespace lumora
