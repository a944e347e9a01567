#pragma once

#include "engine/imaging/DecodeError.h"
#include "engine/imaging/ExifDate.h"
#include "engine/util/Expected.h"
#include "platform/core/imaging/DecodeBudget.h"
#include "platform/core/imaging/DecodedImage.h"

#include <cstdint>
#include <string>

/// Turns one image file into a small upright sRGB picture. Safe to call from any number of
/// threads at once; each call opens, decodes and closes its own file and keeps nothing.
namespace lumora::imagedecoder {

/// Files whose header claims more pixels than this (200 megapixels) are refused before
/// their pixels are decoded: a scan must not spend seconds or gigabytes on one file.
inline constexpr std::int64_t kMaxInputPixels = platform::decodebudget::kMaxInputPixels;

/// One decoded file: its picture and the EXIF date texts of its first image.
struct DecodedFile {
  platform::DecodedImage image;
  ExifDateFields exif;
  /// The size of the file's picture before it was scaled down (as stored, before rotation).
  int originalWidth = 0;
  int originalHeight = 0;
  /// For a small picture stored losslessly, the trace a video coder's prediction left in it
  /// (see `codingtrace::residualTrace`); 0 otherwise.
  float codingTrace = 0;
};

/// Decodes the first image of the file at `path` (native bytes) so that its longer side is
/// at most `maxPixel` pixels (a smaller picture is never enlarged), with the EXIF
/// orientation applied. JPEG is decoded by libjpeg-turbo at the M/8 scale whose longer side
/// comes closest to `maxPixel` without passing it (resampled further only when even 1/8 is
/// larger), WebP at reduced size by libvips, the other formats in full and then resampled;
/// an embedded preview (HEIF thumbnails, EXIF thumbnails) is never used, since it may not
/// match the picture after an edit.
///
/// The format is recognised from the content, not the name, and only JPEG, PNG, WebP,
/// HEIF, TIFF, GIF and BMP are decoded. Folders, FIFOs and devices are refused without
/// reading, so a scan never blocks on one. Damaged and truncated files fail, and so does a
/// file cut short or rewritten while it is read (it is never mapped). Only the bytes a
/// decoder needs are read (a JPEG up to its end marker). Decodes running at once share one
/// memory budget and wait for it in the order they came (see
/// platform/core/imaging/DecodeBudget.h); one that needs more than one photo may have on
/// this machine is refused before its pixels are decoded.
[[nodiscard]] Expected<DecodedFile, DecodeError> decodeFile(const std::string &path, int maxPixel);

} // namespace lumora::imagedecoder
