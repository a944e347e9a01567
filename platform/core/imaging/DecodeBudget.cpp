#include "platform/core/imaging/DecodeBudget.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <unistd.h>
#include <utility>

namespace platform::decodebudget {
namespace {

/// A request waiting to be admitted.
struct Waiter {
  std::uint64_t ticket = 0;
  std::int64_t bytes = 0;
};

/// What one lane holds and the requests waiting in it, in the order they came.
struct LaneState {
  std::int64_t held = 0;
  /// What the large decodes among `held` hold.
  std::int64_t heldLarge = 0;
  std::uint64_t nextTicket = 0;
  std::deque<Waiter> queue;
};

struct Pool {
  std::mutex mutex;
  std::condition_variable changed;
  std::array<LaneState, 2> lanes;

  LaneState &operator[](Lane lane) { return lanes[static_cast<std::size_t>(lane)]; }
};

Pool &pool() {
  static Pool shared;
  return shared;
}

thread_local Lane t_lane = Lane::scan;

/// The overriding ceiling and total, or 0 for the machine's.
std::atomic<std::int64_t> &ceilingOverride() {
  static std::atomic<std::int64_t> bytes{0};
  return bytes;
}

std::atomic<std::int64_t> &totalOverride() {
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

/// The most one request may ask for: a JPEG's stream is read under a reservation of up to
/// `kShare` even where the ceiling is set lower.
std::int64_t mostAsked() { return std::max(ceiling(), kShare); }

/// What `lane` holds beside other decodes; a request for more runs alone in its lane.
std::int64_t capacity(Lane lane) { return lane == Lane::scan ? total() : kWindowTotal; }

std::int64_t largePart(Lane lane, std::int64_t bytes) {
  return lane == Lane::scan && bytes > kLargeDecode ? bytes : 0;
}

/// Whether `bytes` more may be held in `lane` beside what it holds beyond `own`, the bytes
/// of the reservation that grows (0 for a new one).
bool fits(Lane lane, const LaneState &state, std::int64_t own, std::int64_t bytes) {
  const std::int64_t others = state.held - own;
  if (others + bytes > capacity(lane) && others > 0) {
    return false;
  }
  const std::int64_t large = largePart(lane, bytes);
  const std::int64_t othersLarge = state.heldLarge - largePart(lane, own);
  return large == 0 || othersLarge == 0 || othersLarge + large <= kLargeTotal;
}

/// The most the requests ahead of `ticket` in `lane` can hold at once once admitted: large
/// ones are admitted together only up to `kLargeTotal` (or one alone).
std::int64_t roomAhead(Lane lane, const LaneState &state, std::uint64_t ticket) {
  std::int64_t small = 0;
  std::int64_t large = 0;
  std::int64_t largest = 0;
  for (const Waiter &waiter : state.queue) {
    if (waiter.ticket >= ticket) {
      break;
    }
    const std::int64_t part = largePart(lane, waiter.bytes);
    small += waiter.bytes - part;
    large += part;
    largest = std::max(largest, part);
  }
  return small + std::min(large, std::max(kLargeTotal, largest));
}

/// Whether the request `ticket` for `bytes` may be admitted now: first in line and fitting,
/// or behind others when it is not large and fits beside the room they need, so that it
/// never delays one of them (those wait only for the large decodes' part or their turn).
bool admissible(Lane lane, const LaneState &state, std::uint64_t ticket, std::int64_t bytes) {
  if (state.queue.front().ticket == ticket) {
    return fits(lane, state, 0, bytes);
  }
  return largePart(lane, bytes) == 0 &&
         state.held + bytes + roomAhead(lane, state, ticket) <= capacity(lane);
}

/// Moves what `lane` holds from `from` to `to` bytes for one reservation.
void account(Lane lane, LaneState &state, std::int64_t from, std::int64_t to) {
  state.held += to - from;
  state.heldLarge += largePart(lane, to) - largePart(lane, from);
}

void change(Lane lane, std::int64_t from, std::int64_t to) {
  if (from == to) {
    return;
  }
  Pool &p = pool();
  {
    const std::lock_guard lock(p.mutex);
    account(lane, p[lane], from, to);
  }
  p.changed.notify_all();
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

std::int64_t totalFor(std::int64_t physicalBytes) {
  return std::clamp<std::int64_t>(physicalBytes / 16, kLeastTotal, kMostTotal);
}

std::int64_t total() {
  static const std::int64_t machine = totalFor(physicalMemory());
  const std::int64_t forced = totalOverride().load();
  return std::max(forced > 0 ? forced : machine, ceiling());
}

void overrideCeiling(std::optional<std::int64_t> bytes) {
  ceilingOverride().store(bytes ? std::max<std::int64_t>(*bytes, 1) : 0);
}

void overrideTotal(std::optional<std::int64_t> bytes) {
  totalOverride().store(bytes ? std::max<std::int64_t>(*bytes, 1) : 0);
}

Reservation::~Reservation() { change(m_lane, m_bytes, 0); }

Reservation::Reservation(Reservation &&other) noexcept
    : m_bytes(std::exchange(other.m_bytes, 0)), m_lane(other.m_lane) {}

Reservation &Reservation::operator=(Reservation &&other) noexcept {
  if (this != &other) {
    change(m_lane, std::exchange(m_bytes, std::exchange(other.m_bytes, 0)), 0);
    m_lane = other.m_lane;
  }
  return *this;
}

void Reservation::shrinkTo(std::int64_t bytes) {
  const std::int64_t keep = std::clamp<std::int64_t>(bytes, 0, m_bytes);
  change(m_lane, std::exchange(m_bytes, keep), keep);
}

bool Reservation::tryGrowTo(std::int64_t bytes) {
  bytes = std::clamp<std::int64_t>(bytes, 0, mostAsked());
  if (bytes <= m_bytes) {
    return true;
  }
  Pool &p = pool();
  const std::lock_guard lock(p.mutex);
  LaneState &state = p[m_lane];
  if (!state.queue.empty() || !fits(m_lane, state, m_bytes, bytes)) {
    return false;
  }
  account(m_lane, state, std::exchange(m_bytes, bytes), bytes);
  return true;
}

Reservation reserve(std::int64_t bytes) {
  bytes = std::clamp<std::int64_t>(bytes, 0, mostAsked());
  const Lane lane = t_lane;
  Pool &p = pool();
  std::unique_lock lock(p.mutex);
  LaneState &state = p[lane];
  const std::uint64_t ticket = state.nextTicket++;
  state.queue.push_back({ticket, bytes});
  p.changed.wait(lock, [&] { return admissible(lane, state, ticket, bytes); });
  state.queue.erase(std::find_if(state.queue.begin(), state.queue.end(),
                                 [&](const Waiter &waiter) { return waiter.ticket == ticket; }));
  account(lane, state, 0, bytes);
  lock.unlock();
  // The next in line may fit beside this one.
  p.changed.notify_all();
  return Reservation(bytes, lane);
}

InteractiveScope::InteractiveScope() : m_previous(std::exchange(t_lane, Lane::interactive)) {}

InteractiveScope::~InteractiveScope() { t_lane = m_previous; }

std::int64_t held() { return held(Lane::scan) + held(Lane::interactive); }

std::int64_t held(Lane lane) {
  Pool &p = pool();
  const std::lock_guard lock(p.mutex);
  return p[lane].held;
}

int waiting(Lane lane) {
  Pool &p = pool();
  const std::lock_guard lock(p.mutex);
  return static_cast<int>(p[lane].queue.size());
}

} // namespace platform::decodebudget
