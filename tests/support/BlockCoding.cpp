#include "tests/support/BlockCoding.h"

#include <array>
#include <cmath>
#include <numbers>

namespace testsupport::blockcoding {

namespace {

constexpr int kSide = 8;

double basis(int k, int i) {
  const double scale = std::sqrt((k == 0 ? 1.0 : 2.0) / kSide);
  return scale * std::cos(std::numbers::pi * (2 * i + 1) * k / (2.0 * kSide));
}

/// `block` transformed along its rows and then its columns, forward or back.
std::array<double, kSide * kSide> transformed(const std::array<double, kSide * kSide> &block,
                                              bool forward) {
  const auto weight = [&](int frequency, int sample) {
    return forward ? basis(frequency, sample) : basis(sample, frequency);
  };
  std::array<double, kSide * kSide> rows{};
  for (int y = 0; y < kSide; ++y) {
    for (int k = 0; k < kSide; ++k) {
      for (int i = 0; i < kSide; ++i) {
        rows[y * kSide + k] += weight(k, i) * block[y * kSide + i];
      }
    }
  }
  std::array<double, kSide * kSide> out{};
  for (int k = 0; k < kSide; ++k) {
    for (int x = 0; x < kSide; ++x) {
      for (int i = 0; i < kSide; ++i) {
        out[k * kSide + x] += weight(k, i) * rows[i * kSide + x];
      }
    }
  }
  return out;
}

} // namespace

void recode(std::vector<double> &plane, int width, int height, int left, int top,
            const Coding &coding) {
  for (int by = top; by + kSide <= height; by += kSide) {
    for (int bx = left; bx + kSide <= width; bx += kSide) {
      std::array<double, kSide * kSide> block{};
      for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
          block[y * kSide + x] = plane[(by + y) * width + bx + x];
        }
      }
      std::array<double, kSide *kSide> c = transformed(block, true);
      for (int v = 0; v < kSide; ++v) {
        for (int u = 0; u < kSide; ++u) {
          c[v * kSide + u] = coding(v, u, c[v * kSide + u]);
        }
      }
      block = transformed(c, false);
      for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
          plane[(by + y) * width + bx + x] = block[y * kSide + x];
        }
      }
    }
  }
}

} // namespace testsupport::blockcoding
