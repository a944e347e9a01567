#include "platform/core/imaging/DecodeBudget.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <unistd.h>
#include <utility>

namespace platform::decodebudget {
namespace {

struct Pool {
  std::mutex mutex;
  std::condition_variable freed;
  std::int64_t held = 0;
  /// Decodes waiting to run alone; while there are any, no decode joins the others.
  int waitingAlone = 0;
};

Pool &pool() {
  static Pool shared;
  return shared;
}

/// The overriding ceiling, or 0 for the machine's.
std::atomic<std::int64_t> &ceilingOverride() {
  static std::atomic<std::int64_t> bytes{0};
  return bytes;
}

std::int64_t physicalMemory() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) {
    return 0;
  }
  constexpr std::int64_t kMost = std::numeric_limits<std::int64_t>::max();
  return std::int64_t{pages} > kMost / pageSize ? kMost : std::int64_t{pages} * pageSize;
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

std::int64_t ceilingFor(std::int64_t physicalBytes) {
  return std::clamp<std::int64_t>(physicalBytes / 16, kShare, kMostCeiling);
}

std::int64_t ceiling() {
  if (const std::int64_t forced = ceilingOverride().load(); forced > 0) {
    return forced;
  }
  static const std::int64_t machine = ceilingFor(physicalMemory());
  return machine;
}

void overrideCeiling(std::optional<std::int64_t> bytes) {
  ceilingOverride().store(bytes ? std::max<std::int64_t>(*bytes, 1) : 0);
}

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
  bytes = std::clamp<std::int64_t>(bytes, 0, std::max(ceiling(), kShare));
  Pool &p = pool();
  std::unique_lock lock(p.mutex);
  if (bytes <= kShare) {
    p.freed.wait(lock, [&] { return p.waitingAlone == 0 && p.held + bytes <= kTotal; });
    p.held += bytes;
    return Reservation(bytes);
  }
  ++p.waitingAlone;
  p.freed.wait(lock, [&] { return p.held == 0; });
  --p.waitingAlone;
  p.held += bytes;
  // Smaller decodes held back for this one may join it as far as the total allows.
  p.freed.notify_all();
  return Reservation(bytes);
}

std::int64_t held() {
  Pool &p = pool();
  const std::lock_guard lock(p.mutex);
  return p.held;
}

} // namespace platform::decodebudget
