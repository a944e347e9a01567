#pragma once

#include "engine/model/PhotoItem.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace lumora {

/// Settings of one scan.
struct ScanOptions {
  /// Longest side in pixels of the analysis thumbnail.
  std::int64_t maxPixel = 512;
  /// Most analysis workers running at once.
  std::int64_t concurrency = 4;
  /// Files smaller than this many bytes are skipped.
  std::int64_t minFileSize = 8192;
  bool includeHidden = false;
  /// Analysed photos per batch handed to the cache log and the partial-results callback.
  std::int64_t checkpointEvery = 250;

  [[nodiscard]] static ScanOptions defaults() { return {}; }
  bool operator==(const ScanOptions &) const = default;
};

enum class ScanPhase { enumerating, analyzing, finishing };

namespace scanphase {
/// "enumerating", "analyzing" or "finishing".
[[nodiscard]] std::string_view rawValue(ScanPhase phase);
} // namespace scanphase

/// One progress report of a running scan.
struct ScanProgress {
  ScanPhase phase = ScanPhase::enumerating;
  std::int64_t done = 0;
  std::int64_t total = 0;
  /// The file name being handled; may be empty.
  QString currentName;
  /// Seconds since the scan began.
  double elapsed = 0;
  /// Seconds left, when known.
  std::optional<double> eta;

  /// Nothing done yet: enumerating, 0 of 0.
  [[nodiscard]] static const ScanProgress &idle();
  /// done ÷ total, capped at 1; 0 when total is below 1.
  [[nodiscard]] double fraction() const;
  bool operator==(const ScanProgress &) const = default;
};

/// The outcome of one scan.
struct ScanResult {
  std::vector<PhotoItem> items;
  /// Image files found.
  std::int64_t fileCount = 0;
  /// Files found that are not among the returned photos; never below 0.
  std::int64_t skippedCount = 0;
  /// Of the skipped files, those left out for their size alone: decoding them needs more
  /// memory than this machine allows one photo, or they have more pixels than any photo.
  std::int64_t tooLargeCount = 0;
  /// Of those, the ones with more pixels than any photo may have; the others need more
  /// memory to decode than this machine allows one photo.
  std::int64_t tooManyPixelsCount = 0;
  /// Of the skipped files, those a cancelled scan never came to: not analysed yet, not failed.
  std::int64_t unreachedCount = 0;
  std::int64_t cacheHitCount = 0;
  double elapsed = 0;
  /// The scan was cancelled and `items` holds what was analysed until then.
  bool isPartial = false;

  /// Milliseconds per returned photo; 0 without photos.
  [[nodiscard]] double msPerPhoto() const;
  /// Files found but not returned; never below 0.
  [[nodiscard]] std::int64_t remainingCount() const;
  bool operator==(const ScanResult &) const = default;
};

} // namespace lumora
