#include "engine/imaging/JpegQuality.h"

#include "platform/core/posix/UniqueFd.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora::jpegquality {

namespace {

/// The example luminance table of the JPEG standard (Annex K), in zigzag order: the table
/// every common encoder scales by its quality setting.
constexpr std::array<int, 64> kStandardLuminance{
    16, 11, 12,  14,  12,  10, 16, 14,  13,  14,  18,  17,  16, 19,  24,  40,
    26, 24, 22,  22,  24,  49, 35, 37,  29,  40,  58,  51,  61, 60,  57,  51,
    56, 55, 64,  72,  92,  78, 64, 68,  87,  69,  55,  56,  80, 109, 81,  87,
    95, 98, 103, 104, 103, 62, 77, 113, 121, 112, 100, 120, 92, 101, 103, 99};

/// Files put their tables near the start; segments before them (EXIF, colour profiles,
/// previews) rarely pass this much.
constexpr std::size_t kMostRead = 1u << 20;
constexpr std::size_t kFirstRead = 64u << 10;

/// The standard step scaled as encoders scale it for `quality`.
int scaledStep(int standard, int quality) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  return std::clamp((standard * scale + 50) / 100, 1, 32767);
}

std::uint16_t byteAt(std::string_view bytes, std::size_t i) {
  return static_cast<std::uint8_t>(bytes[i]);
}

/// The outcome of reading the segments: a table, no table at all, or bytes that ended first.
enum class Read { found, none, cutShort };

/// Reads the tables of one DQT segment's body; true with `table` filled when it holds the
/// luminance one (number 0). False for a malformed body.
bool readTables(std::string_view body, std::uint16_t (&table)[64], bool &found) {
  std::size_t at = 0;
  while (at < body.size()) {
    const int precision = byteAt(body, at) >> 4, id = byteAt(body, at) & 0x0f;
    const std::size_t size = precision == 0 ? 64 : 128;
    if (precision > 1 || body.size() - at - 1 < size)
      return false;
    ++at;
    if (id == 0 && !found) {
      for (std::size_t i = 0; i < 64; ++i)
        table[i] = precision == 0 ? byteAt(body, at + i)
                                  : static_cast<std::uint16_t>(byteAt(body, at + 2 * i) << 8 |
                                                               byteAt(body, at + 2 * i + 1));
      found = true;
    }
    at += size;
  }
  return true;
}

Read readSegments(std::string_view bytes, std::uint16_t (&table)[64]) {
  if (bytes.size() < 2)
    return Read::cutShort;
  if (byteAt(bytes, 0) != 0xff || byteAt(bytes, 1) != 0xd8)
    return Read::none;
  bool found = false;
  std::size_t at = 2;
  while (true) {
    // Markers may be padded with any number of 0xff bytes.
    while (at < bytes.size() && byteAt(bytes, at) == 0xff && at + 1 < bytes.size() &&
           byteAt(bytes, at + 1) == 0xff)
      ++at;
    if (bytes.size() - at < 4)
      return found ? Read::found : Read::cutShort;
    if (byteAt(bytes, at) != 0xff)
      return found ? Read::found : Read::none;
    const std::uint16_t marker = byteAt(bytes, at + 1);
    // The first scan's data follows; so does nothing a table could be in.
    if (marker == 0xda || marker == 0xd9)
      return found ? Read::found : Read::none;
    // Markers without a length: padding, restarts, a stray start of image.
    if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd8)) {
      at += 2;
      continue;
    }
    const std::size_t length =
        static_cast<std::size_t>(byteAt(bytes, at + 2) << 8 | byteAt(bytes, at + 3));
    if (length < 2)
      return found ? Read::found : Read::none;
    if (bytes.size() - at - 2 < length)
      return found ? Read::found : Read::cutShort;
    if (marker == 0xdb && !readTables(bytes.substr(at + 4, length - 2), table, found))
      return Read::none;
    at += 2 + length;
  }
}

SavedQuality summarise(const std::uint16_t (&table)[64]) {
  double squares = 0;
  for (std::size_t i = 1; i < 64; ++i)
    squares += static_cast<double>(table[i]) * table[i];
  return SavedQuality{nearestQuality(table), static_cast<float>(std::sqrt(squares / 63.0))};
}

} // namespace

int nearestQuality(const std::uint16_t (&table)[64]) {
  int best = 100;
  long bestDistance = -1;
  // From the top, so that a tie keeps the higher quality.
  for (int quality = 100; quality >= 1; --quality) {
    long distance = 0;
    for (std::size_t i = 0; i < 64; ++i)
      distance +=
          std::abs(static_cast<long>(table[i]) - scaledStep(kStandardLuminance[i], quality));
    if (bestDistance < 0 || distance < bestDistance) {
      bestDistance = distance;
      best = quality;
    }
  }
  return best;
}

std::optional<SavedQuality> fromHeader(std::string_view bytes) {
  std::uint16_t table[64]{};
  if (readSegments(bytes, table) != Read::found)
    return std::nullopt;
  return summarise(table);
}

std::optional<SavedQuality> fromFile(const std::string &path) {
  // Non-blocking, so that a FIFO put where the file was returns at once.
  const platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
    return std::nullopt;
  std::string bytes;
  for (std::size_t want = kFirstRead; want <= kMostRead; want *= 4) {
    const std::size_t had = bytes.size();
    bytes.resize(want);
    const ssize_t got = ::pread(fd.get(), bytes.data() + had, want - had, static_cast<off_t>(had));
    if (got < 0)
      return std::nullopt;
    bytes.resize(had + static_cast<std::size_t>(got));
    std::uint16_t table[64]{};
    const Read read = readSegments(bytes, table);
    if (read != Read::cutShort)
      return read == Read::found ? std::optional(summarise(table)) : std::nullopt;
    if (bytes.size() < want)
      return std::nullopt; // the file ended
  }
  return std::nullopt;
}

} // namespace lumora::jpegquality
