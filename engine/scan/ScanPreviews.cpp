#include "engine/scan/ScanPreviews.h"

#include "engine/cache/FileVersion.h"

#include <algorithm>
#include <cmath>

namespace lumora {
namespace {

/// How much of each source sample along one axis goes into each output sample, when `from`
/// samples are averaged down to `to`: every output sample covers an equal span of the
/// source, and each source sample counts by the share of it that falls inside that span.
struct AreaWeights {
  std::vector<int> first;
  std::vector<int> count;
  /// 14-bit fixed point; those of one output sample add up to 16384.
  std::vector<std::uint32_t> weights;
  int taps = 0;

  AreaWeights(int from, int to) {
    const double span = static_cast<double>(from) / to;
    taps = static_cast<int>(std::ceil(span)) + 1;
    first.resize(static_cast<std::size_t>(to));
    count.resize(static_cast<std::size_t>(to));
    weights.assign(static_cast<std::size_t>(to) * static_cast<std::size_t>(taps), 0);
    for (int o = 0; o < to; ++o) {
      const double begin = o * span;
      const double end = std::min<double>(from, begin + span);
      const int start = static_cast<int>(begin);
      const int stop = std::min(from, static_cast<int>(std::ceil(end)));
      first[o] = start;
      count[o] = std::min(stop - start, taps);
      std::uint32_t given = 0;
      for (int k = 0; k < count[o]; ++k) {
        const double covered =
            std::min<double>(end, start + k + 1) - std::max<double>(begin, start + k);
        const auto weight = static_cast<std::uint32_t>(std::lround(covered / span * 16384.0));
        weights[static_cast<std::size_t>(o * taps + k)] = weight;
        given += weight;
      }
      // The rounding's remainder goes to the first sample, so flat areas keep their level.
      weights[static_cast<std::size_t>(o * taps)] += 16384u - given;
    }
  }
};

/// `image` averaged down so that its longer side is `longSide`: each output pixel is the
/// mean of the source area it covers, as a decoder's shrinking does, so that the copy
/// matches the thumbnail that later takes its place. Columns first over whole rows (the
/// compiler vectorises it), then along each row.
platform::DecodedImage shrunkTo(const platform::DecodedImage &image, int longSide) {
  const int longer = std::max(image.width, image.height);
  if (image.isEmpty() || longer <= longSide) {
    return image;
  }
  platform::DecodedImage out;
  out.bands = image.bands;
  out.width = std::max(1, static_cast<int>(std::lround(double(image.width) * longSide / longer)));
  out.height = std::max(1, static_cast<int>(std::lround(double(image.height) * longSide / longer)));
  const auto bands = static_cast<std::size_t>(image.bands);
  const AreaWeights down(image.height, out.height);
  const AreaWeights across(image.width, out.width);
  const std::size_t inStride = image.stride();
  // One output row's column sums at a time: 14-bit weights times 8-bit samples.
  std::vector<std::uint32_t> sums(inStride);
  out.pixels.resize(out.stride() * static_cast<std::size_t>(out.height));
  for (int y = 0; y < out.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (int k = 0; k < down.count[y]; ++k) {
      const std::uint32_t w = down.weights[static_cast<std::size_t>(y * down.taps + k)];
      const std::uint8_t *in = image.row(down.first[y] + k);
      for (std::size_t i = 0; i < inStride; ++i) {
        sums[i] += w * in[i];
      }
    }
    std::uint8_t *target = out.pixels.data() + static_cast<std::size_t>(y) * out.stride();
    for (int x = 0; x < out.width; ++x) {
      const std::uint32_t *w = &across.weights[static_cast<std::size_t>(x * across.taps)];
      const std::uint32_t *source = sums.data() + static_cast<std::size_t>(across.first[x]) * bands;
      for (std::size_t b = 0; b < bands; ++b) {
        std::uint64_t sum = 0;
        for (int k = 0; k < across.count[x]; ++k) {
          sum += std::uint64_t{w[k]} * source[static_cast<std::size_t>(k) * bands + b];
        }
        // 14 + 14 fractional bits, rounded to the nearest level.
        target[static_cast<std::size_t>(x) * bands + b] =
            static_cast<std::uint8_t>(std::min<std::uint64_t>(255, (sum + (1u << 27)) >> 28));
      }
    }
  }
  return out;
}

} // namespace

void ScanPreviews::keep(const std::string &id, std::int64_t fileSize, Date modified,
                        const platform::DecodedImage &decoded) {
  auto image = std::make_shared<const platform::DecodedImage>(shrunkTo(decoded, kLongSide));
  const std::size_t size = image->pixels.size();
  if (image->isEmpty() || size > m_budget) {
    return;
  }
  const std::scoped_lock guard(m_lock);
  if (const auto found = m_byId.find(id); found != m_byId.end()) {
    erase(found->second);
  }
  while (m_bytes + size > m_budget && !m_order.empty()) {
    erase(m_order.begin());
  }
  m_order.push_back(Entry{id, fileSize, modified, std::move(image)});
  m_byId.emplace(id, std::prev(m_order.end()));
  m_bytes += size;
}

std::shared_ptr<const platform::DecodedImage>
ScanPreviews::find(const std::string &id, std::int64_t fileSize, Date modified) const {
  const std::scoped_lock guard(m_lock);
  const auto found = m_byId.find(id);
  if (found == m_byId.end()) {
    return nullptr;
  }
  const Entry &entry = *found->second;
  const bool sameVersion = entry.fileSize == fileSize &&
                           std::abs(entry.modified.secondsSince1970 - modified.secondsSince1970) <
                               FileVersion::kSameDateTolerance;
  return sameVersion ? entry.image : nullptr;
}

void ScanPreviews::clear() {
  const std::scoped_lock guard(m_lock);
  m_order.clear();
  m_byId.clear();
  m_bytes = 0;
}

std::size_t ScanPreviews::bytes() const {
  const std::scoped_lock guard(m_lock);
  return m_bytes;
}

std::size_t ScanPreviews::count() const {
  const std::scoped_lock guard(m_lock);
  return m_order.size();
}

void ScanPreviews::erase(Order::iterator entry) {
  m_bytes -= entry->image->pixels.size();
  m_byId.erase(entry->id);
  m_order.erase(entry);
}

} // namespace lumora
