#include "platform/core/imaging/TiffLayout.h"

#include <array>
#include <cerrno>
#include <limits>
#include <unistd.h>
#include <vector>

namespace platform::tifflayout {
namespace {

constexpr std::uint16_t kCompression = 259;
constexpr std::uint16_t kUncompressed = 1;
constexpr std::uint16_t kRowsPerStrip = 278;
constexpr std::uint16_t kTileLength = 323;
constexpr std::uint16_t kPhotometric = 262;
constexpr std::uint16_t kYCbCr = 6;
constexpr std::uint16_t kPlanarConfiguration = 284;
constexpr std::uint16_t kInterleaved = 1;
constexpr std::uint16_t kShort = 3;
constexpr std::uint16_t kLong = 4;
/// More directory entries than any picture has; a larger count is damage.
constexpr std::int64_t kMostEntries = 4096;

bool readAt(int fd, std::int64_t at, std::uint8_t *into, std::size_t size) {
  ssize_t got = 0;
  do {
    got = ::pread(fd, into, size, static_cast<off_t>(at));
  } while (got < 0 && errno == EINTR);
  return got == static_cast<ssize_t>(size);
}

/// Reads unsigned integers in the file's byte order.
struct Order {
  bool little = true;

  [[nodiscard]] std::uint32_t get(const std::uint8_t *bytes, int size) const {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i) {
      const int shift = 8 * (little ? i : size - 1 - i);
      value |= static_cast<std::uint32_t>(bytes[i]) << shift;
    }
    return value;
  }
};

/// The value of a one-element SHORT or LONG entry, which sits in the entry itself.
std::optional<std::int64_t> scalar(const std::uint8_t *entry, const Order &order) {
  const std::uint16_t type = order.get(entry + 2, 2);
  if (order.get(entry + 4, 4) != 1 || (type != kShort && type != kLong)) {
    return std::nullopt;
  }
  return order.get(entry + 8, type == kShort ? 2 : 4);
}

/// The byte order and the entries of the first directory of a classic TIFF.
struct Directory {
  Order order;
  std::vector<std::uint8_t> entries;
};

std::optional<Directory> readDirectory(int fd, std::int64_t length) {
  std::array<std::uint8_t, 8> header{};
  if (length < 8 || !readAt(fd, 0, header.data(), header.size())) {
    return std::nullopt;
  }
  const bool little = header[0] == 'I' && header[1] == 'I';
  if (!little && !(header[0] == 'M' && header[1] == 'M')) {
    return std::nullopt;
  }
  const Order order{little};
  const std::int64_t at = order.get(header.data() + 4, 4);
  std::array<std::uint8_t, 2> count{};
  if (order.get(header.data() + 2, 2) != 42 || at + 2 > length ||
      !readAt(fd, at, count.data(), count.size())) {
    return std::nullopt;
  }
  const std::int64_t entries = order.get(count.data(), 2);
  if (entries > kMostEntries || at + 2 + entries * 12 > length) {
    return std::nullopt;
  }
  Directory directory{order, std::vector<std::uint8_t>(static_cast<std::size_t>(entries) * 12)};
  if (!readAt(fd, at + 2, directory.entries.data(), directory.entries.size())) {
    return std::nullopt;
  }
  return directory;
}

} // namespace

std::optional<Layout> read(int fd, std::int64_t length) {
  const auto directory = readDirectory(fd, length);
  if (!directory) {
    return std::nullopt;
  }
  // A strip without a RowsPerStrip tag is the whole picture.
  Layout layout{std::numeric_limits<std::uint32_t>::max(), true};
  bool tiled = false;
  bool interleaved = true;
  bool ycbcr = false;
  for (std::size_t at = 0; at + 12 <= directory->entries.size(); at += 12) {
    const std::uint8_t *entry = directory->entries.data() + at;
    const std::uint16_t tag = directory->order.get(entry, 2);
    const auto value = scalar(entry, directory->order);
    if (tag == kCompression && value) {
      layout.compressed = *value != kUncompressed;
    } else if (tag == kPhotometric && value) {
      ycbcr = *value == kYCbCr;
    } else if (tag == kPlanarConfiguration && value) {
      interleaved = *value == kInterleaved;
    } else if (tag == kRowsPerStrip || tag == kTileLength) {
      if (!value) {
        return std::nullopt;
      }
      tiled = tiled || tag == kTileLength;
      layout.rowsPerChunk = *value;
    }
  }
  layout.byScanline = !tiled && interleaved && !ycbcr && layout.rowsPerChunk > kScanlineRows;
  return layout;
}

} // namespace platform::tifflayout
