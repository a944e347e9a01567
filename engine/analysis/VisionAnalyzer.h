#pragma once

#include "engine/analysis/PixelView.h"
#include "engine/analysis/SourceFacts.h"
#include "engine/model/CuratorError.h"
#include "engine/model/ImageAnalysis.h"
#include "engine/util/Expected.h"

#include <cstdint>
#include <string_view>

/// Turns one decoded thumbnail into the numbers every photo carries: a unit-length feature
/// vector for similarity, a quality score with a utility flag, and a sharpness measure.
/// Stateless and pure: analysis workers call it concurrently without locks.
namespace lumora::VisionAnalyzer {

/// The sharpness side `analyze` measures at.
inline constexpr int kSharpnessSide = 256;

/// Names what a scan measures for one file: the decoding into a thumbnail and this analysis.
/// Change it whenever the same file would give another vector, score, flag or sharpness, so
/// that caches written before are dropped instead of being compared with new vectors.
inline constexpr std::string_view kRevision = "2026-12-11.19";
/// The digest of what `analyze` gives for the generated pictures of AnalyzerRevisionTest at
/// this revision: that test fails, saying the digest it found, when the output changes while
/// the revision stays. Move both together.
inline constexpr std::uint64_t kRevisionDigest = 0xed62f5c628e0e391;

/// Analyses `image`. Fails with `CuratorError::unreadable` for the path "/" when the view
/// holds no readable pixels. Every value of a successful result is finite.
[[nodiscard]] Expected<ImageAnalysis, CuratorError> analyze(const PixelView &image);

/// The same for a thumbnail of a file whose own facts are `facts`: a lossy save's rounding
/// error and the edges of a codec's blocks are not counted as sharpness, and the detail a
/// coarse save rounded away and visible blocks lower the score (see `compressiondamage`).
[[nodiscard]] Expected<ImageAnalysis, CuratorError> analyze(const PixelView &image,
                                                            const SourceFacts &facts);

/// Variance of the 4-neighbour Laplacian over the interior of a `side` × `side` grey rendering
/// of `image` (stretched to the square, transparent areas black), in squared grey levels.
/// 0 for a flat image, for side 2 (no interior), and when the image cannot be rendered.
[[nodiscard]] float laplacianVariance(const PixelView &image, int side);

} // namespace lumora::VisionAnalyzer
