#pragma once

// The scan step of the calibration tools: every photo of a folder, analysed as the engine's
// folder scan analyses it. Header-only so that each tool stays a single .cpp.
//
// This is the one place that decides how the tools reach the engine. It walks the folder,
// decodes 512-pixel thumbnails and runs the analyzer on several threads, building the
// PhotoItems as the scan does (capture date, else the modification date). Once the engine
// object can scan a folder into a throw-away cache folder, `scanFolder` becomes that call.

#include "BenchThumbnail.h"

#include "engine/analysis/VisionAnalyzer.h"
#include "engine/model/PhotoItem.h"

#include <QString>
#include <QUrl>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace benchtools {

/// One analysed photo: its name relative to the scanned folder and the engine's item.
struct ScannedPhoto {
  std::string name;
  lumora::PhotoItem item;
};

inline bool hasImageExtension(const std::filesystem::path &path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  for (const char *known : {".jpg", ".jpeg", ".heic", ".heif", ".png", ".tif", ".tiff", ".gif",
                            ".bmp", ".webp"}) {
    if (ext == known) return true;
  }
  return false;
}

inline lumora::Date modificationDate(const std::filesystem::path &path) {
  const auto written = std::filesystem::last_write_time(path);
  const auto system = std::chrono::file_clock::to_sys(written);
  return lumora::Date{std::chrono::duration<double>(system.time_since_epoch()).count()};
}

inline std::optional<lumora::PhotoItem> analyseFile(const std::filesystem::path &path) {
  const auto thumb = loadThumbnail(path.string(), 512);
  if (!thumb) return std::nullopt;
  const auto analysis = lumora::VisionAnalyzer::analyze(thumb->view());
  if (!analysis) return std::nullopt;
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  const QString file = QString::fromStdString(path.string());
  return lumora::PhotoItem(path.string(), QUrl::fromLocalFile(file), analysis->score,
                           analysis->isUtility, analysis->sharpness,
                           error ? 0 : static_cast<std::int64_t>(size), modificationDate(path),
                           analysis->feature, std::nullopt, std::nullopt, false);
}

/// Every readable image under `folder`, oldest modification first (equal dates by name).
inline std::vector<ScannedPhoto> scanFolder(const std::filesystem::path &folder) {
  std::vector<std::filesystem::path> files;
  for (const auto &entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && hasImageExtension(entry.path())) files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  std::vector<std::optional<lumora::PhotoItem>> items(files.size());
  std::atomic<std::size_t> next{0};
  {
    std::vector<std::jthread> workers;
    for (unsigned t = 0; t < std::max(1u, std::thread::hardware_concurrency()); ++t) {
      workers.emplace_back([&] {
        for (std::size_t i; (i = next++) < files.size();) items[i] = analyseFile(files[i]);
        vips_thread_shutdown();
      });
    }
  }
  std::vector<ScannedPhoto> out;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (items[i]) {
      out.push_back({std::filesystem::relative(files[i], folder).string(), std::move(*items[i])});
    }
  }
  std::stable_sort(out.begin(), out.end(), [](const ScannedPhoto &a, const ScannedPhoto &b) {
    return a.item.modified < b.item.modified;
  });
  return out;
}

} // namespace benchtools
