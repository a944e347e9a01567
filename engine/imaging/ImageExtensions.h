#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

/// Which file names a folder scan takes for images. Part of the file-level jobs of a scan
/// (`ImageLoader`), kept apart so that the folder walk can ask without the decoding.
namespace lumora::ImageLoader {

/// The ten lowercase file extensions a folder scan accepts: jpg, jpeg, heic, heif, png, tif,
/// tiff, gif, bmp and webp.
[[nodiscard]] const std::set<std::string, std::less<>> &supportedExtensions();

/// The part of a file name after its last dot, ASCII-lowercased; empty when there is no dot
/// or the only dot starts the name (".profile").
[[nodiscard]] std::string lowercaseExtension(std::string_view name);

} // namespace lumora::ImageLoader
