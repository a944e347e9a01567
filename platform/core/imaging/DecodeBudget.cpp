#include "platform/core/imaging/DecodeBudget.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace platform::decodebudget {
namespace {

struct Pool {
  std::mutex mutex;
  std::condition_variable freed;
  std::int64_t held = 0;
};

Pool &pool() {
  static Pool shared;
  return shared;
}

void release(std::int64_t bytes) {
  if (bytes <= 0) {
    return;
  }
  Pool &p = pool();
  {
    const std::lock_guard lock(p.mutex);
    p.held -= bytes;
  }
  p.freed.notify_all();
}

} // namespace

Reservation::~Reservation() { release(m_bytes); }

Reservation::Reservation(Reservation &&other) noexcept : m_bytes(std::exchange(other.m_bytes, 0)) {}

Reservation &Reservation::operator=(Reservation &&other) noexcept {
  if (this != &other) {
    release(std::exchange(m_bytes, std::exchange(other.m_bytes, 0)));
  }
  return *this;
}

void Reservation::shrinkTo(std::int64_t bytes) {
  const std::int64_t keep = std::clamp<std::int64_t>(bytes, 0, m_bytes);
  release(m_bytes - keep);
  m_bytes = keep;
}

Reservation reserve(std::int64_t bytes) {
  bytes = std::clamp<std::int64_t>(bytes, 0, kPhotoLimit);
  Pool &p = pool();
  std::unique_lock lock(p.mutex);
  p.freed.wait(lock, [&] { return p.held + bytes <= kTotal; });
  p.held += bytes;
  return Reservation(bytes);
}

std::int64_t held() {
  Pool &p = pool();
  const std::lock_guard lock(p.mutex);
  return p.held;
}

} // namespace platform::decodebudget
