#include "tests/support/ImageFixtures.h"

#include "platform/core/imaging/VipsRuntime.h"

#include <algorithm>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>
#include <vips/vips.h>

namespace testsupport {
namespace {

std::uint32_t crc32(const std::string &bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char byte : bytes) {
    crc ^= static_cast<std::uint8_t>(byte);
    for (int bit = 0; bit < 8; ++bit) {
      crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
  }
  return ~crc;
}

void putBigEndian(std::string &out, std::uint32_t value) {
  for (int shift : {24, 16, 8, 0}) {
    out += static_cast<char>((value >> shift) & 0xFF);
  }
}

std::string pngChunk(const std::string &type, const std::string &data) {
  std::string chunk;
  putBigEndian(chunk, static_cast<std::uint32_t>(data.size()));
  const std::string body = type + data;
  chunk += body;
  putBigEndian(chunk, crc32(body));
  return chunk;
}

} // namespace

std::string claimingPng(std::uint32_t width, std::uint32_t height, PngColour colour,
                        bool interlaced) {
  std::string header;
  putBigEndian(header, width);
  putBigEndian(header, height);
  header += static_cast<char>(8); // bit depth
  header += static_cast<char>(colour);
  header += std::string(2, '\0'); // deflate, adaptive filtering
  header += static_cast<char>(interlaced ? 1 : 0);
  std::string out = "\x89PNG\r\n\x1a\n";
  out += pngChunk("IHDR", header);
  out += pngChunk("IDAT", std::string("\x78\x9c\x63\x00\x00\x00\x01\x00\x01", 9));
  out += pngChunk("IEND", "");
  return out;
}

bool writeImage(const std::filesystem::path &path, int width, int height,
                const std::function<Rgb(int x, int y)> &pixel) {
  if (!platform::vipsruntime::ensureStarted()) {
    return false;
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const Rgb c = pixel(x, y);
      const std::size_t at = (static_cast<std::size_t>(y) * width + x) * 3;
      bytes[at] = c.r;
      bytes[at + 1] = c.g;
      bytes[at + 2] = c.b;
    }
  }
  VipsImage *image = vips_image_new_from_memory_copy(bytes.data(), bytes.size(), width, height, 3,
                                                     VIPS_FORMAT_UCHAR);
  if (image == nullptr) {
    return false;
  }
  const bool ok = vips_image_write_to_file(image, path.c_str(), nullptr) == 0;
  g_object_unref(image);
  if (!ok) {
    vips_error_clear();
  }
  return ok;
}

bool writeScene(const std::filesystem::path &path, int seed, int width, int height) {
  const double a = 1.0 + (seed * 37 % 11);
  const double b = 1.0 + (seed * 53 % 7);
  const double phase = seed * 0.77;
  return writeImage(path, width, height, [&](int x, int y) {
    const double u = static_cast<double>(x) / width;
    const double v = static_cast<double>(y) / height;
    const double wave = std::sin(a * 6.283 * u + phase) * std::cos(b * 6.283 * v - phase);
    const double blob =
        std::exp(-40 * ((u - 0.3 - 0.05 * (seed % 5)) * (u - 0.3 - 0.05 * (seed % 5)) +
                        (v - 0.6) * (v - 0.6)));
    auto channel = [](double value) {
      return static_cast<std::uint8_t>(std::clamp(value, 0.0, 255.0));
    };
    return Rgb{channel(128 + 100 * wave), channel(60 + 180 * blob + 40 * v),
               channel(200 * u * ((seed % 3) + 1) / 3 + 30)};
  });
}

void setModified(const std::filesystem::path &path, double secondsSince1970) {
  struct timespec times[2];
  times[0].tv_sec = static_cast<time_t>(secondsSince1970);
  times[0].tv_nsec = static_cast<long>((secondsSince1970 - std::floor(secondsSince1970)) * 1e9);
  times[1] = times[0];
  ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

} // namespace testsupport
