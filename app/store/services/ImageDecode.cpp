#include "app/store/services/ImageDecode.h"

#include "engine/imaging/ImageDecoder.h"

namespace lumora::imagedecode {
namespace {

// Rows of 8-bit RGB or straight-alpha RGBA samples, packed without padding.
QImage fromPacked(const std::vector<std::uint8_t> &pixels, int width, int height, int bands) {
  if (width <= 0 || height <= 0 || (bands != 3 && bands != 4)) {
    return {};
  }
  const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(bands);
  if (pixels.size() < stride * static_cast<std::size_t>(height)) {
    return {};
  }
  const bool alpha = bands == 4;
  const QImage borrowed(pixels.data(), width, height, static_cast<qsizetype>(stride),
                        alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  // The painting formats; the conversion copies, so nothing refers to `pixels` afterwards.
  return borrowed.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied
                                        : QImage::Format_RGB32);
}

} // namespace

QImage thumbnail(const std::string &path, int maxPixel) {
  if (maxPixel <= 0) {
    return {};
  }
  // A failure is an ordinary outcome here (the placeholder stays), so its reason is dropped
  // rather than logged on every repaint that asks again.
  const auto decoded = imagedecoder::decodeFile(path, maxPixel);
  return decoded ? toQImage(decoded->image) : QImage();
}

QImage toQImage(const platform::DecodedImage &image) {
  return fromPacked(image.pixels, image.width, image.height, image.bands);
}

} // namespace lumora::imagedecode
