#pragma once

#include "engine/imaging/DecodeError.h"
#include "engine/util/Expected.h"
#include "platform/core/imaging/DecodedImage.h"

#include <cstdint>
#include <optional>
#include <span>

/// JPEG decoding through libjpeg-turbo at a reduced size: the inverse DCT itself scales by
/// M/8 (M = 1…16), so a camera photo comes out near thumbnail size for a fraction of the work
/// of a full decode. Safe to call from any number of threads at once.
namespace lumora::turbojpeg {

/// The eighths M (1…8) at which a JPEG whose longer side is `longest` pixels decodes: the
/// largest whose scaled longer side is at most `maxPixel`, or 1 (1/8) when none is. When that
/// side falls short of 7/8 of `maxPixel`, the next larger eighth, which the caller resamples
/// down to `maxPixel`: a thumbnail never comes out much smaller than asked.
[[nodiscard]] int scaleEighths(int longest, int maxPixel);

/// Decodes the JPEG in `data` to RGB at `scaleEighths` of its size, upright as decoded (the
/// caller applies any orientation). Nothing (and no error) when the JPEG's colour space is
/// one this path leaves to another decoder (CMYK, YCCK); damaged or truncated data fails.
[[nodiscard]] Expected<std::optional<platform::DecodedImage>, DecodeError>
decodeScaled(std::span<const std::uint8_t> data, int maxPixel);

/// `image` turned upright for EXIF orientation `orientation` (1…8; others leave it as is).
[[nodiscard]] platform::DecodedImage oriented(platform::DecodedImage image, int orientation);

} // namespace lumora::turbojpeg
