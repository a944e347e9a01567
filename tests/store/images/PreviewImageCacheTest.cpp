#include "app/store/images/PreviewImageCache.h"
#include "tests/store/support/ImageCacheTestSupport.h"

#include <gtest/gtest.h>

#include <mutex>
#include <vector>

using namespace lumora;
using imagecachetest::photo;
using imagecachetest::waitFor;

namespace {

/// Stands in for the engine's preview call and records what it was asked.
struct FakeEngine {
  std::mutex mutex;
  std::vector<std::pair<std::string, int>> asked;

  ImageProducer loader() {
    return [this](const PhotoItem &item, int maxPixel) {
      std::lock_guard lock(mutex);
      asked.emplace_back(item.id, maxPixel);
      return imagecachetest::solidImage(64, 48);
    };
  }
  std::size_t count() {
    std::lock_guard lock(mutex);
    return asked.size();
  }
};

ThumbnailPtr loadNow(PreviewImageCache &cache, const std::string &id, QObject *context) {
  bool arrived = false;
  ThumbnailPtr result = cache.image(photo(id), 2048, context, [&](const ThumbnailPtr &t) {
    arrived = true;
    result = t;
  });
  if (!result) {
    EXPECT_TRUE(waitFor([&] { return arrived; })) << id;
  }
  return result;
}

} // namespace

TEST(PreviewImageCache, fillsThroughTheInjectedLoaderAndKeepsSixImages) {
  FakeEngine engine;
  PreviewImageCache cache(engine.loader());
  EXPECT_EQ(cache.cache().name(), QStringLiteral("Lumora.PreviewCache"));
  EXPECT_EQ(cache.cache().totalCostLimit(), 160 * 1024 * 1024);
  QObject context;

  ThumbnailPtr first = loadNow(cache, "/p/0.jpg", &context);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(engine.asked.front(), std::make_pair(std::string("/p/0.jpg"), 2048));
  EXPECT_EQ(loadNow(cache, "/p/0.jpg", &context), first);
  EXPECT_EQ(engine.count(), 1u);

  for (int i = 1; i <= 6; ++i) {
    ASSERT_NE(loadNow(cache, "/p/" + std::to_string(i) + ".jpg", &context), nullptr);
  }
  EXPECT_EQ(cache.cache().count(), 6);
  // Evicted, but still held here: the same image comes back without a fetch.
  EXPECT_EQ(loadNow(cache, "/p/0.jpg", &context), first);
  EXPECT_EQ(engine.count(), 7u);
  const std::weak_ptr<const Thumbnail> held = first;
  first.reset();
  for (int i = 7; i <= 12; ++i) {
    ASSERT_NE(loadNow(cache, "/p/" + std::to_string(i) + ".jpg", &context), nullptr);
  }
  EXPECT_TRUE(held.expired());
  ASSERT_NE(loadNow(cache, "/p/0.jpg", &context), nullptr); // evicted and let go: fetched anew
  EXPECT_EQ(engine.count(), 14u);
}
