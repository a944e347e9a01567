#pragma once

#include "engine/core/LibraryBackend.h"
#include "engine/core/PhotoSource.h"
#include "engine/model/LibraryAssetInfo.h"

#include <atomic>
#include <memory>
#include <vector>

namespace lumora {

/// The still images of the photo library. A photo's id is "lib:" and the asset's identifier;
/// a cached analysis holds while the asset keeps its modification date (assets have no size
/// of their own). Photos are analysed from library thumbnails, within the library's time-out.
class LibraryPhotoSource final : public PhotoSource {
public:
  LibraryPhotoSource(std::shared_ptr<LibraryBackend> library, const ScanOptions &options);

  [[nodiscard]] std::optional<EngineError> list() override;
  [[nodiscard]] std::size_t count() const override { return m_assets.size(); }
  [[nodiscard]] QString listingLabel() const override;
  /// The library's "empty" error.
  [[nodiscard]] EngineError emptyError() const override;

  [[nodiscard]] const std::string &id(std::size_t index) const override;
  [[nodiscard]] FileVersion version(std::size_t index) const override;
  /// Its capture date is the asset's creation date, whatever the entry holds.
  [[nodiscard]] PhotoItem cachedPhoto(std::size_t index, const CacheEntry &entry,
                                      std::vector<float> feature) override;

  [[nodiscard]] std::optional<FileAnalysis> analyze(std::size_t index) const override;
  [[nodiscard]] PhotoItem analysedPhoto(std::size_t index,
                                        const FileAnalysis &result) const override;
  /// "照片图库" for every asset: library scans show no per-photo name.
  [[nodiscard]] QString progressName(std::size_t index) const override;
  void amend(ScanResult &result) const override;

private:
  /// The photo of one asset from an analysis, fresh or cached: size 0, the asset's dates,
  /// identifier and favourite state.
  [[nodiscard]] PhotoItem makeLibraryItem(std::size_t index, float score, bool isUtility,
                                          float sharpness, std::vector<float> feature) const;

  std::shared_ptr<LibraryBackend> m_library;
  /// The thumbnail size asked of the library.
  int m_maxPixel = 0;
  std::vector<LibraryAssetInfo> m_assets;
  std::vector<std::string> m_ids;
  /// Photos the workers left out for their size.
  mutable std::atomic<std::int64_t> m_tooLarge{0};
};

} // namespace lumora
