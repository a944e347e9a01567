#include "engine/imaging/BmpReader.h"

#include "platform/core/posix/FdIo.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstdlib>
#include <limits>
#include <optional>
#include <unistd.h>
#include <vector>

namespace lumora::bmpreader {
namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kCoreHeaderSize = 12;
constexpr std::size_t kInfoHeaderSize = 40;
constexpr std::size_t kLargestHeaderSize = 124;
// File header, the largest info header, four masks and a full 256-entry palette.
constexpr std::size_t kHeadBytes = kFileHeaderSize + kLargestHeaderSize + 16 + 256 * 4;
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

/// One colour channel stored under a bit mask, scaled to 0…255 when read.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t maximum = 0;

  explicit Channel(std::uint32_t bits = 0)
      : mask(bits), shift(bits ? std::countr_zero(bits) : 0), maximum(bits ? bits >> shift : 0) {}
  [[nodiscard]] std::uint8_t read(std::uint32_t pixel) const {
    if (maximum == 0) {
      return 0;
    }
    return static_cast<std::uint8_t>(std::uint64_t{(pixel & mask) >> shift} * 255u / maximum);
  }
};

struct Layout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bitCount = 0;
  std::int64_t pixelOffset = 0;
  std::int64_t stride = 0;
  std::array<Channel, 4> channels;
  std::vector<std::array<std::uint8_t, 3>> palette;
};

/// The little-endian fields of the bytes read from the start of the file.
class Head {
public:
  explicit Head(std::vector<std::uint8_t> bytes) : m_bytes(std::move(bytes)) {}
  [[nodiscard]] bool has(std::size_t offset, std::size_t size) const {
    return offset <= m_bytes.size() && size <= m_bytes.size() - offset;
  }
  [[nodiscard]] std::uint32_t u16(std::size_t at) const {
    return has(at, 2) ? static_cast<std::uint32_t>(m_bytes[at] | (m_bytes[at + 1] << 8)) : 0;
  }
  [[nodiscard]] std::uint32_t u32(std::size_t at) const { return u16(at) | (u16(at + 2) << 16); }
  [[nodiscard]] std::int32_t i32(std::size_t at) const {
    return std::bit_cast<std::int32_t>(u32(at));
  }
  [[nodiscard]] std::uint8_t byte(std::size_t at) const { return has(at, 1) ? m_bytes[at] : 0; }

private:
  std::vector<std::uint8_t> m_bytes;
};

DecodeError damaged(const char *what) {
  return DecodeError{DecodeError::Kind::damaged, QString::fromLatin1(what)};
}
DecodeError unsupported(const char *what) {
  return DecodeError{DecodeError::Kind::unsupportedFormat, QString::fromLatin1(what)};
}

std::array<Channel, 4> defaultChannels(int bitCount) {
  if (bitCount == 16) {
    return {Channel(0x7C00), Channel(0x03E0), Channel(0x001F), Channel(0)};
  }
  return {Channel(0xFF0000), Channel(0xFF00), Channel(0xFF), Channel(0)};
}

/// Masks live inside headers of 52 bytes and more, else right after the 40-byte header.
std::array<Channel, 4> maskChannels(const Head &head, std::size_t headerSize,
                                    std::uint32_t compression) {
  const std::size_t at = kFileHeaderSize + kInfoHeaderSize;
  const bool hasAlpha = headerSize >= 56 || compression == kAlphaBitFields;
  return {Channel(head.u32(at)), Channel(head.u32(at + 4)), Channel(head.u32(at + 8)),
          Channel(hasAlpha ? head.u32(at + 12) : 0)};
}

Expected<void, DecodeError> readPalette(const Head &head, std::size_t headerSize,
                                        std::uint32_t used, Layout &layout) {
  const std::size_t entrySize = headerSize == kCoreHeaderSize ? 3 : 4;
  const std::size_t capacity = std::size_t{1} << layout.bitCount;
  const std::size_t count = (used == 0 || used > capacity) ? capacity : used;
  const std::size_t start = kFileHeaderSize + headerSize;
  if (!head.has(start, count * entrySize)) {
    return Unexpected(damaged("bitmap palette is cut off"));
  }
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = start + i * entrySize;
    layout.palette.push_back({head.byte(at + 2), head.byte(at + 1), head.byte(at)});
  }
  return {};
}

