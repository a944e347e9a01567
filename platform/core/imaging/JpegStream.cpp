#include "platform/core/imaging/JpegStream.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace platform::jpegstream {
namespace {

constexpr std::size_t kFirstChunk = 64 * 1024;
constexpr std::size_t kLargestChunk = 4 * 1024 * 1024;

int bigEndian16(const std::uint8_t *at) { return (at[0] << 8) | at[1]; }

bool isFrameHeader(int marker) {
  return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::int64_t roundUp(std::int64_t value, std::int64_t step) {
  return (value + step - 1) / step * step;
}

/// The layout of a frame header's segment body (after its length), or nothing when short.
std::optional<Layout> frameLayout(int marker, const std::uint8_t *body, std::size_t size) {
  if (size < 6 || size < 6 + 3 * static_cast<std::size_t>(body[5])) {
    return std::nullopt;
  }
  Layout layout;
  layout.height = bigEndian16(body + 1);
  layout.width = bigEndian16(body + 3);
  layout.progressive = marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
  const int components = body[5];
  const auto factor = [&](int c, bool vertical) {
    const int hv = body[6 + 3 * c + 1];
    return std::clamp(vertical ? hv & 0x0F : hv >> 4, 1, 4);
  };
  int hMax = 1;
  int vMax = 1;
  for (int c = 0; c < components; ++c) {
    hMax = std::max(hMax, factor(c, false));
    vMax = std::max(vMax, factor(c, true));
  }
  for (int c = 0; c < components; ++c) {
    const int h = factor(c, false);
    const int v = factor(c, true);
    const std::int64_t columns = (std::int64_t{layout.width} * h + hMax - 1) / hMax;
    const std::int64_t rows = (std::int64_t{layout.height} * v + vMax - 1) / vMax;
    layout.coefficientBytes += roundUp((columns + 7) / 8, h) * roundUp((rows + 7) / 8, v) * 128;
  }
  return layout;
}

/// Walks markers and entropy-coded data as bytes arrive, remembering where it stopped.
class Walker {
public:
  /// The offset just past the end marker once it has been seen; nothing while more bytes
  /// are needed.
  std::optional<std::size_t> advance(const std::vector<std::uint8_t> &bytes) {
    const std::size_t size = bytes.size();
    while (true) {
      if (m_inData) {
        if (!findMarker(bytes)) {
          return std::nullopt;
        }
        continue;
      }
      if (m_at + 2 > size) {
        return std::nullopt;
      }
      if (bytes[m_at] != 0xFF) {
        m_inData = true; // stray bytes between segments: look for the next marker
        continue;
      }
      const int marker = bytes[m_at + 1];
      if (marker == 0xFF) {
        ++m_at;
        continue;
      }
      if (marker == 0xD9) {
        return m_at + 2;
      }
      if ((marker >= 0xD0 && marker <= 0xD8) || marker == 0x01) {
        m_at += 2;
        continue;
      }
      if (m_at + 4 > size) {
        return std::nullopt;
      }
      const std::size_t length = static_cast<std::size_t>(bigEndian16(&bytes[m_at + 2]));
      if (length < 2) {
        m_at += 2;
        m_inData = true;
        continue;
      }
      if (m_at + 2 + length > size) {
        return std::nullopt;
      }
      segment(marker, &bytes[m_at + 4], length - 2);
      m_at += 2 + length;
    }
  }

  [[nodiscard]] const std::optional<Layout> &layout() const { return m_layout; }

private:
  void segment(int marker, const std::uint8_t *body, std::size_t size) {
    if (isFrameHeader(marker) && !m_layout) {
      m_layout = frameLayout(marker, body, size);
    } else if (marker == 0xDA) {
      ++m_scans;
      m_inData = true;
    }
    if (m_layout) {
      m_layout->scans = m_scans;
    }
  }

  /// Moves to the next marker inside entropy-coded data (a 0xFF not followed by a stuffed
  /// zero or a restart marker); false when the bytes so far hold none.
  bool findMarker(const std::vector<std::uint8_t> &bytes) {
    while (m_at < bytes.size()) {
      const void *found = std::memchr(&bytes[m_at], 0xFF, bytes.size() - m_at);
      if (found == nullptr) {
        m_at = bytes.size();
        return false;
      }
      m_at = static_cast<std::size_t>(static_cast<const std::uint8_t *>(found) - bytes.data());
      if (m_at + 1 >= bytes.size()) {
        return false;
      }
      const int next = bytes[m_at + 1];
      if (next == 0x00 || (next >= 0xD0 && next <= 0xD7) || next == 0xFF) {
        m_at += next == 0xFF ? 1 : 2;
        continue;
      }
      m_inData = false;
      return true;
    }
    return false;
  }

  std::size_t m_at = 2; // just past the start marker
  bool m_inData = false;
  int m_scans = 0;
  std::optional<Layout> m_layout;
};

/// Appends up to `count` bytes read at the end of `bytes`; the number read, -1 on error.
ssize_t readMore(int fd, std::vector<std::uint8_t> &bytes, std::size_t count) {
  const std::size_t start = bytes.size();
  bytes.resize(start + count);
  ssize_t got = 0;
  do {
    got = ::pread(fd, bytes.data() + start, count, static_cast<off_t>(start));
  } while (got < 0 && errno == EINTR);
  bytes.resize(start + static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
  return got;
}

} // namespace

bool hasSignature(const std::uint8_t *bytes, std::size_t size) {
  return size >= 3 && bytes[0] == 0xFF && bytes[1] == 0xD8 && bytes[2] == 0xFF;
}

Expected<Stream, Failure> read(int fd, std::int64_t limit) {
  Stream stream;
  Walker walker;
  std::size_t chunk = kFirstChunk;
  const auto cap = static_cast<std::size_t>(std::max<std::int64_t>(limit, 3));
  while (true) {
    if (stream.bytes.size() >= cap) {
      return Unexpected{Failure::tooLong};
    }
    const ssize_t got = readMore(fd, stream.bytes, std::min(chunk, cap - stream.bytes.size()));
    if (got < 0 || (got == 0 && stream.bytes.size() < 3) ||
        (stream.bytes.size() >= 3 && !hasSignature(stream.bytes.data(), stream.bytes.size()))) {
      return Unexpected{Failure::unreadable};
    }
    if (got == 0) {
      break; // the file ends before the end marker: a truncated stream
    }
    if (const auto end = walker.advance(stream.bytes)) {
      stream.bytes.resize(*end);
      break;
    }
    chunk = std::min(chunk * 2, kLargestChunk);
  }
  stream.layout = walker.layout();
  return stream;
}

} // namespace platform::jpegstream
