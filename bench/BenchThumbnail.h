#pragma once

// Decoding for the developer tools in this folder: one libvips thumbnail per file, upright,
// 8-bit sRGB, alpha kept. Header-only so that each tool stays a single .cpp.

#include "engine/analysis/PixelView.h"

#include <vips/vips.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace benchtools {

struct Thumbnail {
  int width = 0;
  int height = 0;
  int bands = 0;
  std::vector<std::uint8_t> pixels;

  [[nodiscard]] lumora::PixelView view() const {
    return lumora::PixelView{width, height, bands, pixels.data(), 0};
  }
};

/// Owns one VipsImage reference.
class VipsRef {
public:
  VipsRef() = default;
  explicit VipsRef(VipsImage *image) : m_image(image) {}
  VipsRef(const VipsRef &) = delete;
  VipsRef &operator=(const VipsRef &) = delete;
  ~VipsRef() {
    if (m_image != nullptr) g_object_unref(m_image);
  }
  VipsImage **out() { return &m_image; }
  [[nodiscard]] VipsImage *get() const { return m_image; }

private:
  VipsImage *m_image = nullptr;
};

/// A thumbnail of at most `maxPixel` pixels on its long side, or nothing when libvips cannot
/// read the file.
inline std::optional<Thumbnail> loadThumbnail(const std::string &path, int maxPixel) {
  VipsRef thumb, srgb, bytes;
  if (vips_thumbnail(path.c_str(), thumb.out(), maxPixel, "height", maxPixel, "size",
                     VIPS_SIZE_DOWN, nullptr) != 0 ||
      vips_colourspace(thumb.get(), srgb.out(), VIPS_INTERPRETATION_sRGB, nullptr) != 0 ||
      vips_cast_uchar(srgb.get(), bytes.out(), nullptr) != 0) {
    vips_error_clear();
    return std::nullopt;
  }
  Thumbnail t;
  t.width = vips_image_get_width(bytes.get());
  t.height = vips_image_get_height(bytes.get());
  t.bands = vips_image_get_bands(bytes.get());
  std::size_t size = 0;
  void *memory = vips_image_write_to_memory(bytes.get(), &size);
  if (memory == nullptr || t.bands < 1 || t.bands > 4) {
    g_free(memory);
    vips_error_clear();
    return std::nullopt;
  }
  const auto *begin = static_cast<const std::uint8_t *>(memory);
  t.pixels.assign(begin, begin + size);
  g_free(memory);
  return t;
}

} // namespace benchtools
