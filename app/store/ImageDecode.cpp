#include "app/store/ImageDecode.h"

#include "engine/imaging/ImageDecoder.h"

namespace lumora::imagedecode {

QImage thumbnail(const std::string &path, int maxPixel) {
  if (maxPixel <= 0) {
    return {};
  }
  // A failure is an ordinary outcome here (the placeholder stays), so its reason is dropped
  // rather than logged on every repaint that asks again.
  const auto decoded = ImageDecoder::decodeFile(path, maxPixel);
  return decoded ? toQImage(decoded->image) : QImage();
}

QImage toQImage(const DecodedImage &image) {
  const bool bandsKnown = image.bands == 3 || image.bands == 4;
  if (image.isEmpty() || !bandsKnown ||
      image.pixels.size() < image.stride() * static_cast<std::size_t>(image.height)) {
    return {};
  }
  const QImage borrowed(image.pixels.data(), image.width, image.height,
                        static_cast<qsizetype>(image.stride()),
                        image.hasAlpha() ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
  return borrowed.convertToFormat(image.hasAlpha() ? QImage::Format_ARGB32_Premultiplied
                                                   : QImage::Format_RGB32);
}

} // namespace lumora::imagedecode
