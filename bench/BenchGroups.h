#pragma once

// Synthetic groups for the view benchmarks: N groups of 2–20 photos, each photo a hard link
// of its own to one of 48 generated camera-like JPEGs, so every thumbnail is a real decode
// under its own id.

#include "engine/model/PhotoGroup.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace benchgroups {

inline constexpr int kSourceImages = 48;

/// The value at fraction `p` (0…1) of the sorted samples; 0 without samples.
inline double percentile(std::vector<double> samples, double p) {
  if (samples.empty()) {
    return 0;
  }
  std::sort(samples.begin(), samples.end());
  const auto rank = static_cast<std::size_t>(std::ceil(p * static_cast<double>(samples.size())));
  return samples[std::min(rank == 0 ? 0 : rank - 1, samples.size() - 1)];
}

/// A camera-like JPEG: smooth colour fields and stripes that differ per seed.
inline void writeSource(const std::filesystem::path &path, int seed) {
  QImage image(1600, 1200, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, 1600, 1200);
  sky.setColorAt(0, QColor::fromHsv((seed * 37) % 360, 120, 230));
  sky.setColorAt(1, QColor::fromHsv((seed * 91 + 120) % 360, 200, 90));
  painter.fillRect(image.rect(), sky);
  for (int i = 0; i < 12; ++i) {
    painter.fillRect(QRect((i * 173 + seed * 29) % 1600, 0, 40 + seed % 30, 1200),
                     QColor::fromHsv((seed * 13 + i * 29) % 360, 160, 200, 90));
  }
  painter.end();
  image.save(QString::fromStdString(path.string()), "JPG", 85);
}

/// One photo of group `group`, taken at `captured` (seconds since 1970).
inline lumora::PhotoItem photoAt(const std::filesystem::path &path, int group, int index,
                                 double captured) {
  const float score = static_cast<float>(((group * 31 + index * 17) % 200) / 100.0 - 1.0);
  return lumora::PhotoItem(
      path.string(), QUrl::fromLocalFile(QString::fromStdString(path.string())),
      index == 0 ? 0.9f : score, index % 9 == 4, 100.0f + static_cast<float>(index),
      1'500'000 + index * 1000, lumora::Date{captured}, {}, std::nullopt, lumora::Date{captured},
      index % 7 == 3);
}

/// `count` groups under `root`; `capturedAt(group)` gives each group's capture time.
inline std::vector<lumora::PhotoGroup>
makeGroups(const std::filesystem::path &root, int count,
           const std::function<double(int group)> &capturedAt) {
  namespace fs = std::filesystem;
  fs::create_directories(root / "src");
  for (int i = 0; i < kSourceImages; ++i) {
    writeSource(root / "src" / ("s" + std::to_string(i) + ".jpg"), i);
  }
  std::vector<lumora::PhotoGroup> groups;
  groups.reserve(static_cast<std::size_t>(count));
  for (int g = 0; g < count; ++g) {
    const int size = 2 + (g * 7919) % 19;
    const fs::path folder = root / ("g" + std::to_string(g / 500));
    fs::create_directories(folder);
    std::vector<lumora::PhotoItem> items;
    for (int i = 0; i < size; ++i) {
      const fs::path link = folder / ("p" + std::to_string(g) + "-" + std::to_string(i) + ".jpg");
      fs::create_hard_link(root / "src" / ("s" + std::to_string((g + i) % kSourceImages) + ".jpg"),
                           link);
      items.push_back(photoAt(link, g, i, capturedAt(g) + i));
    }
    groups.emplace_back(items.front().id, std::move(items));
  }
  return groups;
}

} // namespace benchgroups
