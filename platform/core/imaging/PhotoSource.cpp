#include "platform/core/imaging/PhotoSource.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <unistd.h>

namespace platform::photosource {
namespace {

constexpr std::int64_t kMiB = std::int64_t{1} << 20;

QString overLimit(std::int64_t bytes) {
  return QStringLiteral("decoding needs %1 MB, over the limit of %2 MB for one photo on this "
                        "machine")
      .arg((bytes + kMiB - 1) / kMiB)
      .arg(decodebudget::ceiling() / kMiB);
}

/// The size a RIFF container declares for itself (header included), when `head` starts a
/// WebP file: bytes after it belong to no picture.
std::optional<std::int64_t> webpLength(const std::array<std::uint8_t, 12> &head) {
  if (!std::equal(head.begin(), head.begin() + 4, "RIFF") ||
      !std::equal(head.begin() + 8, head.end(), "WEBP")) {
    return std::nullopt;
  }
  const std::int64_t body =
      head[4] | (head[5] << 8) | (head[6] << 16) | (static_cast<std::int64_t>(head[7]) << 24);
  return body + 8;
}

/// Whether the WebP picture in the first `length` bytes at `fd` is coded losslessly: its
/// first picture chunk (after the extended header, colour profile, animation or alpha
/// chunks) is a "VP8L" chunk.
bool isLosslessWebp(int fd, std::int64_t length) {
  constexpr int kMostChunks = 8;
  std::int64_t at = 12;
  for (int i = 0; i < kMostChunks && at + 8 <= length; ++i) {
    std::array<std::uint8_t, 8> chunk{};
    if (::pread(fd, chunk.data(), chunk.size(), at) != static_cast<ssize_t>(chunk.size())) {
      return false;
    }
    const auto named = [&](const char *fourcc) {
      return std::equal(chunk.begin(), chunk.begin() + 4, fourcc);
    };
    if (named("VP8L")) {
      return true;
    }
    if (named("VP8 ") || named("ANMF")) {
      return false;
    }
    const std::int64_t size =
        chunk[4] | (chunk[5] << 8) | (chunk[6] << 16) | (static_cast<std::int64_t>(chunk[7]) << 24);
    at += 8 + size + (size & 1);
  }
  return false;
}

Expected<PhotoSource, Failure> openJpeg(int fd, std::int64_t fileSize,
                                        decodebudget::Reservation held) {
  // No photo's JPEG stream comes near `kShare`; one that runs on is not a photo.
  const bool reopened = held.bytes() > 0;
  auto reading =
      reopened ? std::move(held) : decodebudget::reserve(std::min(fileSize, decodebudget::kShare));
  auto stream = jpegstream::read(fd, reopened ? std::min(reading.bytes(), decodebudget::kShare)
                                              : decodebudget::kShare);
  if (!stream) {
    if (stream.error() == jpegstream::Failure::tooLong && !reopened) {
      return Unexpected{Failure{Failure::Kind::tooLarge,
                                QStringLiteral("JPEG data runs past %1 MB, the limit per photo")
                                    .arg(decodebudget::kShare / kMiB)}};
    }
    return Unexpected{Failure{Failure::Kind::unreadable, QStringLiteral("could not read")}};
  }
  PhotoSource photo;
  photo.jpegBytes = std::move(stream.value().bytes);
  photo.jpegLayout = stream.value().layout;
  photo.length = static_cast<std::int64_t>(photo.jpegBytes.size());
  photo.source = filesource::borrow(photo.jpegBytes.data(), photo.jpegBytes.size());
  if (!reopened) {
    reading.shrinkTo(photo.length);
  }
  photo.reading = std::move(reading);
  return photo;
}

} // namespace

Expected<PhotoSource, Failure> open(int fd, std::int64_t fileSize, decodebudget::Reservation held) {
  std::array<std::uint8_t, 12> head{};
  ssize_t got = 0;
  do {
    got = ::pread(fd, head.data(), head.size(), 0);
  } while (got < 0 && errno == EINTR);
  if (got < 0) {
    return Unexpected{Failure{Failure::Kind::unreadable, QStringLiteral("could not read")}};
  }
  if (jpegstream::hasSignature(head.data(), static_cast<std::size_t>(got))) {
    return openJpeg(fd, fileSize, std::move(held));
  }
  PhotoSource photo;
  photo.length = fileSize;
  if (const auto declared = got == 12 ? webpLength(head) : std::nullopt) {
    photo.length = std::min(fileSize, *declared);
    photo.webpLossless = isLosslessWebp(fd, photo.length);
  }
  if (got >= 2 && head[0] == head[1] && (head[0] == 'I' || head[0] == 'M')) {
    photo.tiffLayout = tifflayout::read(fd, photo.length);
  }
  photo.source = filesource::open(fd, photo.length);
  if (!photo.source) {
    return Unexpected{Failure{Failure::Kind::unreadable, QStringLiteral("could not read")}};
  }
  return photo;
}

std::int64_t decodeCharge(const PhotoSource &photo, decodecost::Format format, VipsImage *header,
                          const decodecost::Request &request) {
  // A JPEG's stream is already in memory; WebP and GIF loaders copy the whole file in.
  const bool copiedIn = format == decodecost::Format::webp || format == decodecost::Format::gif;
  const decodecost::FileFacts file{.heldBytes =
                                       !photo.jpegBytes.empty() || copiedIn ? photo.length : 0,
                                   .length = photo.length,
                                   .jpeg = photo.jpegLayout,
                                   .webpLossless = photo.webpLossless,
                                   .tiff = photo.tiffLayout};
  return decodecost::peakBytes(format, header, file, request);
}

Expected<decodebudget::Reservation, Failure> reserveDecode(PhotoSource &photo,
                                                           decodecost::Format format,
                                                           VipsImage *header,
                                                           const decodecost::Request &request) {
  const std::int64_t bytes = decodeCharge(photo, format, header, request);
  if (bytes > decodebudget::ceiling()) {
    return Unexpected{Failure{Failure::Kind::tooLarge, overLimit(bytes)}};
  }
  if (bytes <= photo.reading.bytes()) {
    photo.reading.shrinkTo(bytes);
    return std::move(photo.reading);
  }
  if (photo.jpegBytes.empty()) {
    photo.reading = decodebudget::Reservation();
    return decodebudget::reserve(bytes);
  }
  // Waiting while holding part of the budget could leave decodes waiting for each other,
  // and giving it back while the stream stays in memory would hide those bytes.
  if (photo.reading.tryGrowTo(bytes)) {
    return std::move(photo.reading);
  }
  return Unexpected{Failure{Failure::Kind::mustWait, QStringLiteral("waits for memory"), bytes}};
}

} // namespace platform::photosource
