#include "engine/imaging/ImageLoader.h"

#include "engine/diagnostics/Diagnostics.h"
#include "engine/diagnostics/LoggedName.h"
#include "engine/imaging/DirectoryWalker.h"
#include "engine/imaging/FileStat.h"
#include "engine/imaging/ImageDecoder.h"
#include "engine/imaging/JpegQuality.h"
#include "engine/util/StableSort.h"

#include <QFile>
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace lumora::ImageLoader {
namespace {

/// The smallest thumbnail `load` makes: below it the analysis has too little to measure.
constexpr int kMinMaxPixel = 64;

std::string localPath(const QUrl &url) {
  if (!url.isLocalFile()) {
    return {};
  }
  return QFile::encodeName(url.toLocalFile()).toStdString();
}

/// The root as the file system resolves it: absolute, without "." and "..", links followed,
/// so that one folder always gives one set of photo ids however it was named. A path that
/// cannot be resolved (it may be missing) is only made absolute.
std::string resolvedRoot(const std::string &path) {
  if (path.empty()) {
    return path;
  }
  const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                             &std::free);
  if (resolved) {
    return resolved.get();
  }
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  return error ? path : absolute.native();
}

void logInvalidNames(const DirectoryWalker &walker) {
  for (const std::string &path : walker.invalidNameSamples()) {
    Diagnostics::log(QStringLiteral("scan"),
                     QStringLiteral("skipped a file whose path is not valid UTF-8: ") +
                         logline::fileName(path));
  }
  const std::int64_t more =
      walker.invalidNameCount() - static_cast<std::int64_t>(walker.invalidNameSamples().size());
  if (more > 0) {
    Diagnostics::log(
        QStringLiteral("scan"),
        QStringLiteral("skipped %1 more files whose paths are not valid UTF-8").arg(more));
  }
}

} // namespace

EnumerateResult enumerate(const std::vector<QUrl> &roots, const ScanOptions &options) {
  EnumerateResult result;
  DirectoryWalker walker(options.includeHidden, options.minFileSize);
  for (const QUrl &root : roots) {
    const std::string path = resolvedRoot(localPath(root));
    const auto stat = FileStat::read(path);
    if (!stat) {
      continue;
    }
    if (!stat->isDirectory) {
      // A file the user picked is taken as it is: no test of its name, kind or size.
      result.files.push_back(FileInfo{path, QUrl::fromLocalFile(QFile::decodeName(path.c_str())),
                                      stat->size, stat->modified, stat->device, stat->inode});
      continue;
    }
    // A root removed since it was examined is missing, not unreadable: it adds nothing.
    if (!walker.walk(path, result.files) && FileStat::read(path)) {
      result.unreadableRoots.push_back(root);
    }
  }
  ordering::stableSortByKey(result.files, [](const FileInfo &file) { return file.modified; });
  result.invalidNameCount = walker.invalidNameCount();
  logInvalidNames(walker);
  return result;
}

std::optional<LoadedImage> load(const QUrl &url, int maxPixel) {
  return load(localPath(url), maxPixel);
}

std::optional<LoadedImage> load(const std::string &path, int maxPixel) {
  auto loaded = loadFile(path, maxPixel);
  if (!loaded) {
    return std::nullopt;
  }
  return std::move(*loaded);
}

Expected<LoadedImage, DecodeError> loadFile(const std::string &path, int maxPixel) {
  auto decoded = imagedecoder::decodeFile(path, std::max(maxPixel, kMinMaxPixel));
  if (!decoded) {
    Diagnostics::log(
        QStringLiteral("scan"),
        QStringLiteral("skipped %1: %2").arg(logline::fileName(path), decoded.error().message));
    return Unexpected(decoded.error());
  }
  const std::int64_t sourcePixels =
      static_cast<std::int64_t>(decoded->originalWidth) * decoded->originalHeight;
  const std::size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  // Read apart from the decode, from the file's first segments: the decoder's memory is
  // spent on pixels only.
  const auto saved = jpegquality::fromFile(path);
  return LoadedImage{std::move(decoded->image),        captureDate(decoded->exif),
                     QFile::decodeName(name.c_str()),  sourcePixels,
                     saved ? saved->detailStep : 0.0f, decoded->codingTrace};
}

std::optional<Date> captureDate(const std::optional<ExifDateFields> &fields) {
  if (!fields || !fields->dateTimeOriginal) {
    return std::nullopt;
  }
  std::optional<int> offset;
  if (fields->offsetTimeOriginal) {
    offset = exifdate::fixedZoneOffset("GMT" + *fields->offsetTimeOriginal);
  }
  return exifdate::parse(*fields->dateTimeOriginal, offset);
}

} // namespace lumora::ImageLoader
