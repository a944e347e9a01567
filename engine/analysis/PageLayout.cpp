#include "engine/analysis/PageLayout.h"

#include "engine/analysis/BoxMean.h"
#include "engine/analysis/Resampler.h"
#include "engine/analysis/TextLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace lumora::pagelayout {

namespace {

// Pixels on each side of the window whose mean a pixel's detail is measured against: a letter
// of a page at thumbnail size is a few pixels high.
constexpr int kDetailRadius = 2;
// Detail is counted up to this many grey levels: a page's edge on a scanner's dark lid or a
// window's black frame counts no more than a line of print.
constexpr float kDetailCeiling = 30.0f;
// The blurred grid taken off is the mean of each cell's 5 × 5 neighbourhood.
constexpr int kBlurRadius = 2;
// Each cell's detail is compressed by this power: a dense block of print does not drown the
// sparser lines around it.
constexpr float kCellPower = 0.75f;
// Root-mean-square floor per entry below which the layout is not scaled up to unit length.
constexpr float kLayoutFloor = 0.1f;

using Plane = std::vector<float>;

constexpr std::size_t kJointLength = kLength + textlayout::kLength;

/// Bit 0 of a SplitMix64 hash of `place`, as a sign.
std::int8_t signAt(std::uint64_t place) {
  std::uint64_t z = (place + 1) * 0x9e3779b97f4a7c15ull;
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  z ^= z >> 31;
  return (z & 1u) != 0 ? 1 : -1;
}

// The frame's layout and the thumbnail's writing grid come first, the fine grid next, then its
// stroke directions.
constexpr std::size_t kCoarseJoint = kLength + textlayout::kThumbnailLength;
constexpr std::size_t kFineJoint = kCoarseJoint + textlayout::kFineLength;

/// The sign at row `r` and column `c` of the projection. Each group of columns draws its signs
/// from its own range, numbered as when it joined, so a picture without the later groups keeps
/// its block.
std::int8_t projectionSign(std::size_t r, std::size_t c) {
  if (c < kCoarseJoint)
    return signAt(r * kCoarseJoint + c);
  const std::size_t fineStart = kLength * kCoarseJoint;
  if (c < kFineJoint)
    return signAt(fineStart + r * textlayout::kFineLength + (c - kCoarseJoint));
  return signAt(fineStart + kLength * textlayout::kFineLength + r * textlayout::kStrokeLength +
                (c - kFineJoint));
}

/// The projection's signs, row by row.
const std::vector<std::int8_t> &projectionSigns() {
  static const std::vector<std::int8_t> signs = [] {
    std::vector<std::int8_t> out(kLength * kJointLength);
    for (std::size_t r = 0; r < kLength; ++r)
      for (std::size_t c = 0; c < kJointLength; ++c)
        out[r * kJointLength + c] = projectionSign(r, c);
    return out;
  }();
  return signs;
}

} // namespace

std::vector<float> describe(const ImagePlanes::Small &small) {
  const int w = small.width, h = small.height;
  if (w < 1 || h < 1)
    return Plane(kLength, 0.0f);
  const Plane local = boxmean::of(small.grey, w, h, kDetailRadius);
  Plane detail(small.grey.size());
  for (std::size_t i = 0; i < detail.size(); ++i)
    detail[i] = std::min(kDetailCeiling, std::abs(small.grey[i] - local[i]));
  Plane grid = resampler::resample(detail, w, resampler::Region{0, 0, w, h}, kGridSide, kGridSide);
  for (float &v : grid)
    v = std::pow(std::max(0.0f, v), kCellPower);
  return boxmean::relief(std::move(grid), kGridSide, kGridSide, kBlurRadius,
                         kLayoutFloor * std::sqrt(static_cast<double>(kLength)));
}

std::vector<float> block(const ImagePlanes &planes, const SourceFacts &facts) {
  Plane joint;
  joint.reserve(kJointLength);
  const textlayout::Measure writing = textlayout::measure(planes, facts);
  // Where a form's strokes make the writing's layout, the writing takes the frame's share too:
  // forms of one template share their frame, and a re-save resampled from fewer pixels moves
  // the frame's fine detail more than another filling of the form does.
  const float writingShare =
      kWritingShare + (1.0f - kWritingShare) * static_cast<float>(writing.formStrokes);
  const float frameShare = std::sqrt(std::max(0.0f, 1.0f - writingShare * writingShare));
  for (const float v : describe(planes.small()))
    joint.push_back(frameShare * v);
  for (const float v : writing.layout)
    joint.push_back(writingShare * v);
  const std::vector<std::int8_t> &signs = projectionSigns();
  std::vector<double> sums(kLength, 0.0);
  double before = 0, after = 0;
  for (const float v : joint)
    before += static_cast<double>(v) * v;
  for (std::size_t r = 0; r < kLength; ++r) {
    const std::int8_t *row = signs.data() + r * kJointLength;
    for (std::size_t c = 0; c < kJointLength; ++c)
      sums[r] += row[c] * static_cast<double>(joint[c]);
    after += sums[r] * sums[r];
  }
  // The projection keeps lengths only on average: the block keeps the joint layout's own.
  const double scale = after > 0 ? std::sqrt(before / after) : 0.0;
  Plane out(kLength);
  for (std::size_t r = 0; r < kLength; ++r)
    out[r] = static_cast<float>(sums[r] * scale);
  return out;
}

} // namespace lumora::pagelayout
