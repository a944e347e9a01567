#pragma once

#include "platform/core/Expected.h"
#include "platform/core/imaging/DecodedImage.h"

#include <QString>
#include <filesystem>
#include <optional>

/// libvips decoding for the photo library: orientation applied, never enlarged, always
/// converted to 8-bit sRGB. Safe to call from any thread; libvips is started through the
/// shared runtime, with its block on untrusted loaders.
namespace platform::imagedecoding {

/// Why a file gave no image.
struct DecodeFailure {
  /// libvips' message, or ours.
  QString message;
  /// Decoding it needs more memory than one photo may have on this machine, or it has more
  /// pixels than any photo.
  bool tooLarge = false;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size &) const = default;
};

/// Decodes the file scaled down to fit inside `bounds`, keeping its aspect ratio; an image
/// that already fits keeps its size.
[[nodiscard]] Expected<DecodedImage, DecodeFailure> decodeFitted(const std::filesystem::path &file,
                                                                 Size bounds);
/// The stored pixel size (before orientation) from the file's header, when it is an image.
[[nodiscard]] std::optional<Size> storedSize(const std::filesystem::path &file);
/// Writes a JPEG of `source` whose longest side is `side`, when `source` is larger than
/// that; does nothing for smaller images. The file appears complete or not at all.
[[nodiscard]] Expected<void, QString> writeRendition(const std::filesystem::path &source,
                                                     const std::filesystem::path &target, int side);

} // namespace platform::imagedecoding
