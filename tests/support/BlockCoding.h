#pragma once

#include <functional>
#include <vector>

/// A block transform coder's rounding, done to a plane of samples so that tests can make
/// pictures with the traces a coder leaves.
namespace testsupport::blockcoding {

/// What a coder keeps of a block's coefficient `value` at vertical frequency `v` and
/// horizontal frequency `u` (0…7, of the orthonormal 8 × 8 transform).
using Coding = std::function<double(int v, int u, double value)>;

/// Codes every whole 8 × 8 block of `plane` (`width` × `height` samples, row by row) on the
/// grid whose first block has its top left at (`left`, `top`): transforms the block, passes
/// each coefficient through `coding`, and transforms back. Samples outside whole blocks are
/// left as they are; nothing is rounded or clamped.
void recode(std::vector<double> &plane, int width, int height, int left, int top,
            const Coding &coding);

} // namespace testsupport::blockcoding
