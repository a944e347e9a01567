#pragma once

#include <cstdint>
#include <optional>

/// The memory decoders may hold at once, shared by every thread that decodes. A decode
/// first states what it will need (its file bytes held in memory, coefficient and frame
/// buffers, …). One that needs at most a worker's share (`kShare`) waits while others hold
/// the rest of `kTotal`. One that needs more waits until no other decode holds anything,
/// keeps new ones from starting meanwhile, and then takes what it needs, up to `ceiling()`,
/// a share of the machine's physical memory; beyond that it is refused. So a folder of
/// hostile files costs at most the larger of `kTotal` and the ceiling however many workers
/// decode it, while a large photo still decodes, alone.
namespace platform::decodebudget {

/// Files whose header claims more pixels than this (200 megapixels) are refused before
/// their decode is charged: a scan must not spend seconds or gigabytes on one file.
inline constexpr std::int64_t kMaxInputPixels = 200'000'000;

/// The most one decode may hold while others run beside it (256 MiB).
inline constexpr std::int64_t kShare = std::int64_t{256} << 20;
/// The most decodes running together may hold (384 MiB).
inline constexpr std::int64_t kTotal = std::int64_t{384} << 20;
/// The ceiling is a sixteenth of physical memory, never below a worker's share and never
/// above `kMostCeiling`: even a machine with plenty spends no more on one photo, so that a
/// hostile header cannot make a scan take gigabytes.
inline constexpr std::int64_t kMostCeiling = std::int64_t{768} << 20;

/// The most one decode may take, running alone: a sixteenth of this machine's physical
/// memory, between `kShare` and `kMostCeiling`.
[[nodiscard]] std::int64_t ceiling();
/// The ceiling for `physicalBytes` of memory.
[[nodiscard]] std::int64_t ceilingFor(std::int64_t physicalBytes);
/// Replaces the ceiling (tests only); nothing restores the machine's.
void overrideCeiling(std::optional<std::int64_t> bytes);

/// Holds part of the budget until it goes.
class Reservation {
public:
  Reservation() = default;
  explicit Reservation(std::int64_t bytes) : m_bytes(bytes) {}
  ~Reservation();
  Reservation(const Reservation &) = delete;
  Reservation &operator=(const Reservation &) = delete;
  Reservation(Reservation &&other) noexcept;
  Reservation &operator=(Reservation &&other) noexcept;

  [[nodiscard]] std::int64_t bytes() const { return m_bytes; }
  /// Gives back what is held beyond `bytes`; never waits.
  void shrinkTo(std::int64_t bytes);

private:
  std::int64_t m_bytes = 0;
};

/// Waits until `bytes` (clamped to 0…`ceiling()`) may be held and holds them: beside other
/// decodes when they are at most `kShare`, alone otherwise. Every reservation is released in
/// finite time by the decode that holds it, and no thread holds two, so the wait always ends.
[[nodiscard]] Reservation reserve(std::int64_t bytes);

/// The bytes held right now, for tests and diagnostics.
[[nodiscard]] std::int64_t held();

} // namespace platform::decodebudget
