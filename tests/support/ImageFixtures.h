#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace testsupport {

/// An 8-bit RGB pixel.
struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

/// Writes an image whose pixels come from `pixel(x, y)`; the format follows the extension
/// (anything libvips can save). Returns false when libvips fails.
bool writeImage(const std::filesystem::path &path, int width, int height,
                const std::function<Rgb(int x, int y)> &pixel);

/// A smooth scene that differs strongly between seeds (gradients, stripes and blobs), so
/// that two seeds give clearly different photos and one seed gives the same photo.
bool writeScene(const std::filesystem::path &path, int seed, int width = 320, int height = 240);

/// The colour types a PNG header names.
enum class PngColour : std::uint8_t { grey = 0, rgb = 2, rgba = 6 };

/// The bytes of a PNG whose header claims `width` × `height` pixels of 8-bit `colour`,
/// followed by a few bytes of data: its header reads, its pixels do not.
[[nodiscard]] std::string claimingPng(std::uint32_t width, std::uint32_t height,
                                      PngColour colour = PngColour::rgb, bool interlaced = false);

/// Sets a file's modification time (seconds since 1970, sub-second allowed).
void setModified(const std::filesystem::path &path, double secondsSince1970);

} // namespace testsupport
