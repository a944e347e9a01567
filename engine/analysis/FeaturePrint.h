#pragma once

#include "engine/analysis/ImagePlanes.h"
#include "engine/analysis/SourceFacts.h"

#include <array>
#include <cstddef>
#include <vector>

namespace lumora::featureprint {

/// The descriptor blocks, in the order they are concatenated.
enum class Block {
  roughLayout,
  coarseLayout,
  edges,
  coarseEdges,
  globalEdges,
  colour,
  palette,
  texture,
  borderRing
};
inline constexpr std::size_t kBlockCount = 9;

/// Per-block weights applied before concatenation. Their squares are the blocks' shares in
/// the cosine similarity of two images whose blocks are all at full contrast.
using Weights = std::array<float, kBlockCount>;

/// The weights the analyzer uses (FeatureWeights.h): grey layout on 4 × 4 and 8 × 8 cells,
/// edge orientations on 4 × 4, 2 × 2 and 1 × 1 cells, colour layout, palette, texture, border
/// ring. Fitted by tools/calibration/learn-feature-weights to the sets
/// tools/calibration/make-calibration-set builds; the border ring's weight is the least at which,
/// held out by source, no shot of the burst set joins another at 0.55 (refitting the others with
/// it moved no figure).
[[nodiscard]] const Weights &defaultWeights();

/// Each block computed on the centre crop (the border ring on the whole frame), zero-centred
/// and normalised against its contrast floor, but not yet weighted. Exposed for the
/// calibration tools.
[[nodiscard]] std::array<std::vector<float>, kBlockCount> blocks(const ImagePlanes &planes);

/// The weighted concatenation of `blocks`. Not yet scaled to unit length: the analyzer does
/// that for every feature vector alike.
[[nodiscard]] std::vector<float> combine(const std::array<std::vector<float>, kBlockCount> &parts,
                                         const Weights &weights);

/// The raw feature vector of an image: `combine(blocks(planes), defaultWeights())` scaled to
/// unit length, followed by its projection by the table tools/calibration/learn-feature-projection
/// fits to the calibration sets (FeatureProjection.h), which must be fitted again whenever the
/// blocks or their weights change; all of it scaled to unit length again. Then the layout block
/// (`pagelayout::block`: where the frame's marks lie and where its writing lies): `documentWeight`
/// (0…1, how much the picture counts as a document or screenshot) turns the vector from that part
/// towards the layout by `kLayoutAngle` × `documentWeight` radians. A photograph's layout entries
/// are zero, so its distances to other photographs are those of the vector before them; one picture
/// at two weights lies about the difference of their angles apart, a distance that grows evenly
/// with the difference of the weights and nowhere faster.
/// `facts` reach the layout block (a document's writing may be measured in a larger decode).
[[nodiscard]] std::vector<float> compute(const ImagePlanes &planes, float documentWeight,
                                         const SourceFacts &facts = {});

/// The angle (radians) by which a picture that counts wholly as a document or screenshot is
/// turned towards its layout: its layout then outweighs the rest of the vector, whose blocks see
/// every page of text, every grey window and every dark terminal alike, four to one.
inline constexpr double kLayoutAngle = 1.3258176636680326; // atan 4

/// The fixed length of every feature vector.
[[nodiscard]] std::size_t length();

/// The length of `combine`'s result, the projection's input.
[[nodiscard]] std::size_t combinedLength();

} // namespace lumora::featureprint
