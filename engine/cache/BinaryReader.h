#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

/// A little-endian cursor over bytes that may be hostile. Every read first checks that
/// enough bytes remain; a read that cannot be satisfied gives nothing and leaves the offset
/// where it was. Nothing is ever allocated before the bytes it describes are known to exist.
class BinaryReader {
public:
  explicit BinaryReader(std::string_view data) : m_data(data) {}

  [[nodiscard]] std::size_t offset() const { return m_offset; }
  /// Bytes left after the offset; 0 once the offset has been skipped past the end.
  [[nodiscard]] std::size_t remaining() const;

  /// `count` bytes at the offset, without advancing. Paths on Linux are byte strings, so the
  /// bytes are returned as they are, whether or not they are UTF-8.
  [[nodiscard]] std::optional<std::string> peekString(std::int64_t count) const;
  /// As `peekString`, advancing on success.
  [[nodiscard]] std::optional<std::string> string(std::int64_t count);
  [[nodiscard]] std::optional<std::uint8_t> u8();
  [[nodiscard]] std::optional<std::uint16_t> u16();
  /// Also read as the bit pattern of a 32-bit float.
  [[nodiscard]] std::optional<std::uint32_t> u32();
  /// Also read as the bit pattern of a signed 64-bit integer.
  [[nodiscard]] std::optional<std::uint64_t> u64();
  [[nodiscard]] std::optional<double> f64();
  /// `count` 32-bit floats.
  [[nodiscard]] std::optional<std::vector<float>> floats(std::int64_t count);
  /// `count` binary16 values, each widened to 32 bits.
  [[nodiscard]] std::optional<std::vector<float>> float16s(std::int64_t count);
  /// Moves the offset forward without looking at the bytes; it may end up past the end, after
  /// which every read fails.
  void skip(std::size_t count);

private:
  [[nodiscard]] bool has(std::int64_t count, std::size_t width) const;
  template <typename T> [[nodiscard]] std::optional<T> unsignedLE();

  std::string_view m_data;
  std::size_t m_offset = 0;
};

} // namespace lumora
