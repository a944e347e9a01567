#include "engine/imaging/ImageDecoder.h"

#include "platform/core/posix/UniqueFd.h"

#include "engine/imaging/BmpReader.h"
#include "engine/imaging/CodingTrace.h"
#include "engine/imaging/Downscale.h"
#include "engine/imaging/TurboJpeg.h"
#include "platform/core/imaging/DecodeBudget.h"
#include "platform/core/imaging/DecodeCost.h"
#include "platform/core/imaging/PhotoSource.h"
#include "platform/core/imaging/SrgbPixels.h"
#include "platform/core/imaging/VipsImage.h"
#include "platform/core/imaging/VipsRuntime.h"

#include <algorithm>
#include <array>
#include <fcntl.h>
#include <optional>
#include <span>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora::imagedecoder {
namespace {

using platform::VipsImagePtr;

using platform::decodecost::Format;

/// An error carrying what vips said.
DecodeError vipsFailure(DecodeError::Kind kind, const char *what) {
  return DecodeError{kind, platform::srgbpixels::vipsErrorText(what)};
}

DecodeError failure(DecodeError::Kind kind, const char *what) {
  return DecodeError{kind, QString::fromLatin1(what)};
}

DecodeError tooLarge(std::int64_t width, std::int64_t height, std::int64_t charge) {
  constexpr std::int64_t kMiB = std::int64_t{1} << 20;
  return DecodeError{DecodeError::Kind::tooLarge,
                     QStringLiteral("%1 × %2 pixels is over the limit of %3 (decoding needs %4 MB)")
                         .arg(width)
                         .arg(height)
                         .arg(kMaxInputPixels)
                         .arg((charge + kMiB - 1) / kMiB),
                     true};
}

/// vips shows an EXIF text field as "value (value, ASCII, N components, M bytes)"; the raw
/// value is recovered exactly by checking that the two copies agree.
std::optional<std::string> asciiFieldValue(VipsImage *image, const char *field) {
  const char *formatted = nullptr;
  if (vips_image_get_typeof(image, field) == 0 ||
      vips_image_get_string(image, field, &formatted) != 0 || formatted == nullptr) {
    vips_error_clear();
    return std::nullopt;
  }
  const std::string_view text(formatted);
  const std::size_t tail = text.rfind(", ASCII, ");
  if (tail == std::string_view::npos || !text.ends_with(" bytes)")) {
    return std::nullopt;
  }
  const std::string_view copies = text.substr(0, tail); // "value (value"
  if (copies.size() < 2 || copies.size() % 2 != 0) {
    return std::nullopt;
  }
  const std::size_t length = (copies.size() - 2) / 2;
  const std::string_view value = copies.substr(0, length);
  if (copies.substr(length, 2) != " (" || copies.substr(length + 2) != value) {
    return std::nullopt;
  }
  return std::string(value);
}

ExifDateFields readExif(VipsImage *image) {
  return ExifDateFields{asciiFieldValue(image, "exif-ifd2-DateTimeOriginal"),
                        asciiFieldValue(image, "exif-ifd2-OffsetTimeOriginal")};
}

} // namespace

