#include "engine/imaging/Downscale.h"

#include "platform/core/imaging/SrgbPixels.h"

#include <algorithm>

namespace lumora::downscale {
namespace {

using platform::VipsImagePtr;

Unexpected<QString> failure(const char *what) {
  return Unexpected(platform::srgbpixels::vipsErrorText(what));
}

/// `image` (in 8-bit sRGB or grey) shrunk by `hshrink` × `vshrink` with its colours
/// weighted by alpha, so that transparent pixels lend no colour to their neighbours.
Expected<VipsImagePtr, QString> shrinkPremultiplied(VipsImage *image, double hshrink,
                                                    double vshrink) {
  const VipsBandFormat format = image->BandFmt;
  VipsImagePtr premultiplied;
  VipsImagePtr narrow;
  VipsImagePtr resized;
  VipsImagePtr unpremultiplied;
  VipsImagePtr out;
  if (vips_premultiply(image, premultiplied.out(), nullptr) != 0 ||
      vips_cast(premultiplied.get(), narrow.out(), format, nullptr) != 0 ||
      vips_resize(narrow.get(), resized.out(), 1.0 / hshrink, "vscale", 1.0 / vshrink, nullptr) !=
          0 ||
      vips_unpremultiply(resized.get(), unpremultiplied.out(), nullptr) != 0 ||
      vips_cast(unpremultiplied.get(), out.out(), format, nullptr) != 0) {
    return failure("could not resize");
  }
  return out;
}

/// The steps vips_thumbnail takes for a picture with alpha, premultiplied in 8 bits.
Expected<VipsImagePtr, QString> fitTransparent(VipsImage *image, int maxPixel) {
  VipsImagePtr current;
  const VipsInterpretation space =
      image->Bands < 3 ? VIPS_INTERPRETATION_B_W : VIPS_INTERPRETATION_sRGB;
  if (vips_colourspace(image, current.out(), space, nullptr) != 0) {
    return failure("could not resize");
  }
  const double shrink = static_cast<double>(std::max(image->Xsize, image->Ysize)) / maxPixel;
  if (shrink > 1.0) {
    // Neither side goes below one pixel.
    auto small = shrinkPremultiplied(current.get(), std::min<double>(shrink, image->Xsize),
                                     std::min<double>(shrink, image->Ysize));
    if (!small) {
      return small;
    }
    current = std::move(*small);
  }
  if (vips_image_get_orientation(current.get()) == 1) {
    return current;
  }
  // Rotating reads the picture out of order: the small one is made in memory first.
  VipsImagePtr inMemory(vips_image_copy_memory(current.get()));
  VipsImagePtr upright;
  if (!inMemory || vips_autorot(inMemory.get(), upright.out(), nullptr) != 0) {
    return failure("could not rotate");
  }
  return upright;
}

} // namespace

Expected<VipsImagePtr, QString> fitAndRotate(VipsImage *image, int maxPixel) {
  if (vips_image_hasalpha(image) != 0) {
    return fitTransparent(image, maxPixel);
  }
  VipsImagePtr out;
  if (vips_thumbnail_image(image, out.out(), maxPixel, "height", maxPixel, "size", VIPS_SIZE_DOWN,
                           nullptr) != 0) {
    return failure("could not resize");
  }
  return out;
}

} // namespace lumora::downscale
