#pragma once

#include "engine/cache/CacheEntry.h"
#include "engine/cache/FileVersion.h"
#include "engine/core/EngineError.h"
#include "engine/model/Date.h"
#include "engine/model/ImageAnalysis.h"
#include "engine/model/PhotoItem.h"
#include "engine/model/ScanTypes.h"

#include <QString>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace lumora {

/// What analysing one photo gives: the analysis and the date the photo was taken.
struct FileAnalysis {
  ImageAnalysis analysis;
  Date captureDate;
};

/// The photos one scan goes through, a folder's files or the photo library's assets, as the
/// one scan pipeline sees them. The scan lists the source once and then addresses its photos
/// by position, 0 to `count()` − 1, in the listed order.
///
/// Threads: `list`, `cachedPhoto` and the hooks run on the scan's thread; `analyze`,
/// `analysedPhoto` and `progressName` run on the analysis workers, concurrently, each for a
/// photo that was not taken from the cache.
class PhotoSource {
public:
  virtual ~PhotoSource() = default;

  /// Lists the photos; an error ends the scan before the cache is read.
  [[nodiscard]] virtual std::optional<EngineError> list() = 0;
  [[nodiscard]] virtual std::size_t count() const = 0;
  /// The label under which the listing's time is logged.
  [[nodiscard]] virtual QString listingLabel() const = 0;
  /// The error of a scan whose listing found no photo.
  [[nodiscard]] virtual EngineError emptyError() const = 0;

  /// The photo's id, which is also its key in the analysis cache.
  [[nodiscard]] virtual const std::string &id(std::size_t index) const = 0;
  /// The version of the photo a cache entry must describe to be used.
  [[nodiscard]] virtual FileVersion version(std::size_t index) const = 0;
  /// The photo made from a cache entry that describes it and the entry's vector. The scan
  /// reads nothing of that photo afterwards, so the source may move its listing out.
  [[nodiscard]] virtual PhotoItem cachedPhoto(std::size_t index, const CacheEntry &entry,
                                              std::vector<float> feature) = 0;

  /// Loads and analyses the photo; nothing when it cannot be read or analysed.
  [[nodiscard]] virtual std::optional<FileAnalysis> analyze(std::size_t index) const = 0;
  /// The photo made from its analysis.
  [[nodiscard]] virtual PhotoItem analysedPhoto(std::size_t index,
                                                const FileAnalysis &result) const = 0;
  /// The name shown while the photo is analysed.
  [[nodiscard]] virtual QString progressName(std::size_t index) const = 0;

  /// Called once the workers are done, before the scan's end.
  virtual void analysisEnded() const {}
  /// Amends the finished scan's result.
  virtual void amend(ScanResult &result) const { (void)result; }
};

} // namespace lumora
