#pragma once

#include <QImage>
#include <string>

/// Decoding of image files into display-ready QImages with libvips. Safe to call from any
/// thread; every call works on images of its own.
namespace lumora::imagedecode {

/// Starts libvips once per process. Call it on the GUI thread before the first decode so
/// that libvips is never first started on a worker.
void start();

/// The upright thumbnail of the file at `path` (native bytes, used exactly as given) whose
/// longer side is at most `maxPixel`: shrunk while loading, never enlarged, EXIF orientation
/// applied, converted to 8-bit sRGB. A null image when the file is missing, is not a photo
/// format, cannot be decoded, or `maxPixel` is not positive.
[[nodiscard]] QImage thumbnail(const std::string &path, int maxPixel);

/// Frees libvips' per-thread buffers; pool workers call it after each job, because a pooled
/// thread can end at any time without a hook of ours running on it.
void releaseThreadState();

} // namespace lumora::imagedecode
