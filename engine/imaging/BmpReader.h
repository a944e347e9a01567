#pragma once

#include "engine/imaging/DecodeError.h"
#include "engine/util/Expected.h"
#include "platform/core/imaging/DecodedImage.h"

#include <cstddef>
#include <cstdint>
#include <optional>

/// Decodes Windows bitmap files. libvips reads BMP only through ImageMagick, whose many
/// coders sniff content on their own; the scanner keeps every file away from it, and BMP is
/// simple enough to read here with every offset checked against the file.
///
/// Supported: the core (OS/2) header and the 40- to 124-byte info headers; 1-, 4- and 8-bit
/// palettes; 16-, 24- and 32-bit pixels with and without bit-field masks; bottom-up and
/// top-down rows. Run-length and embedded JPEG/PNG compression are rejected.
namespace lumora::bmpreader {

/// True when `bytes` (the start of a file, at least 2 bytes) carries the BMP signature.
[[nodiscard]] bool hasSignature(const std::uint8_t *bytes, std::size_t size);

/// The number of pixels the header of the BMP file open at `fd` claims; nothing when it
/// is no bitmap header we read.
[[nodiscard]] std::optional<std::int64_t> pixelCount(int fd, std::int64_t fileSize);

/// Decodes the BMP file open at `fd` (read with pread, so the offset is left alone) of
/// `fileSize` bytes. Images of more than `maxPixels` pixels are refused before any pixel is
/// read. The result is RGB, or RGBA when the file has an alpha mask.
[[nodiscard]] Expected<platform::DecodedImage, DecodeError> decode(int fd, std::int64_t fileSize,
                                                                   std::int64_t maxPixels);

} // namespace lumora::bmpreader
