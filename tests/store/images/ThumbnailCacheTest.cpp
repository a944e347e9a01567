#include "app/store/images/ThumbnailCache.h"
#include "tests/store/support/ImageCacheTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;
using imagecachetest::solidImage;

namespace {

ThumbnailPtr thumbnailOf(int width, int height) {
  return std::make_shared<const Thumbnail>(solidImage(width, height));
}

} // namespace

TEST(Thumbnail, costIsBytesPerRowTimesHeight) {
  const Thumbnail thumbnail(solidImage(1400, 1050));
  EXPECT_EQ(thumbnail.image().bytesPerLine(), 5600);
  EXPECT_EQ(thumbnail.cost(), 5'880'000);
}

TEST(ThumbnailCache, countLimitEvictsLeastRecentlyUsed) {
  ThumbnailCache cache(QStringLiteral("test"), 3, 1 << 30);
  cache.insert("a", thumbnailOf(2, 2));
  cache.insert("b", thumbnailOf(2, 2));
  cache.insert("c", thumbnailOf(2, 2));
  ASSERT_NE(cache.object("a"), nullptr); // a is now the most recently used
  cache.insert("d", thumbnailOf(2, 2));
  EXPECT_EQ(cache.count(), 3);
  EXPECT_EQ(cache.object("b"), nullptr);
  EXPECT_NE(cache.object("a"), nullptr);
  EXPECT_NE(cache.object("c"), nullptr);
  EXPECT_NE(cache.object("d"), nullptr);
}

TEST(ThumbnailCache, costLimitEvictsUntilTheTotalFits) {
  // Each 10 × 10 RGB32 image costs 400 bytes.
  ThumbnailCache cache(QStringLiteral("test"), 100, 1000);
  cache.insert("a", thumbnailOf(10, 10));
  cache.insert("b", thumbnailOf(10, 10));
  EXPECT_EQ(cache.totalCost(), 800);
  cache.insert("c", thumbnailOf(10, 10));
  EXPECT_EQ(cache.count(), 2);
  EXPECT_EQ(cache.totalCost(), 800);
  EXPECT_EQ(cache.object("a"), nullptr);

  // One entry over the whole limit pushes out everything, itself included.
  cache.insert("huge", thumbnailOf(40, 40));
  EXPECT_EQ(cache.count(), 0);
  EXPECT_EQ(cache.totalCost(), 0);
}

TEST(ThumbnailCache, replacingAKeyKeepsTheCostExact) {
  ThumbnailCache cache(QStringLiteral("test"), 10, 1 << 20);
  cache.insert("a", thumbnailOf(10, 10));
  const ThumbnailPtr replacement = thumbnailOf(20, 10);
  cache.insert("a", replacement);
  EXPECT_EQ(cache.count(), 1);
  EXPECT_EQ(cache.totalCost(), 800);
  EXPECT_EQ(cache.object("a"), replacement);
  cache.removeAll();
  EXPECT_EQ(cache.count(), 0);
  EXPECT_EQ(cache.totalCost(), 0);
  EXPECT_EQ(cache.object("a"), nullptr);
}