namespace {

/// The header of the first image, decoded lazily and sequentially: no pixel is read yet.
Expected<VipsImagePtr, DecodeError> openImage(VipsSource *source, const char *shrinkOption,
                                              double shrinkValue) {
  VipsImagePtr image(shrinkOption == nullptr
                         ? vips_image_new_from_source(source, "", "access", VIPS_ACCESS_SEQUENTIAL,
                                                      "fail_on", VIPS_FAIL_ON_TRUNCATED, nullptr)
                         : vips_image_new_from_source(source, "", "access", VIPS_ACCESS_SEQUENTIAL,
                                                      "fail_on", VIPS_FAIL_ON_TRUNCATED,
                                                      shrinkOption, shrinkValue, nullptr));
  if (!image) {
    return Unexpected(vipsFailure(DecodeError::Kind::damaged, "unreadable image header"));
  }
  return image;
}

/// Reopens a JPEG or WebP so that the codec itself decodes at reduced size, which is most
/// of the speed of a scan. JPEG scales by 1/2, 1/4 or 1/8 in its inverse DCT; the largest
/// factor that still leaves at least `maxPixel` on the longer side is taken, and the
/// resampling step does the rest. WebP scales smoothly and is asked for the target size.
Expected<VipsImagePtr, DecodeError> reopenShrunk(VipsSource *source, Format format, int longest,
                                                 int maxPixel) {
  const double shrink = static_cast<double>(longest) / maxPixel;
  if (format == Format::jpeg) {
    const int factor = shrink >= 8 ? 8 : shrink >= 4 ? 4 : shrink >= 2 ? 2 : 1;
    // vips reads the shrink as an int from the argument list.
    VipsImagePtr image(vips_image_new_from_source(source, "", "access", VIPS_ACCESS_SEQUENTIAL,
                                                  "fail_on", VIPS_FAIL_ON_TRUNCATED, "shrink",
                                                  factor, nullptr));
    if (!image) {
      return Unexpected(vipsFailure(DecodeError::Kind::damaged, "unreadable JPEG"));
    }
    return image;
  }
  return openImage(source, "scale", 1.0 / shrink);
}

Expected<platform::DecodedImage, DecodeError> finish(VipsImage *image, int maxPixel) {
  auto fitted = downscale::fitAndRotate(image, maxPixel);
  if (!fitted) {
    return Unexpected(DecodeError{DecodeError::Kind::damaged, fitted.error()});
  }
  auto converted = platform::srgbpixels::toSrgb8(std::move(*fitted));
  if (!converted) {
    return Unexpected(DecodeError{DecodeError::Kind::damaged, converted.error()});
  }
  auto pixels = platform::srgbpixels::render(converted->get());
  if (!pixels) {
    return Unexpected(DecodeError{DecodeError::Kind::damaged, pixels.error()});
  }
  return std::move(*pixels);
}

} // namespace

