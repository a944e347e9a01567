#pragma once

#include "platform/core/imaging/DecodedImage.h"

#include <QImage>
#include <string>

/// Display-ready QImages from image files and from the engine's decoded pictures. Safe to
/// call from any thread; every call works on images of its own.
namespace lumora::imagedecode {

/// The upright thumbnail of the file at `path` (native bytes, used exactly as given) whose
/// longer side is at most `maxPixel`: shrunk while loading, never enlarged, EXIF orientation
/// applied. A null image when the file is missing, is not a regular file or not a photo
/// format we decode, is damaged, or `maxPixel` is not positive.
[[nodiscard]] QImage thumbnail(const std::string &path, int maxPixel);

/// The picture in a painting format (RGB32 when opaque, premultiplied ARGB32 with alpha), as
/// a copy; null for an empty or malformed picture. Also what the store's preview loader
/// applies to the engine's preview image, and the thumbnail loader to library thumbnails.
[[nodiscard]] QImage toQImage(const platform::DecodedImage &image);

} // namespace lumora::imagedecode
