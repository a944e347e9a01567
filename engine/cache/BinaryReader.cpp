#include "engine/cache/BinaryReader.h"

#include "engine/cache/HalfFloat.h"

#include <bit>
#include <limits>

namespace lumora {

std::size_t BinaryReader::remaining() const {
  return m_offset < m_data.size() ? m_data.size() - m_offset : 0;
}

bool BinaryReader::has(std::int64_t count, std::size_t width) const {
  if (count < 0) {
    return false;
  }
  // Divide instead of multiplying so a huge count cannot overflow.
  return static_cast<std::uint64_t>(count) <= remaining() / width;
}

template <typename T> std::optional<T> BinaryReader::unsignedLE() {
  if (!has(1, sizeof(T))) {
    return std::nullopt;
  }
  T value = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    const auto byte = static_cast<unsigned char>(m_data[m_offset + i]);
    value = static_cast<T>(value | static_cast<T>(static_cast<T>(byte) << (8 * i)));
  }
  m_offset += sizeof(T);
  return value;
}

std::optional<std::string> BinaryReader::peekString(std::int64_t count) const {
  if (!has(count, 1)) {
    return std::nullopt;
  }
  return std::string(m_data.substr(m_offset, static_cast<std::size_t>(count)));
}

std::optional<std::string> BinaryReader::string(std::int64_t count) {
  auto text = peekString(count);
  if (text) {
    m_offset += text->size();
  }
  return text;
}

std::optional<std::uint8_t> BinaryReader::u8() { return unsignedLE<std::uint8_t>(); }
std::optional<std::uint16_t> BinaryReader::u16() { return unsignedLE<std::uint16_t>(); }
std::optional<std::uint32_t> BinaryReader::u32() { return unsignedLE<std::uint32_t>(); }
std::optional<std::uint64_t> BinaryReader::u64() { return unsignedLE<std::uint64_t>(); }

std::optional<double> BinaryReader::f64() {
  const auto bits = u64();
  if (!bits) {
    return std::nullopt;
  }
  return std::bit_cast<double>(*bits);
}

std::optional<std::vector<float>> BinaryReader::floats(std::int64_t count) {
  if (!has(count, 4)) {
    return std::nullopt;
  }
  std::vector<float> values(static_cast<std::size_t>(count));
  for (float &value : values) {
    value = std::bit_cast<float>(*u32());
  }
  return values;
}

std::optional<std::vector<float>> BinaryReader::float16s(std::int64_t count) {
  if (!has(count, 2)) {
    return std::nullopt;
  }
  std::vector<float> values(static_cast<std::size_t>(count));
  halffloat::toFloats(reinterpret_cast<const unsigned char *>(m_data.data() + m_offset),
                      values.size(), values.data());
  m_offset += 2 * values.size();
  return values;
}

void BinaryReader::skip(std::size_t count) {
  // Saturate rather than wrap: a skipped offset only has to stay past the end.
  m_offset = count > std::numeric_limits<std::size_t>::max() - m_offset
                 ? std::numeric_limits<std::size_t>::max()
                 : m_offset + count;
}

} // namespace lumora
