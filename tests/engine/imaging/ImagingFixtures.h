#pragma once

#include "platform/core/imaging/DecodedImage.h"
#include "platform/core/imaging/VipsImage.h"

#include <QString>
#include <QUrl>
#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

/// Generated test pictures: every fixture is made by the test that uses it.
namespace fixtures {

using Rgb = std::array<std::uint8_t, 3>;

inline constexpr Rgb kRed{220, 30, 30};
inline constexpr Rgb kBlue{30, 40, 210};

/// A picture whose left half is `left` and right half `right` (the split shows rotations).
[[nodiscard]] platform::VipsImagePtr twoHalves(int width, int height, Rgb left, Rgb right);

/// EXIF fields to attach before saving.
struct Exif {
  std::optional<std::string> dateTimeOriginal;
  std::optional<std::string> offsetTimeOriginal;
  int orientation = 1;
};

/// Saves with the saver vips picks from the file name (options in brackets allowed).
void save(const platform::VipsImagePtr &image, const std::filesystem::path &path,
          const Exif &exif = {});

/// A bitmap file with 24-bit rows, written byte by byte (vips cannot write BMP without
/// ImageMagick, which we keep blocked).
[[nodiscard]] std::string bmp24(int width, int height, Rgb left, Rgb right, bool topDown = false);
/// An 8-bit palette bitmap: left half palette entry 0, right half entry 1.
[[nodiscard]] std::string bmp8(int width, int height, Rgb left, Rgb right);
/// A 32-bit bitmap with an alpha mask (V5 header); every pixel has alpha `alpha`.
[[nodiscard]] std::string bmp32(int width, int height, Rgb colour, std::uint8_t alpha);

/// A file under the name of a photo format whose bytes only one of libvips's untrusted
/// loaders would read.
struct UntrustedPicture {
  std::string name;
  std::string bytes;
};
/// A vector drawing and a netpbm bitmap.
[[nodiscard]] std::vector<UntrustedPicture> untrustedPictures();
/// `jpeg` with the size in its frame header replaced.
[[nodiscard]] std::string withJpegSize(std::string jpeg, std::uint16_t width, std::uint16_t height);

[[nodiscard]] std::string readFile(const std::filesystem::path &path);
[[nodiscard]] QUrl urlOf(const std::filesystem::path &path);
/// What the isolated test environment's diagnostics log holds so far.
[[nodiscard]] QString diagnosticsLog();

/// Mean of each colour band over the rectangle [x0, x1) × [y0, y1) given as fractions of
/// the picture's size.
[[nodiscard]] std::array<double, 3> meanColour(const platform::DecodedImage &image, double x0,
                                               double y0, double x1, double y1);
/// True when every band of `mean` is within `tolerance` of `expected`.
[[nodiscard]] bool near(const std::array<double, 3> &mean, Rgb expected, double tolerance);

} // namespace fixtures