namespace {

/// `full` resampled so that its longer side is at most `maxPixel`; kept as it is when it fits.
Expected<platform::DecodedImage, DecodeError> fitDecoded(platform::DecodedImage full,
                                                         int maxPixel) {
  if (std::max(full.width, full.height) <= maxPixel) {
    return full;
  }
  // The vips image borrows the decoded bytes, which outlive the whole pipeline below.
  VipsImagePtr borrowed(vips_image_new_from_memory(full.pixels.data(), full.pixels.size(),
                                                   full.width, full.height, full.bands,
                                                   VIPS_FORMAT_UCHAR));
  VipsImagePtr image;
  if (!borrowed || vips_copy(borrowed.get(), image.out(), "interpretation",
                             VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
    return Unexpected(vipsFailure(DecodeError::Kind::damaged, "could not wrap pixels"));
  }
  return finish(image.get(), maxPixel);
}

/// Whether the decode of `header`, a lossless picture small enough, keeps the picture whole
/// at its own size to look for a video coder's trace in it: 8-bit grey or RGB, with or
/// without alpha, as PNG and TIFF store most pictures.
bool keepsWhole(Format format, VipsImage *header) {
  const VipsInterpretation space = header->Type;
  return (format == Format::png || format == Format::tiff) &&
         header->BandFmt == VIPS_FORMAT_UCHAR && header->Bands >= 1 && header->Bands <= 4 &&
         (space == VIPS_INTERPRETATION_sRGB || space == VIPS_INTERPRETATION_B_W) &&
         std::int64_t{header->Xsize} * header->Ysize <= codingtrace::kMostPixels;
}

/// The samples of `image`, a picture held whole in memory.
codingtrace::Samples samplesOf(VipsImage *image) {
  return codingtrace::Samples{static_cast<const std::uint8_t *>(VIPS_IMAGE_ADDR(image, 0, 0)),
                              image->Xsize, image->Ysize, image->Bands,
                              static_cast<std::size_t>(VIPS_IMAGE_SIZEOF_LINE(image))};
}

/// The samples of `image`, a picture decoded whole.
codingtrace::Samples samplesOf(const platform::DecodedImage &image) {
  return codingtrace::Samples{image.pixels.data(), image.width, image.height, image.bands,
                              image.stride()};
}

Expected<DecodedFile, DecodeError> decodeBmp(int fd, std::int64_t fileSize, int maxPixel) {
  // Rows are read one at a time, but the picture is decoded whole, as RGBA at most.
  const std::int64_t maxPixels = std::min(
      kMaxInputPixels, (platform::decodebudget::ceiling() - platform::decodecost::kFixedBytes) / 4);
  const std::int64_t pixels = bmpreader::pixelCount(fd, fileSize).value_or(0);
  const auto reservation = platform::decodebudget::reserve(std::min(pixels, maxPixels) * 4 +
                                                           platform::decodecost::kFixedBytes);
  auto full = bmpreader::decode(fd, fileSize, maxPixels);
  if (!full) {
    DecodeError error = full.error();
    error.overPixelLimit = error.kind == DecodeError::Kind::tooLarge && pixels > kMaxInputPixels;
    return Unexpected(std::move(error));
  }
  const int width = full->width;
  const int height = full->height;
  // Decoded whole anyway: measuring it costs no memory beyond what was reserved.
  const float trace = codingtrace::residualTrace(samplesOf(*full));
  auto small = fitDecoded(std::move(*full), maxPixel);
  if (!small) {
    return Unexpected(small.error());
  }
  return DecodedFile{std::move(*small), {}, width, height, trace};
}

/// A JPEG through libjpeg-turbo's scaled decode, turned upright for `orientation`. Nothing
/// when the file is left to vips (a colour space the fast path does not convert).
Expected<std::optional<platform::DecodedImage>, DecodeError>
decodeJpeg(std::span<const std::uint8_t> bytes, int orientation, int maxPixel) {
  auto scaled = turbojpeg::decodeScaled(bytes, maxPixel);
  if (!scaled || !*scaled) {
    return scaled;
  }
  auto fitted = fitDecoded(std::move(**scaled), maxPixel);
  if (!fitted) {
    return Unexpected(fitted.error());
  }
  return std::optional<platform::DecodedImage>(
      turbojpeg::oriented(std::move(*fitted), orientation));
}

DecodeError sourceFailure(const platform::photosource::Failure &failure) {
  using Kind = platform::photosource::Failure::Kind;
  return DecodeError{failure.kind == Kind::tooLarge ? DecodeError::Kind::tooLarge
                                                    : DecodeError::Kind::unreadable,
                     failure.message};
}

/// The lazily opened first image of `source` and its format, once it is a format we decode.
struct Header {
  Format format;
  VipsImagePtr image;
};

Expected<Header, DecodeError> openHeader(VipsSource *source) {
  const char *loader = vips_foreign_find_load_source(source);
  const auto format =
      loader != nullptr ? platform::decodecost::formatOfLoader(loader) : std::nullopt;
  if (!format) {
    vips_error_clear();
    return Unexpected(
        failure(DecodeError::Kind::unsupportedFormat, "not a supported image format"));
  }
  auto image = openImage(source, nullptr, 0);
  if (!image) {
    return Unexpected(image.error());
  }
  return Header{*format, std::move(*image)};
}

/// A file opened for its decode, with the memory the decode holds.
struct Opened {
  platform::photosource::PhotoSource photo;
  Header header;
  platform::decodebudget::Reservation reservation;
};

/// Opens the file and reserves what its decode needs. A JPEG whose decode must wait for
/// memory lets its stream go while it waits and is read again afterwards.
Expected<Opened, DecodeError> openReserved(int fd, std::int64_t fileSize, int maxPixel) {
  std::int64_t waitFor = 0;
  for (int attempt = 0;; ++attempt) {
    // The earlier attempt's photo and header are gone by now, so nothing unreserved is
    // held while this waits.
    auto held = waitFor > 0 ? platform::decodebudget::reserve(waitFor)
                            : platform::decodebudget::Reservation();
    auto photo = platform::photosource::open(fd, fileSize, std::move(held));
    if (!photo) {
      return Unexpected(sourceFailure(photo.error()));
    }
    auto header = openHeader(photo->source.get());
    if (!header) {
      return Unexpected(header.error());
    }
    VipsImage *image = header->image.get();
    const platform::decodecost::Request request{maxPixel, false, keepsWhole(header->format, image)};
    if (std::int64_t{image->Xsize} * image->Ysize > kMaxInputPixels) {
      return Unexpected(
          tooLarge(image->Xsize, image->Ysize,
                   platform::photosource::decodeCharge(*photo, header->format, image, request)));
    }
    auto reservation = platform::photosource::reserveDecode(*photo, header->format, image, request);
    if (reservation) {
      return Opened{std::move(*photo), std::move(*header), std::move(*reservation)};
    }
    using Kind = platform::photosource::Failure::Kind;
    if (reservation.error().kind != Kind::mustWait || attempt > 0) {
      return Unexpected(sourceFailure(reservation.error()));
    }
    waitFor = reservation.error().bytes;
  }
}

Expected<DecodedFile, DecodeError> decodeWithVips(int fd, std::int64_t fileSize, int maxPixel) {
  auto opened = openReserved(fd, fileSize, maxPixel);
  if (!opened) {
    return Unexpected(opened.error());
  }
  platform::photosource::PhotoSource &photo = opened->photo;
  VipsSource *source = photo.source.get();
  const Format format = opened->header.format;
  VipsImagePtr image = std::move(opened->header.image);
  const int width = image->Xsize;
  const int height = image->Ysize;
  ExifDateFields exif = readExif(image.get());
  if (format == Format::jpeg) {
    auto jpeg = decodeJpeg(photo.jpegBytes, vips_image_get_orientation(image.get()), maxPixel);
    if (!jpeg) {
      return Unexpected(jpeg.error());
    }
    if (*jpeg) {
      return DecodedFile{std::move(**jpeg), std::move(exif), width, height};
    }
  }
  const int longest = std::max(width, height);
  if ((format == Format::jpeg || format == Format::webp) && longest > maxPixel) {
    image.reset(); // one loader at a time reads the source
    auto shrunk = reopenShrunk(source, format, longest, maxPixel);
    if (!shrunk) {
      return Unexpected(shrunk.error());
    }
    image = std::move(*shrunk);
  }
  float trace = 0;
  if (keepsWhole(format, image.get())) {
    // Read once into memory, measured there, and scaled down from there.
    VipsImagePtr whole(vips_image_copy_memory(image.get()));
    if (!whole) {
      return Unexpected(vipsFailure(DecodeError::Kind::damaged, "could not decode"));
    }
    trace = codingtrace::residualTrace(samplesOf(whole.get()));
    image = std::move(whole);
  }
  auto small = finish(image.get(), maxPixel);
  if (!small) {
    return Unexpected(small.error());
  }
  return DecodedFile{std::move(*small), std::move(exif), width, height, trace};
}

} // namespace

Expected<DecodedFile, DecodeError> decodeFile(const std::string &path, int maxPixel) {
  if (!platform::vipsruntime::ensureStarted()) {
    return Unexpected(failure(DecodeError::Kind::unavailable, "libvips could not be started"));
  }
  platform::vipsruntime::attachThread();
  maxPixel = std::max(maxPixel, 1);
  // Non-blocking, so that opening a FIFO returns at once instead of waiting for a writer.
  const platform::UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  struct stat st {};
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return Unexpected(failure(DecodeError::Kind::unreadable, "not a readable regular file"));
  }
  if (st.st_size == 0) {
    return Unexpected(failure(DecodeError::Kind::damaged, "empty file"));
  }
  std::array<std::uint8_t, 2> magic{};
  if (::pread(fd.get(), magic.data(), magic.size(), 0) == 2 &&
      bmpreader::hasSignature(magic.data(), magic.size())) {
    return decodeBmp(fd.get(), st.st_size, maxPixel);
  }
  return decodeWithVips(fd.get(), st.st_size, maxPixel);
}

} // namespace lumora::imagedecoder
