#pragma once

#include "platform/core/Expected.h"
#include "platform/core/imaging/DecodedImage.h"
#include "platform/core/imaging/VipsImage.h"

#include <QString>

/// The last steps of every decode through vips: any decoded layout brought to 8-bit sRGB
/// and its pixels copied out into a `DecodedImage`. Errors are texts naming the step.
namespace platform::srgbpixels {

/// `what`, followed by what vips said. vips keeps one message buffer for the whole process,
/// so the text may include a neighbouring thread's failure, which is harmless in a log.
[[nodiscard]] QString vipsErrorText(const char *what);

/// Brings any decoded layout (grey, 16-bit, CMYK, float, extra channels) to 8-bit sRGB
/// with 3 or 4 bands.
[[nodiscard]] Expected<VipsImagePtr, QString> toSrgb8(VipsImagePtr image);

/// Runs the pipeline ending in `image` (8-bit, 3 or 4 bands) and writes its pixels straight
/// into the result's buffer.
[[nodiscard]] Expected<DecodedImage, QString> render(VipsImage *image);

} // namespace platform::srgbpixels