bool isSupportedDepth(int bitCount, std::uint32_t compression) {
  switch (bitCount) {
  case 1:
  case 4:
  case 8:
  case 24: return compression == kRgb;
  case 16:
  case 32: return true;
  default: return false;
  }
}

/// The fields of the headers: size, row order, depth, compression and masks.
Expected<Layout, DecodeError> readFields(const Head &head, std::uint32_t &compression) {
  const std::size_t headerSize = head.u32(kFileHeaderSize);
  const bool core = headerSize == kCoreHeaderSize;
  if (!core && (headerSize < kInfoHeaderSize || headerSize > kLargestHeaderSize)) {
    return Unexpected(unsupported("unknown bitmap header"));
  }
  if (!head.has(kFileHeaderSize, headerSize)) {
    return Unexpected(damaged("bitmap header is cut off"));
  }
  Layout layout;
  // Each field converted on its own: a ternary would mix the signed and unsigned readers.
  const std::int64_t rawHeight =
      core ? static_cast<std::int64_t>(head.u16(20)) : static_cast<std::int64_t>(head.i32(22));
  layout.width =
      core ? static_cast<std::int64_t>(head.u16(18)) : static_cast<std::int64_t>(head.i32(18));
  layout.height = rawHeight < 0 ? -rawHeight : rawHeight;
  layout.topDown = rawHeight < 0;
  layout.bitCount = static_cast<int>(head.u16(core ? 24 : 28));
  layout.pixelOffset = head.u32(10);
  compression = core ? kRgb : head.u32(30);
  if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields) {
    return Unexpected(unsupported("compressed bitmaps are not supported"));
  }
  if (!isSupportedDepth(layout.bitCount, compression)) {
    return Unexpected(unsupported("unsupported bitmap depth"));
  }
  layout.channels = compression == kRgb ? defaultChannels(layout.bitCount)
                                        : maskChannels(head, headerSize, compression);
  if (layout.bitCount <= 8) {
    if (auto palette = readPalette(head, headerSize, core ? 0 : head.u32(46), layout); !palette) {
      return Unexpected(palette.error());
    }
  }
  return layout;
}

/// The layout, once its size is sane and every row lies inside the file.
Expected<Layout, DecodeError> readLayout(const Head &head, std::int64_t fileSize,
                                         std::int64_t maxPixels) {
  std::uint32_t compression = kRgb;
  auto layout = readFields(head, compression);
  if (!layout) {
    return layout;
  }
  if (layout->width <= 0 || layout->height <= 0) {
    return Unexpected(damaged("bitmap has no pixels"));
  }
  if (layout->width * layout->height > maxPixels) {
    return Unexpected(DecodeError{DecodeError::Kind::tooLarge,
                                  QStringLiteral("bitmap of %1 × %2 pixels is over the limit")
                                      .arg(layout->width)
                                      .arg(layout->height)});
  }
  layout->stride = (layout->width * layout->bitCount + 31) / 32 * 4;
  if (layout->pixelOffset > fileSize ||
      layout->stride * layout->height > fileSize - layout->pixelOffset) {
    return Unexpected(damaged("bitmap pixels are cut off"));
  }
  return layout;
}

void convertPaletteRow(const Layout &layout, const std::uint8_t *in, std::uint8_t *out) {
  const unsigned bits = static_cast<unsigned>(layout.bitCount);
  for (std::int64_t x = 0; x < layout.width; ++x, out += 3) {
    const auto bit = static_cast<std::uint64_t>(x) * bits;
    const unsigned shift = 8 - bits - static_cast<unsigned>(bit % 8);
    const std::size_t index = (in[bit / 8] >> shift) & ((1u << bits) - 1);
    const auto colour =
        index < layout.palette.size() ? layout.palette[index] : std::array<std::uint8_t, 3>{};
    std::copy(colour.begin(), colour.end(), out);
  }
}

