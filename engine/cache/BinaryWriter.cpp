#include "engine/cache/BinaryWriter.h"

#include <bit>
#include <cstddef>

namespace lumora::binarywriter {
namespace {

template <typename T> void appendBytes(std::string &buffer, T value) {
  for (std::size_t i = 0; i < sizeof(T); ++i) {
    buffer.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
  }
}

} // namespace

void appendLE(std::string &buffer, std::uint16_t value) { appendBytes(buffer, value); }
void appendLE(std::string &buffer, std::uint32_t value) { appendBytes(buffer, value); }
void appendLE(std::string &buffer, std::int64_t value) {
  appendBytes(buffer, std::bit_cast<std::uint64_t>(value));
}
void appendLE(std::string &buffer, float value) {
  appendBytes(buffer, std::bit_cast<std::uint32_t>(value));
}
void appendLE(std::string &buffer, double value) {
  appendBytes(buffer, std::bit_cast<std::uint64_t>(value));
}

} // namespace lumora::binarywriter
