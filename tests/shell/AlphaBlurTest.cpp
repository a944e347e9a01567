// The box blur behind the window's shadows, against a plain sum over each box.
#include "app/shell/components/AlphaBlur.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

using lumora::alphablur::Edge;

QImage noise(int width, int height) {
  QImage mask(width, height, QImage::Format_Alpha8);
  unsigned state = 7;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      state = state * 1103515245U + 12345U;
      mask.scanLine(y)[x] = static_cast<uchar>(state >> 16);
    }
  }
  return mask;
}

// One pass along rows or columns, each output the floored mean of its box.
void plainPass(QImage &mask, int half, Edge edge, bool rows) {
  const QImage before = mask.copy();
  const int count = rows ? mask.width() : mask.height();
  for (int y = 0; y < mask.height(); ++y) {
    for (int x = 0; x < mask.width(); ++x) {
      int sum = 0;
      for (int k = -half; k <= half; ++k) {
        int i = (rows ? x : y) + k;
        if (edge == Edge::Extended) {
          i = std::clamp(i, 0, count - 1);
        } else if (i < 0 || i >= count) {
          continue;
        }
        sum += rows ? before.constScanLine(y)[i] : before.constScanLine(i)[x];
      }
      mask.scanLine(y)[x] = static_cast<uchar>(sum / (2 * half + 1));
    }
  }
}

} // namespace

// The running sums give what summing every box afresh gives, for both edges, on a mask whose
// lines are padded in memory (width not a multiple of four) and boxes wider than the mask.
TEST(AlphaBlurTest, matchesAPlainSumOverEveryBox) {
  for (const Edge edge : {Edge::Transparent, Edge::Extended}) {
    for (const int half : {1, 3, 9}) {
      QImage fast = noise(13, 10);
      QImage plain = fast.copy();
      lumora::alphablur::blur(fast, half, edge);
      for (int pass = 0; pass < 3; ++pass) {
        plainPass(plain, half, edge, true);
        plainPass(plain, half, edge, false);
      }
      EXPECT_EQ(fast, plain) << "half " << half;
    }
  }
}

TEST(AlphaBlurTest, tintFollowsTheMask) {
  QImage mask(2, 1, QImage::Format_Alpha8);
  mask.scanLine(0)[0] = 255;
  mask.scanLine(0)[1] = 0;
  const QImage shadow = lumora::alphablur::tinted(mask, QColor(0, 0, 0, 100));
  EXPECT_EQ(qAlpha(shadow.pixel(0, 0)), 100);
  EXPECT_EQ(qAlpha(shadow.pixel(1, 0)), 0);
}
