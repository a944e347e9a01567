#pragma once

#include "engine/imaging/DecodeError.h"
#include "engine/imaging/EnumerateResult.h"
#include "engine/imaging/ExifDate.h"
#include "engine/imaging/ImageExtensions.h"
#include "engine/model/Date.h"
#include "engine/model/ScanTypes.h"
#include "engine/util/Expected.h"
#include "platform/core/imaging/DecodedImage.h"

#include <QString>
#include <QUrl>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

/// The two file-level jobs of a folder scan: listing the supported image files under the
/// folders or files the user chose, and decoding one file into a small upright picture
/// with its capture date. Reads files only; writes nothing. Every function is safe to call
/// from any thread at any time; none keeps state between calls.
namespace lumora::ImageLoader {

/// One decoded file.
struct LoadedImage {
  /// The decoded picture, orientation applied.
  platform::DecodedImage image;
  /// The EXIF capture time, absent when the file has none that parses.
  std::optional<Date> captureDate;
  /// The last path component of the file's URL (always set by `load`).
  std::optional<QString> fileName;
  /// Width × height of the file's picture before it was scaled down; 0 when not known.
  std::int64_t sourcePixels = 0;
  /// For a JPEG file, how coarsely its save kept detail (see `jpegquality::SavedQuality`);
  /// 0 for a lossless file and when not known.
  float detailStep = 0;
  /// For a small picture stored losslessly, the trace a video coder's prediction left in it
  /// (see `codingtrace::residualTrace`); 0 otherwise.
  float codingTrace = 0;
};

/// Lists the image files under `roots`, reading `includeHidden` and `minFileSize` of the
/// options. A root that is a file is listed whatever its name or size; a root that does
/// not exist adds nothing; a folder root that cannot be listed is reported in
/// `unreadableRoots`. Inside folders only regular files with a supported extension and at
/// least `minFileSize` bytes are listed; symbolic links are not followed, hidden entries
/// are skipped unless asked for, and folders named *.photoslibrary, *.app or *.bundle are
/// not entered. Files whose path is not valid UTF-8 are counted, logged and left out.
/// The files of all roots come back oldest modification first (a stable sort).
[[nodiscard]] EnumerateResult enumerate(const std::vector<QUrl> &roots, const ScanOptions &options);

/// Decodes the file so that its longer side is at most max(`maxPixel`, 64) pixels, with the
/// orientation applied and the capture date read. Absent when the file is not an image we
/// decode, is damaged, truncated, empty or larger than the pixel limit; the reason is
/// written to the diagnostics log.
[[nodiscard]] std::optional<LoadedImage> load(const QUrl &url, int maxPixel);
/// The same for the file at a native path, given as the bytes the file system gave: the
/// scan, the preview and the Trash all name a photo's file by its id, never through a URL.
[[nodiscard]] std::optional<LoadedImage> load(const std::string &path, int maxPixel);
/// The same, telling why nothing was loaded (also written to the diagnostics log).
[[nodiscard]] Expected<LoadedImage, DecodeError> loadFile(const std::string &path, int maxPixel);

/// The capture date from a file's EXIF texts: DateTimeOriginal read in the zone
/// "GMT" + OffsetTimeOriginal when that names a fixed offset, else in the system's current
/// zone. Absent when `fields` is absent, has no DateTimeOriginal, or that does not parse.
[[nodiscard]] std::optional<Date> captureDate(const std::optional<ExifDateFields> &fields);

} // namespace lumora::ImageLoader
