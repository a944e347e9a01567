#pragma once

#include <cstdint>

/// The memory decoders may hold at once, shared by every thread that decodes. A decode
/// first states what it will need (its file bytes held in memory, coefficient and frame
/// buffers, …); more than `kPhotoLimit` is refused outright, and a decode that fits waits
/// while others hold the rest of `kTotal`. So a folder of hostile files costs at most
/// `kTotal` however many workers decode it, while one large photo still decodes.
namespace platform::decodebudget {

/// The most one photo's decode may need (256 MiB).
inline constexpr std::int64_t kPhotoLimit = std::int64_t{256} << 20;
/// The most all decodes together may hold (384 MiB).
inline constexpr std::int64_t kTotal = std::int64_t{384} << 20;

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

/// Waits until `bytes` (at most `kPhotoLimit`; larger values are clamped) are free and
/// holds them. Every reservation is released in finite time by the decode that holds it,
/// and no thread holds two, so the wait always ends.
[[nodiscard]] Reservation reserve(std::int64_t bytes);

/// The bytes held right now, for tests and diagnostics.
[[nodiscard]] std::int64_t held();

} // namespace platform::decodebudget
