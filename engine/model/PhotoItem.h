#pragma once

#include "engine/model/Date.h"
#include "engine/model/ScoreTier.h"

#include <QString>
#include <QUrl>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumora {

/// One analysed photo. A plain value, safe to copy between threads.
struct PhotoItem {
  /// The file's path for a folder photo; "lib:" + local identifier for a library photo.
  std::string id;
  /// The file URL of a folder photo; "photo://asset/" + local identifier for a library photo.
  QUrl url;
  /// Aesthetics score, −1…1; 0 when the analysis gave none.
  float score = 0;
  bool isUtility = false;
  /// Laplacian variance of the grey thumbnail; larger is sharper.
  float sharpness = 0;
  /// File size in bytes; 0 for library photos.
  std::int64_t fileSize = 0;
  Date modified;
  /// When the photo was taken; `modified` when unknown.
  Date captureDate;
  /// Unit-length feature vector; empty once released (scan results carry none).
  std::vector<float> feature;
  std::optional<std::string> localIdentifier;
  bool isFavorite = false;
  /// The scanned file's device and inode, so that a deletion moves that very file and no
  /// other put under its name since; 0 for library photos and photos not from a scan.
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  PhotoItem() = default;
  /// Argument order as the engine builds photos; a missing capture date becomes `modified`.
  PhotoItem(std::string id, QUrl url, float score, bool isUtility, float sharpness,
            std::int64_t fileSize, Date modified, std::vector<float> feature,
            std::optional<std::string> localIdentifier, std::optional<Date> captureDate,
            bool isFavorite);

  bool operator==(const PhotoItem &) const = default;

  /// "图库照片" for a library photo, else the last path component of `url`.
  [[nodiscard]] QString fileName() const;
  [[nodiscard]] bool isFromLibrary() const { return localIdentifier.has_value(); }
  /// (score + 1) × 5: the 0…10 scale shown to the user.
  [[nodiscard]] double displayScore() const;
  /// `displayScore` with one decimal.
  [[nodiscard]] QString displayScoreText() const;
  /// The tier of the unrounded displayed score.
  [[nodiscard]] ScoreTier tier() const;
  [[nodiscard]] PhotoItem withFavorite(bool favorite) const;
  [[nodiscard]] PhotoItem droppingFeature() const;
  /// A sample photo for design-time previews; nothing at run time calls it.
  [[nodiscard]] static PhotoItem preview(int n);
};

/// Hashes all thirteen fields, consistent with equality.
struct PhotoItemHash {
  std::size_t operator()(const PhotoItem &item) const;
};

} // namespace lumora
