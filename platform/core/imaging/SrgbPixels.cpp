#include "platform/core/imaging/SrgbPixels.h"

namespace platform::srgbpixels {

QString vipsErrorText(const char *what) {
  char *text = vips_error_buffer_copy();
  QString detail =
      QString::fromUtf8(text).trimmed().replace(QLatin1Char('\n'), QLatin1String(" | "));
  g_free(text);
  QString message = QString::fromLatin1(what);
  if (!detail.isEmpty()) {
    message += QStringLiteral(": ") + detail;
  }
  return message;
}

Expected<VipsImagePtr, QString> toSrgb8(VipsImagePtr image) {
  VipsImagePtr step;
  const VipsInterpretation guessed = vips_image_guess_interpretation(image.get());
  if (guessed != image->Type) {
    if (vips_copy(image.get(), step.out(), "interpretation", guessed, nullptr) != 0) {
      return Unexpected(vipsErrorText("unusable colour layout"));
    }
    image = std::move(step);
  }
  if (vips_colourspace(image.get(), step.out(), VIPS_INTERPRETATION_sRGB, nullptr) != 0) {
    return Unexpected(vipsErrorText("no conversion to sRGB"));
  }
  image = std::move(step);
  if (image->BandFmt != VIPS_FORMAT_UCHAR) {
    if (vips_cast_uchar(image.get(), step.out(), nullptr) != 0) {
      return Unexpected(vipsErrorText("no conversion to 8 bits"));
    }
    image = std::move(step);
  }
  if (image->Bands > 4 || image->Bands < 3) {
    const int keep = image->Bands > 4 ? (vips_image_hasalpha(image.get()) ? 4 : 3) : 0;
    if (keep == 0 || vips_extract_band(image.get(), step.out(), 0, "n", keep, nullptr) != 0) {
      return Unexpected(vipsErrorText("unusable band count"));
    }
    image = std::move(step);
  }
  return image;
}

Expected<DecodedImage, QString> render(VipsImage *image) {
  DecodedImage result;
  result.width = image->Xsize;
  result.height = image->Ysize;
  result.bands = image->Bands;
  result.pixels.resize(result.stride() * static_cast<std::size_t>(result.height));
  VipsImagePtr target(vips_image_new_from_memory(result.pixels.data(), result.pixels.size(),
                                                 result.width, result.height, result.bands,
                                                 VIPS_FORMAT_UCHAR));
  if (!target || vips_image_write(image, target.get()) != 0) {
    return Unexpected(vipsErrorText("could not decode pixels"));
  }
  return result;
}

} // namespace platform::srgbpixels
