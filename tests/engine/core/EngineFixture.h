#pragma once

#include "engine/core/LumoraEngine.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <QStandardPaths>
#include <atomic>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <mutex>
#include <random>
#include <sstream>

namespace enginetest {

namespace fs = std::filesystem;

inline std::string readAll(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

/// A feature vector of `dimension` normally distributed values, scaled to unit length.
inline std::vector<float> randomUnitVector(std::mt19937 &random, int dimension) {
  std::normal_distribution<float> normal;
  std::vector<float> feature(static_cast<std::size_t>(dimension));
  float length = 0;
  for (float &value : feature) {
    value = normal(random);
    length += value * value;
  }
  for (float &value : feature) {
    value /= std::sqrt(length);
  }
  return feature;
}

/// Collects what a scan reports, safely from any thread.
struct Recorder {
  std::mutex mutex;
  std::vector<lumora::ScanProgress> progress;
  std::vector<std::vector<lumora::PhotoItem>> batches;

  lumora::LumoraEngine::ProgressHandler progressHandler() {
    return [this](const lumora::ScanProgress &report) {
      const std::scoped_lock guard(mutex);
      progress.push_back(report);
    };
  }
  lumora::LumoraEngine::PartialHandler partialHandler() {
    return [this](const std::vector<lumora::PhotoItem> &items) {
      const std::scoped_lock guard(mutex);
      batches.push_back(items);
    };
  }
  std::size_t analyzingReports() {
    const std::scoped_lock guard(mutex);
    return static_cast<std::size_t>(std::count_if(progress.begin(), progress.end(), [](auto &p) {
      return p.phase == lumora::ScanPhase::analyzing;
    }));
  }
};

/// A folder of generated photos and an engine with its own cache file.
class EngineTest : public ::testing::Test {
protected:
  testsupport::TempDir photos;
  testsupport::TempDir cacheDir;

  // Every engine shares the one favourites file of the data folder: each test starts and
  // leaves without one, also for the other suites of this process.
  void SetUp() override { fs::remove(lumora::FavoriteStore::defaultURL()); }
  void TearDown() override { fs::remove(lumora::FavoriteStore::defaultURL()); }

  /// Writes `count` copies of scene `seed` (a burst) taken a second apart from `start`.
  std::vector<fs::path> writeBurst(const std::string &prefix, int seed, int count, double start) {
    std::vector<fs::path> paths;
    for (int i = 0; i < count; ++i) {
      const auto path = photos.file(prefix + std::to_string(i) + ".png");
      EXPECT_TRUE(testsupport::writeScene(path, seed, 640, 480));
      testsupport::setModified(path, start + i);
      paths.push_back(path);
    }
    return paths;
  }

  /// Writes `count` different scenes, one photo each, taken hours apart from `start`.
  void writeDistinct(const std::string &prefix, int firstSeed, int count, double start) {
    for (int i = 0; i < count; ++i) {
      writeBurst(prefix + std::to_string(i) + "-", firstSeed + i, 1, start + i * 10000);
    }
  }

  std::unique_ptr<lumora::LumoraEngine> makeEngine(lumora::EngineServices services = {}) {
    return std::make_unique<lumora::LumoraEngine>(
        QString::fromStdString(cacheDir.file("analysis-cache.bin").string()), std::move(services));
  }

  lumora::ScanResult scanFolder(lumora::LumoraEngine &engine, Recorder &recorder,
                                std::stop_token stop = {}) {
    auto result = engine.scan({QUrl::fromLocalFile(QString::fromStdString(photos.path().string()))},
                              lumora::ScanOptions::defaults(), recorder.progressHandler(),
                              recorder.partialHandler(), stop);
    EXPECT_TRUE(result.hasValue());
    return result.hasValue() ? result.value() : lumora::ScanResult{};
  }

  static fs::path homeTrash() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() +
           "/Trash";
  }
};

} // namespace enginetest