void convertBgrRow(const Layout &layout, const std::uint8_t *in, std::uint8_t *out) {
  for (std::int64_t x = 0; x < layout.width; ++x, in += 3, out += 3) {
    out[0] = in[2];
    out[1] = in[1];
    out[2] = in[0];
  }
}

/// 16- and 32-bit pixels: little-endian words split by the channel masks.
void convertMaskedRow(const Layout &layout, const std::uint8_t *in, std::uint8_t *out, int bands) {
  const auto &channels = layout.channels;
  const int bytes = layout.bitCount / 8;
  for (std::int64_t x = 0; x < layout.width; ++x, in += bytes, out += bands) {
    std::uint32_t pixel = 0;
    for (int b = 0; b < bytes; ++b) {
      pixel |= static_cast<std::uint32_t>(in[b]) << (8 * b);
    }
    for (int band = 0; band < bands; ++band) {
      out[band] = channels[static_cast<std::size_t>(band)].read(pixel);
    }
  }
}

void convertRow(const Layout &layout, const std::uint8_t *in, std::uint8_t *out, int bands) {
  if (layout.bitCount <= 8) {
    convertPaletteRow(layout, in, out);
  } else if (layout.bitCount == 24) {
    convertBgrRow(layout, in, out);
  } else {
    convertMaskedRow(layout, in, out, bands);
  }
}

/// Writers that fill the alpha mask but leave every alpha byte 0 mean an opaque picture.
void repairEmptyAlpha(platform::DecodedImage &image) {
  for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
    if (image.pixels[i] != 0) {
      return;
    }
  }
  for (std::size_t i = 3; i < image.pixels.size(); i += 4) {
    image.pixels[i] = 255;
  }
}

} // namespace

bool hasSignature(const std::uint8_t *bytes, std::size_t size) {
  return size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
}

namespace {

/// The first bytes of the file, when it is a bitmap.
std::optional<Head> readHead(int fd, std::int64_t fileSize) {
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(
      std::min<std::int64_t>(fileSize, static_cast<std::int64_t>(kHeadBytes))));
  if (!platform::fdio::readAt(fd, 0, bytes.data(), bytes.size()) ||
      !hasSignature(bytes.data(), bytes.size())) {
    return std::nullopt;
  }
  return Head(std::move(bytes));
}

} // namespace

std::optional<std::int64_t> pixelCount(int fd, std::int64_t fileSize) {
  const auto head = readHead(fd, fileSize);
  if (!head) {
    return std::nullopt;
  }
  std::uint32_t compression = kRgb;
  const auto layout = readFields(*head, compression);
  if (!layout) {
    return std::nullopt;
  }
  return std::abs(layout->width) * std::abs(layout->height);
}

Expected<platform::DecodedImage, DecodeError> decode(int fd, std::int64_t fileSize,
                                                     std::int64_t maxPixels) {
  auto head = readHead(fd, fileSize);
  if (!head) {
    return Unexpected(damaged("not a bitmap"));
  }
  auto layout = readLayout(*head, fileSize, maxPixels);
  if (!layout) {
    return Unexpected(layout.error());
  }
  platform::DecodedImage image;
  image.width = static_cast<int>(layout->width);
  image.height = static_cast<int>(layout->height);
  image.bands = layout->channels[3].mask != 0 ? 4 : 3;
  image.pixels.resize(image.stride() * static_cast<std::size_t>(image.height));
  std::vector<std::uint8_t> row(static_cast<std::size_t>(layout->stride));
  for (std::int64_t y = 0; y < layout->height; ++y) {
    const std::int64_t stored = layout->topDown ? y : layout->height - 1 - y;
    if (!platform::fdio::readAt(fd, layout->pixelOffset + stored * layout->stride, row.data(),
                                row.size())) {
      return Unexpected(damaged("bitmap could not be read"));
    }
    convertRow(*layout, row.data(),
               image.pixels.data() + static_cast<std::size_t>(y) * image.stride(), image.bands);
  }
  if (image.bands == 4) {
    repairEmptyAlpha(image);
  }
  return image;
}

} // namespace lumora::bmpreader
