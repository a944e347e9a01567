// A card's photo places when the grid re-points them: what they showed a moment ago.
#include "app/results/CardImageSlot.h"
#include "app/store/images/ThumbnailLoader.h"
#include "tests/store/support/ImageCacheTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;
using imagecachetest::photo;
using imagecachetest::waitFor;

namespace {

/// Loads `item` into `slot`, active, and waits for it.
void show(CardImageSlot &slot, const PhotoItem &item) {
  slot.setActive(true);
  slot.setItem(&item);
  ASSERT_TRUE(waitFor([&] { return slot.hasImage() && !slot.isPending(); }));
}

} // namespace

// A regroup can swap a card's best photo and a candidate: the hero place is re-pointed to
// the candidate, the candidate place to the former best, whose large picture the hero place
// let go a moment before. It still stands in for the candidate's small one, even with the
// cache emptied (a rescan), and is let go once the re-pointing is over. The same photo
// re-pointed again keeps its image; the same name with a changed file does not.
TEST(CardImageSlot, aPhotoLetGoByOnePlaceStandsInForTheNextAtOnce) {
  ThumbnailLoader loader(
      [](const PhotoItem &, int maxPixel) { return imagecachetest::solidImage(maxPixel, 80); });
  CardImageSlot hero(loader, 640);
  CardImageSlot tile(loader, 160);
  const PhotoItem best = photo("/p/best.jpg");
  const PhotoItem candidate = photo("/p/candidate.jpg");
  show(hero, best);
  show(tile, candidate);
  loader.clearCache();

  hero.setItem(&candidate);
  tile.setItem(&best);
  EXPECT_FALSE(hero.hasImage()) << "no larger picture of the candidate exists";
  ASSERT_TRUE(tile.hasImage());
  EXPECT_EQ(tile.image().width(), 640) << "the best photo's large picture stands in";
  EXPECT_TRUE(tile.isPending()) << "its own size is still asked for";
  ASSERT_TRUE(waitFor([&] { return !tile.isPending() && !hero.isPending(); }));
  EXPECT_EQ(tile.image().width(), 160);

  const QImage shown = tile.image();
  tile.setItem(&best);
  EXPECT_FALSE(tile.isPending());
  EXPECT_EQ(tile.image().cacheKey(), shown.cacheKey());
  PhotoItem edited = best; // found changed by a rescan, which empties the cache
  edited.modified = Date{500};
  loader.clearCache();
  tile.setItem(&edited);
  EXPECT_FALSE(tile.hasImage()) << "a changed file is not shown as it was";
  EXPECT_TRUE(tile.isPending());
}

// A photo only a card still shows (the cache emptied by a rescan) stays findable when the
// card goes with its grid: the grid built anew on the way back from a group's detail shows
// it at once instead of an empty box.
TEST(CardImageSlot, aPhotoOnlyACardShowsOutlivesTheCard) {
  ThumbnailLoader loader(
      [](const PhotoItem &, int maxPixel) { return imagecachetest::solidImage(maxPixel, 80); });
  const PhotoItem best = photo("/p/best.jpg");
  auto card = std::make_unique<CardImageSlot>(loader, 640);
  show(*card, best);
  loader.clearCache();
  card.reset();
  CardImageSlot again(loader, 640);
  again.setActive(true);
  again.setItem(&best);
  EXPECT_TRUE(again.hasImage());
  EXPECT_FALSE(again.isPending());
}
