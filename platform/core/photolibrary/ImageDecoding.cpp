// libvips (through GLib) must come before Qt: Qt's "signals" keyword macro breaks GIO headers.
#include <vips/vips.h>

#include "platform/core/files/AtomicWrite.h"
#include "platform/core/imaging/PhotoSource.h"
#include "platform/core/imaging/SrgbPixels.h"
#include "platform/core/imaging/VipsImage.h"
#include "platform/core/imaging/VipsRuntime.h"
#include "platform/core/photolibrary/ImageDecoding.h"
#include "platform/core/posix/UniqueFd.h"

#include <algorithm>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <system_error>

namespace platform::imagedecoding {
namespace {

namespace fs = std::filesystem;

// Decoded results above this many pixels (a quarter gigapixel, 1 GiB as RGBA) are refused
// rather than allocated: a request with a huge box must not take the memory of the machine.
constexpr std::int64_t kMaxPixels = std::int64_t{1} << 28;

// Library files go through the same vips set-up as folder files, untrusted loaders blocked;
// the thread is registered so that vips's per-thread state goes when it ends.
bool ready() {
  if (!vipsruntime::ensureStarted()) {
    return false;
  }
  vipsruntime::attachThread();
  return true;
}

QString takeVipsError() {
  QString message = QString::fromUtf8(vips_error_buffer()).trimmed();
  vips_error_clear();
  return message.isEmpty() ? QStringLiteral("无法解码图像") : message;
}

/// A library file opened for decoding: read through pread or from memory we own, never
/// mapped, since the file may be replaced or cut short while it is read.
struct OpenedFile {
  UniqueFd fd;
  photosource::PhotoSource photo;
  decodecost::Format format = decodecost::Format::jpeg;
  /// The first image's header; no pixel is decoded yet.
  VipsImagePtr header;
};

/// Reads the file open in `opened` (under `held`, when an earlier reading's decode had to
/// wait for it) and opens its header.
Expected<void, QString> openPhoto(OpenedFile &opened, decodebudget::Reservation held) {
  struct stat st {};
  if (::fstat(opened.fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    return Unexpected{QStringLiteral("not a readable regular file")};
  }
  auto photo = photosource::open(opened.fd.get(), st.st_size, std::move(held));
  if (!photo) {
    return Unexpected{photo.error().message};
  }
  opened.photo = std::move(photo.value());
  const char *loader = vips_foreign_find_load_source(opened.photo.source.get());
  const auto format = loader != nullptr ? decodecost::formatOfLoader(loader) : std::nullopt;
  if (!format) {
    vips_error_clear();
    return Unexpected{QStringLiteral("not a supported image format")};
  }
  opened.format = *format;
  opened.header.reset(vips_image_new_from_source(opened.photo.source.get(), "", "access",
                                                 VIPS_ACCESS_SEQUENTIAL, nullptr));
  if (!opened.header) {
    return Unexpected{takeVipsError()};
  }
  return {};
}

Expected<OpenedFile, QString> openFile(const fs::path &file) {
  if (!ready()) {
    return Unexpected{takeVipsError()};
  }
  OpenedFile opened;
  opened.fd.reset(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
  if (!opened.fd.isValid()) {
    return Unexpected{QStringLiteral("not a readable regular file")};
  }
  if (auto read = openPhoto(opened, {}); !read) {
    return Unexpected{read.error()};
  }
  return opened;
}

/// Reserves the memory the decode of `opened` to at most `maxPixel` on its longer side
/// needs, then lets its header go: one loader at a time reads the source.
Expected<decodebudget::Reservation, DecodeFailure> reserveForDecode(OpenedFile &opened,
                                                                    int maxPixel) {
  const VipsImage *header = opened.header.get();
  if (std::int64_t{header->Xsize} * header->Ysize > decodebudget::kMaxInputPixels) {
    return Unexpected{DecodeFailure{QStringLiteral("%1 × %2 pixels is over the limit of %3")
                                        .arg(header->Xsize)
                                        .arg(header->Ysize)
                                        .arg(decodebudget::kMaxInputPixels),
                                    true}};
  }
  // vips_thumbnail premultiplies alpha in floating point.
  auto reservation = photosource::reserveDecode(opened.photo, opened.format, opened.header.get(),
                                                {maxPixel, true});
  if (!reservation && reservation.error().kind == photosource::Failure::Kind::mustWait) {
    // The stream leaves memory while its decode waits, and is read again afterwards.
    opened.header.reset();
    { const photosource::PhotoSource gone = std::move(opened.photo); }
    if (auto read = openPhoto(opened, decodebudget::reserve(reservation.error().bytes)); !read) {
      return Unexpected{DecodeFailure{read.error()}};
    }
    reservation = photosource::reserveDecode(opened.photo, opened.format, opened.header.get(),
                                             {maxPixel, true});
  }
  if (!reservation) {
    return Unexpected{
        DecodeFailure{reservation.error().message,
                      reservation.error().kind == photosource::Failure::Kind::tooLarge}};
  }
  opened.header.reset();
  return std::move(reservation.value());
}

} // namespace

Expected<DecodedImage, DecodeFailure> decodeFitted(const fs::path &file, Size bounds) {
  auto opened = openFile(file);
  if (!opened) {
    return Unexpected{DecodeFailure{opened.error()}};
  }
  const auto reservation = reserveForDecode(*opened, std::max(bounds.width, bounds.height));
  if (!reservation) {
    return Unexpected{reservation.error()};
  }
  VipsImagePtr fitted;
  // vips_thumbnail shrinks on load where the format allows it (JPEG, WebP, HEIF) and applies
  // the EXIF orientation; VIPS_SIZE_DOWN keeps small images at their own size.
  if (vips_thumbnail_source(opened->photo.source.get(), fitted.out(), std::max(1, bounds.width),
                            "height", std::max(1, bounds.height), "size", VIPS_SIZE_DOWN,
                            nullptr) != 0) {
    return Unexpected{DecodeFailure{takeVipsError()}};
  }
  if (std::int64_t{fitted->Xsize} * fitted->Ysize > kMaxPixels) {
    return Unexpected{DecodeFailure{QStringLiteral("图像太大，无法解码"), true}};
  }
  auto rgb = srgbpixels::toSrgb8(std::move(fitted));
  if (!rgb) {
    return Unexpected{DecodeFailure{rgb.error()}};
  }
  auto pixels = srgbpixels::render(rgb.value().get());
  if (!pixels) {
    return Unexpected{DecodeFailure{pixels.error()}};
  }
  return std::move(pixels.value());
}

std::optional<Size> storedSize(const fs::path &file) {
  // Opening is lazy: only the header is read.
  const auto opened = openFile(file);
  if (!opened) {
    return std::nullopt;
  }
  return Size{vips_image_get_width(opened->header.get()),
              vips_image_get_height(opened->header.get())};
}

Expected<void, QString> writeRendition(const fs::path &source, const fs::path &target, int side) {
  auto opened = openFile(source);
  if (!opened || std::max(opened->header->Xsize, opened->header->Ysize) <= side) {
    return {};
  }
  const auto reservation = reserveForDecode(*opened, side);
  if (!reservation) {
    return Unexpected{reservation.error().message};
  }
  VipsImagePtr thumbnail;
  if (vips_thumbnail_source(opened->photo.source.get(), thumbnail.out(), side, "size",
                            VIPS_SIZE_DOWN, nullptr) != 0) {
    return Unexpected{takeVipsError()};
  }
  // The orientation is already applied, so the metadata that would rotate it again goes.
  void *bytes = nullptr;
  std::size_t size = 0;
  if (vips_jpegsave_buffer(thumbnail.get(), &bytes, &size, "Q", 85, "strip", TRUE, nullptr) != 0) {
    return Unexpected{takeVipsError()};
  }
  const std::unique_ptr<void, decltype(&g_free)> owned(bytes, &g_free);
  std::error_code ignored;
  fs::create_directories(target.parent_path(), ignored);
  if (auto written = atomicwrite::replace(target, {static_cast<const char *>(bytes), size});
      !written) {
    return Unexpected{written.error()};
  }
  return {};
}

} // namespace platform::imagedecoding
