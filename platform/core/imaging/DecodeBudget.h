#pragma once

#include <cstdint>
#include <optional>

/// The memory decoders may hold at once, shared by every thread that decodes. A decode
/// first states what it will need (its file bytes held in memory, coefficient and frame
/// buffers, …) and waits until it may hold that much.
///
/// Requests come in two lanes, each with memory of its own: the scan's, which holds at
/// most `total()`, and the window's (thumbnails and previews, asked from a thread that
/// holds an `InteractiveScope`), which holds at most `kWindowTotal`, or one decode of up to
/// `ceiling()` alone, so a picture the user waits for never queues behind a scan's large
/// decodes. Within a lane requests are admitted in the order they came: the first in line
/// once its bytes fit beside what the lane holds; one behind it only when it is not large
/// and fits beside what the lane holds and all the requests before it could hold once
/// admitted, so that it never delays any of them. A request therefore waits no longer than
/// the requests queued before it take to be admitted, and those wait only for decodes
/// already running, each of which ends in finite time: no request starves, and a large one
/// is never put off by smaller ones that came after it.
///
/// In the scan's lane decodes of more than `kLargeDecode` (pictures the decoder makes whole
/// at 20 megapixels and more, progressive JPEGs of 30) together hold at most `kLargeTotal`,
/// or one of them alone when it needs more, so that a folder of huge or hostile files costs
/// no more than it used to while photos of ordinary size decode as many at once as memory
/// allows. No decode holds more than `ceiling()`.
///
/// Bound: everything held at once, waiting requests included (nothing is held while
/// waiting), is at most `total()` + the larger of `kWindowTotal` and `ceiling()`: at most
/// 1 GiB + 768 MiB, and 384 MiB + 384 MiB on a machine of 6 GiB or less.
namespace platform::decodebudget {

/// Files whose header claims more pixels than this (200 megapixels) are refused before
/// their decode is charged: a scan must not spend seconds or gigabytes on one file.
inline constexpr std::int64_t kMaxInputPixels = 200'000'000;

/// The most a JPEG's stream may take in memory (256 MiB), and the least the ceiling is.
inline constexpr std::int64_t kShare = std::int64_t{256} << 20;
/// Decodes needing more than this (128 MiB) are large: see `kLargeTotal`.
inline constexpr std::int64_t kLargeDecode = std::int64_t{128} << 20;
/// The most large decodes in the scan's lane hold together (384 MiB), unless one alone
/// needs more.
inline constexpr std::int64_t kLargeTotal = std::int64_t{384} << 20;
/// The scan's lane holds a sixteenth of physical memory, at least `kLeastTotal` (384 MiB)
/// and at most `kMostTotal` (1 GiB): enough for one 12-megapixel HEIC per core on a machine
/// of 16 GiB.
inline constexpr std::int64_t kLeastTotal = std::int64_t{384} << 20;
inline constexpr std::int64_t kMostTotal = std::int64_t{1} << 30;
/// The most the window's decodes hold together (384 MiB), unless one alone needs more.
inline constexpr std::int64_t kWindowTotal = std::int64_t{384} << 20;
/// The ceiling is a sixteenth of physical memory, never below `kShare` and never above
/// `kMostCeiling`: even a machine with plenty spends no more on one photo, so that a
/// hostile header cannot make a scan take gigabytes.
inline constexpr std::int64_t kMostCeiling = std::int64_t{768} << 20;

/// The lane a request comes from.
enum class Lane { scan, interactive };

/// The most one decode may take: a sixteenth of this machine's physical memory, between
/// `kShare` and `kMostCeiling`.
[[nodiscard]] std::int64_t ceiling();
/// The ceiling for `physicalBytes` of memory.
[[nodiscard]] std::int64_t ceilingFor(std::int64_t physicalBytes);
/// The most the scan's decodes hold together: `totalFor` this machine, never below the
/// ceiling.
[[nodiscard]] std::int64_t total();
/// The scan's total for `physicalBytes` of memory.
[[nodiscard]] std::int64_t totalFor(std::int64_t physicalBytes);
/// Replace the ceiling and the scan's total (tests only); nothing puts the machine's back.
void overrideCeiling(std::optional<std::int64_t> bytes);
void overrideTotal(std::optional<std::int64_t> bytes);

/// Holds part of one lane's budget until it goes. Only `reserve` makes one that holds
/// anything, so no caller can give back memory it never took.
class Reservation {
public:
  Reservation() = default;
  ~Reservation();
  Reservation(const Reservation &) = delete;
  Reservation &operator=(const Reservation &) = delete;
  Reservation(Reservation &&other) noexcept;
  Reservation &operator=(Reservation &&other) noexcept;

  [[nodiscard]] std::int64_t bytes() const { return m_bytes; }
  [[nodiscard]] Lane lane() const { return m_lane; }
  /// Gives back what is held beyond `bytes`; never waits.
  void shrinkTo(std::int64_t bytes);
  /// Holds `bytes` (clamped as `reserve` clamps) instead, when that needs no wait: when no
  /// request waits in this lane and the rest fits. Never waits; false leaves it as it was.
  [[nodiscard]] bool tryGrowTo(std::int64_t bytes);

private:
  friend Reservation reserve(std::int64_t bytes);
  Reservation(std::int64_t bytes, Lane lane) : m_bytes(bytes), m_lane(lane) {}

  std::int64_t m_bytes = 0;
  Lane m_lane = Lane::scan;
};

/// Waits in the calling thread's lane until `bytes` (clamped to 0…`ceiling()`, never
/// below what a JPEG's stream may take) may be held, then holds them. Every reservation is
/// released in finite time by the decode that holds it, and no thread waits while it holds
/// one, so the wait always ends.
[[nodiscard]] Reservation reserve(std::int64_t bytes);

/// While one lives, the reservations its thread makes come from the window's lane. Nests.
class InteractiveScope {
public:
  InteractiveScope();
  ~InteractiveScope();
  InteractiveScope(const InteractiveScope &) = delete;
  InteractiveScope &operator=(const InteractiveScope &) = delete;

private:
  Lane m_previous;
};

/// The bytes held right now in both lanes, or in one, for tests and diagnostics.
[[nodiscard]] std::int64_t held();
[[nodiscard]] std::int64_t held(Lane lane);
/// The requests of `lane` waiting to be admitted right now, for tests and diagnostics.
[[nodiscard]] int waiting(Lane lane);

} // namespace platform::decodebudget
