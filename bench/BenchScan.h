#pragma once

// The scan step of the calibration tools: a folder scanned by the engine itself, exactly as
// the application scans it (enumeration, libvips thumbnails of 512 pixels, the analyzer,
// capture dates), with a throw-away data folder so that no cache, log or favourites file of
// the user is read or written. Grouping then goes through the engine too. Header-only so
// that each tool stays a single .cpp.

#include "engine/analysis/PixelView.h"
#include "engine/core/LumoraEngine.h"
#include "engine/imaging/ImageLoader.h"
#include "platform/core/imaging/DecodedImage.h"

#include <QDir>
#include <QTemporaryDir>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace benchtools {

/// One analysed photo: its name relative to the scanned folder and the engine's item.
struct ScannedPhoto {
  std::string name;
  lumora::PhotoItem item;
};

/// The analyzer's view of a decoded picture.
inline lumora::PixelView viewOf(const platform::DecodedImage &image) {
  return lumora::PixelView{image.width, image.height, image.bands, image.pixels.data(),
                           image.stride()};
}

/// A 512-pixel thumbnail decoded as a scan decodes it, or nothing.
inline std::optional<platform::DecodedImage> loadThumbnail(const std::filesystem::path &path) {
  auto loaded =
      lumora::ImageLoader::load(QUrl::fromLocalFile(QString::fromStdString(path.string())), 512);
  if (!loaded)
    return std::nullopt;
  return std::move(loaded->image);
}

/// An engine whose data folder (cache, log, favourites) is a temporary folder.
class EngineScan {
public:
  EngineScan() {
    // Everything the engine keeps lives under the data folder; point it at the temporary one.
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
    m_engine = std::make_unique<lumora::LumoraEngine>(m_data.filePath("analysis-cache.bin"));
  }

  /// Every photo the engine finds in `folder`, in the order the engine returns them.
  std::vector<ScannedPhoto> scan(const std::filesystem::path &folder) {
    const auto root = std::filesystem::absolute(folder);
    const auto result =
        m_engine->scan({QUrl::fromLocalFile(QString::fromStdString(root.string()))},
                       lumora::ScanOptions::defaults(), [](const lumora::ScanProgress &) {});
    if (!result) {
      std::fprintf(stderr, "scan failed: %s\n", qPrintable(result.error().logText()));
      return {};
    }
    m_items = result->items;
    std::vector<ScannedPhoto> photos;
    for (const lumora::PhotoItem &item : m_items) {
      photos.push_back({std::filesystem::relative(item.id, root).string(), item});
    }
    return photos;
  }

  /// The engine's groups of the last scan at `threshold`, newest first.
  std::vector<lumora::PhotoGroup> group(float threshold) {
    return m_engine->group(m_items, threshold, lumora::GroupSort::date);
  }

private:
  QTemporaryDir m_data;
  std::unique_ptr<lumora::LumoraEngine> m_engine;
  std::vector<lumora::PhotoItem> m_items;
};

/// Whether a scene belongs to the held-out third of a calibration set: FNV-1a of its name
/// (a labelled group, or a file name for a photo of its own) is a multiple of 3.
/// tools/calibration/learn-feature-weights fits on the other two thirds with the same rule, so the
/// evaluators can report figures on scenes the fit never saw.
inline bool isHeldOut(const std::string &scene) {
  std::uint32_t hash = 2166136261u;
  for (const unsigned char c : scene) {
    hash = (hash ^ c) * 16777619u;
  }
  return hash % 3 == 0;
}

} // namespace benchtools
