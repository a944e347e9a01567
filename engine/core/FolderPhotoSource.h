#pragma once

#include "engine/core/PhotoSource.h"
#include "engine/imaging/EnumerateResult.h"
#include "engine/scan/ScanPreviews.h"

#include <QUrl>
#include <atomic>
#include <vector>

namespace lumora {

/// The image files under the folders (or files) a folder scan was given. A photo's id is its
/// path; a cached analysis holds while the file keeps its size and modification date.
class FolderPhotoSource final : public PhotoSource {
public:
  /// `previews`, when given, receives a small copy of every picture the analysis decoded.
  FolderPhotoSource(std::vector<QUrl> roots, const ScanOptions &options,
                    ScanPreviews *previews = nullptr);

  [[nodiscard]] std::optional<EngineError> list() override;
  [[nodiscard]] std::size_t count() const override { return m_listing.files.size(); }
  [[nodiscard]] QString listingLabel() const override;
  /// The first root that could not be listed, otherwise no images in the first root.
  [[nodiscard]] EngineError emptyError() const override;

  [[nodiscard]] const std::string &id(std::size_t index) const override;
  [[nodiscard]] FileVersion version(std::size_t index) const override;
  [[nodiscard]] PhotoItem cachedPhoto(std::size_t index, const CacheEntry &entry,
                                      std::vector<float> feature) override;

  /// Decodes the file at the scan's thumbnail size and analyses it; the capture date falls
  /// back to the file's modification date.
  [[nodiscard]] std::optional<FileAnalysis> analyze(std::size_t index) const override;
  [[nodiscard]] PhotoItem analysedPhoto(std::size_t index,
                                        const FileAnalysis &result) const override;
  /// The file name.
  [[nodiscard]] QString progressName(std::size_t index) const override;

  void analysisEnded() const override;
  /// Files whose names cannot be photo ids were found, but are skipped: they count as found
  /// and skipped.
  void amend(ScanResult &result) const override;

private:
  std::vector<QUrl> m_roots;
  ScanOptions m_options;
  ScanPreviews *m_previews;
  EnumerateResult m_listing;
  /// Photos the workers left out for their size.
  mutable std::atomic<std::int64_t> m_tooLarge{0};
  /// Of those, the ones over the pixel limit.
  mutable std::atomic<std::int64_t> m_tooManyPixels{0};
};

} // namespace lumora
