#include "tests/engine/imaging/ImagingFixtures.h"

#include "platform/core/imaging/VipsRuntime.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fixtures {
namespace {

void put16(std::string &out, std::size_t at, std::uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}
void put32(std::string &out, std::size_t at, std::uint32_t value) {
  put16(out, at, value & 0xFFFF);
  put16(out, at + 2, value >> 16);
}

/// File header and info header of a bitmap; `headerSize` 40 or 124.
std::string bmpHeaders(int width, int height, int bits, std::uint32_t headerSize,
                       std::uint32_t compression, std::uint32_t paletteBytes,
                       std::uint32_t pixelBytes) {
  std::string out(14 + headerSize + paletteBytes, '\0');
  out[0] = 'B';
  out[1] = 'M';
  put32(out, 2, static_cast<std::uint32_t>(out.size()) + pixelBytes);
  put32(out, 10, static_cast<std::uint32_t>(out.size()));
  put32(out, 14, headerSize);
  put32(out, 18, static_cast<std::uint32_t>(width));
  put32(out, 22, static_cast<std::uint32_t>(height));
  put16(out, 26, 1);
  put16(out, 28, static_cast<std::uint32_t>(bits));
  put32(out, 30, compression);
  return out;
}

std::uint32_t stride(int width, int bits) {
  return static_cast<std::uint32_t>((width * bits + 31) / 32 * 4);
}

} // namespace

platform::VipsImagePtr twoHalves(int width, int height, Rgb left, Rgb right) {
  if (!platform::vipsruntime::ensureStarted()) {
    throw std::runtime_error("vips did not start");
  }
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb &colour = x < width / 2 ? left : right;
      std::copy(colour.begin(), colour.end(), pixels.begin() + (y * width + x) * 3);
    }
  }
  platform::VipsImagePtr image(vips_image_new_from_memory_copy(pixels.data(), pixels.size(), width,
                                                               height, 3, VIPS_FORMAT_UCHAR));
  platform::VipsImagePtr tagged;
  if (!image || vips_copy(image.get(), tagged.out(), "interpretation", VIPS_INTERPRETATION_sRGB,
                          nullptr) != 0) {
    throw std::runtime_error("could not make a picture");
  }
  return tagged;
}

void save(const platform::VipsImagePtr &image, const std::filesystem::path &path,
          const Exif &exif) {
  platform::VipsImagePtr copy;
  if (vips_copy(image.get(), copy.out(), nullptr) != 0) {
    throw std::runtime_error("copy failed");
  }
  if (exif.dateTimeOriginal) {
    vips_image_set_string(copy.get(), "exif-ifd2-DateTimeOriginal", exif.dateTimeOriginal->c_str());
  }
  if (exif.offsetTimeOriginal) {
    vips_image_set_string(copy.get(), "exif-ifd2-OffsetTimeOriginal",
                          exif.offsetTimeOriginal->c_str());
  }
  if (exif.orientation != 1) {
    vips_image_set_int(copy.get(), VIPS_META_ORIENTATION, exif.orientation);
  }
  if (vips_image_write_to_file(copy.get(), path.c_str(), nullptr) != 0) {
    const std::string message = vips_error_buffer();
    vips_error_clear();
    throw std::runtime_error("could not save " + path.string() + ": " + message);
  }
}

std::string bmp24(int width, int height, Rgb left, Rgb right, bool topDown) {
  const std::uint32_t rowBytes = stride(width, 24);
  std::string out = bmpHeaders(width, topDown ? -height : height, 24, 40, 0, 0, rowBytes * height);
  for (int row = 0; row < height; ++row) {
    std::string line(rowBytes, '\0');
    for (int x = 0; x < width; ++x) {
      const Rgb &colour = x < width / 2 ? left : right;
      line[x * 3] = static_cast<char>(colour[2]);
      line[x * 3 + 1] = static_cast<char>(colour[1]);
      line[x * 3 + 2] = static_cast<char>(colour[0]);
    }
    out += line;
  }
  return out;
}

std::string bmp8(int width, int height, Rgb left, Rgb right) {
  const std::uint32_t rowBytes = stride(width, 8);
  std::string out = bmpHeaders(width, height, 8, 40, 0, 256 * 4, rowBytes * height);
  put32(out, 46, 256);
  for (int entry = 0; entry < 2; ++entry) {
    const Rgb &colour = entry == 0 ? left : right;
    const std::size_t at = 54 + static_cast<std::size_t>(entry) * 4;
    out[at] = static_cast<char>(colour[2]);
    out[at + 1] = static_cast<char>(colour[1]);
    out[at + 2] = static_cast<char>(colour[0]);
  }
  for (int row = 0; row < height; ++row) {
    std::string line(rowBytes, '\0');
    for (int x = width / 2; x < width; ++x) {
      line[x] = 1;
    }
    out += line;
  }
  return out;
}

std::string bmp32(int width, int height, Rgb colour, std::uint8_t alpha) {
  const std::uint32_t rowBytes = stride(width, 32);
  std::string out = bmpHeaders(width, height, 32, 124, 3, 0, rowBytes * height);
  put32(out, 54, 0x00FF0000);
  put32(out, 58, 0x0000FF00);
  put32(out, 62, 0x000000FF);
  put32(out, 66, 0xFF000000);
  const std::string pixel{static_cast<char>(colour[2]), static_cast<char>(colour[1]),
                          static_cast<char>(colour[0]), static_cast<char>(alpha)};
  for (int i = 0; i < width * height; ++i) {
    out += pixel;
  }
  return out;
}

std::vector<UntrustedPicture> untrustedPictures() {
  return {{"vector.jpg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"10\" height=\"10\"/>"},
          {"netpbm.png", "P6\n2 2\n255\n" + std::string(12, '\x7f')}};
}

std::string withJpegSize(std::string jpeg, std::uint16_t width, std::uint16_t height) {
  for (std::size_t i = 0; i + 9 < jpeg.size(); ++i) {
    const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
    if (static_cast<unsigned char>(jpeg[i]) == 0xFF && (marker == 0xC0 || marker == 0xC2)) {
      jpeg[i + 5] = static_cast<char>(height >> 8);
      jpeg[i + 6] = static_cast<char>(height & 0xFF);
      jpeg[i + 7] = static_cast<char>(width >> 8);
      jpeg[i + 8] = static_cast<char>(width & 0xFF);
      return jpeg;
    }
  }
  throw std::runtime_error("no frame header");
}

std::string readFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

QUrl urlOf(const std::filesystem::path &path) {
  return QUrl::fromLocalFile(QFile::decodeName(path.c_str()));
}

QString diagnosticsLog() {
  QFile file(testsupport::isolatedHome() + "/.local/share/Lumora/diagnostics.log");
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::array<double, 3> meanColour(const platform::DecodedImage &image, double x0, double y0,
                                 double x1, double y1) {
  std::array<double, 3> sum{};
  const int left = static_cast<int>(x0 * image.width), right = static_cast<int>(x1 * image.width);
  const int top = static_cast<int>(y0 * image.height), bottom = static_cast<int>(y1 * image.height);
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      for (int band = 0; band < 3; ++band) {
        sum[band] += image.row(y)[x * image.bands + band];
      }
    }
  }
  const double count = std::max(1, (right - left) * (bottom - top));
  return {sum[0] / count, sum[1] / count, sum[2] / count};
}

bool near(const std::array<double, 3> &mean, Rgb expected, double tolerance) {
  for (int band = 0; band < 3; ++band) {
    if (std::abs(mean[band] - expected[band]) > tolerance) {
      return false;
    }
  }
  return true;
}

} // namespace fixtures
