#pragma once

#include "engine/util/Expected.h"
#include "platform/core/imaging/VipsImage.h"

#include <QString>

/// The resampling step of a decode: a lazily decoded picture made small and upright.
namespace lumora::downscale {

/// `image` resampled to fit a `maxPixel` square (never enlarged) in 8-bit sRGB or grey,
/// turned upright for its EXIF orientation; vips's message on failure. Pulls the picture
/// through once, top to bottom, so a sequential loader suffices. A picture with alpha is
/// premultiplied in its own sample format rather than vips_thumbnail's floating point,
/// which would hold four times the rows of a wide picture while it shrinks.
[[nodiscard]] Expected<platform::VipsImagePtr, QString> fitAndRotate(VipsImage *image,
                                                                     int maxPixel);

} // namespace lumora::downscale
