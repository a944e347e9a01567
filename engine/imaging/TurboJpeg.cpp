#include "engine/imaging/TurboJpeg.h"

#include <cstring>
#include <memory>
#include <turbojpeg.h>

namespace lumora::turbojpeg {
namespace {

struct HandleDestroy {
  void operator()(void *handle) const { tjDestroy(handle); }
};
using Handle = std::unique_ptr<void, HandleDestroy>;

/// One decompressor per thread: creating one costs more than a small decode.
tjhandle threadHandle() {
  thread_local const Handle handle(tjInitDecompress());
  return handle.get();
}

DecodeError turboFailure(tjhandle handle, const char *what) {
  return DecodeError{DecodeError::Kind::damaged,
                     QString::fromLatin1(what) + QStringLiteral(": ") +
                         QString::fromLocal8Bit(tjGetErrorStr2(handle))};
}

/// Whether a failed decode still gave a usable picture: libjpeg-turbo reports recoverable
/// oddities as warnings, but a file cut short is refused like every other decoder does.
bool isAcceptableWarning(tjhandle handle) {
  return tjGetErrorCode(handle) == TJERR_WARNING &&
         std::strstr(tjGetErrorStr2(handle), "Premature end") == nullptr;
}

/// Where the source pixel of upright pixel (x, y) lies, for an upright size of w × h.
struct Mapping {
  int orientation;
  int w;
  int h;
  [[nodiscard]] std::pair<int, int> source(int x, int y) const {
    switch (orientation) {
    case 2: return {w - 1 - x, y};
    case 3: return {w - 1 - x, h - 1 - y};
    case 4: return {x, h - 1 - y};
    case 5: return {y, x};
    case 6: return {y, w - 1 - x};
    case 7: return {h - 1 - y, w - 1 - x};
    case 8: return {h - 1 - y, x};
    default: return {x, y};
    }
  }
};

} // namespace

int scaleEighths(int longest, int maxPixel) {
  const auto scaled = [&](int eighths) {
    return (static_cast<std::int64_t>(longest) * eighths + 7) / 8;
  };
  // Far below the size asked for, the next larger eighth and a resample do better.
  const auto shortOf = [&](int eighths) {
    return scaled(eighths) * 8 < static_cast<std::int64_t>(maxPixel) * 7;
  };
  for (int eighths = 8; eighths > 1; --eighths) {
    if (scaled(eighths) <= maxPixel) {
      return eighths < 8 && shortOf(eighths) ? eighths + 1 : eighths;
    }
  }
  return shortOf(1) ? 2 : 1;
}

Expected<std::optional<platform::DecodedImage>, DecodeError>
decodeScaled(std::span<const std::uint8_t> data, int maxPixel) {
  tjhandle handle = threadHandle();
  if (handle == nullptr) {
    return Unexpected(DecodeError{DecodeError::Kind::unavailable,
                                  QStringLiteral("libjpeg-turbo could not be started")});
  }
  int width = 0;
  int height = 0;
  int subsampling = 0;
  int colorspace = 0;
  if (tjDecompressHeader3(handle, data.data(), static_cast<unsigned long>(data.size()), &width,
                          &height, &subsampling, &colorspace) != 0) {
    return Unexpected(turboFailure(handle, "unreadable JPEG header"));
  }
  if (colorspace == TJCS_CMYK || colorspace == TJCS_YCCK) {
    return std::optional<platform::DecodedImage>();
  }
  const tjscalingfactor factor{scaleEighths(std::max(width, height), maxPixel), 8};
  platform::DecodedImage image;
  image.width = TJSCALED(width, factor);
  image.height = TJSCALED(height, factor);
  image.bands = 3;
  image.pixels.resize(image.stride() * static_cast<std::size_t>(image.height));
  if (tjDecompress2(handle, data.data(), static_cast<unsigned long>(data.size()),
                    image.pixels.data(), image.width, static_cast<int>(image.stride()),
                    image.height, TJPF_RGB, 0) != 0 &&
      !isAcceptableWarning(handle)) {
    return Unexpected(turboFailure(handle, "damaged JPEG"));
  }
  return std::optional<platform::DecodedImage>(std::move(image));
}

platform::DecodedImage oriented(platform::DecodedImage image, int orientation) {
  if (orientation < 2 || orientation > 8) {
    return image;
  }
  const bool swaps = orientation >= 5;
  platform::DecodedImage upright;
  upright.width = swaps ? image.height : image.width;
  upright.height = swaps ? image.width : image.height;
  upright.bands = image.bands;
  upright.pixels.resize(image.pixels.size());
  const Mapping mapping{orientation, upright.width, upright.height};
  const auto bands = static_cast<std::size_t>(image.bands);
  for (int y = 0; y < upright.height; ++y) {
    std::uint8_t *out = upright.pixels.data() + static_cast<std::size_t>(y) * upright.stride();
    for (int x = 0; x < upright.width; ++x) {
      const auto [sx, sy] = mapping.source(x, y);
      std::memcpy(out + static_cast<std::size_t>(x) * bands,
                  image.row(sy) + static_cast<std::size_t>(sx) * bands, bands);
    }
  }
  return upright;
}

} // namespace lumora::turbojpeg
