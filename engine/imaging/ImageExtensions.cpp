#include "engine/imaging/ImageExtensions.h"

#include <algorithm>

namespace lumora::ImageLoader {

const std::set<std::string, std::less<>> &supportedExtensions() {
  static const std::set<std::string, std::less<>> kExtensions{
      "jpg", "jpeg", "heic", "heif", "png", "tif", "tiff", "gif", "bmp", "webp"};
  return kExtensions;
}

std::string lowercaseExtension(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos || dot == 0) {
    return {};
  }
  std::string extension(name.substr(dot + 1));
  std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return extension;
}

} // namespace lumora::ImageLoader
