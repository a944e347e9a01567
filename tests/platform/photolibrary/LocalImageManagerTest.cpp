#include "platform/core/photolibrary/LocalImageManager.h"
#include "tests/platform/photolibrary/LibraryFixture.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <gtest/gtest.h>
#include <map>
#include <mutex>
#include <random>
#include <thread>

namespace {

using namespace std::chrono_literals;
using platform::DecodedImage;
using platform::DeliveryMode;
using platform::ImageRequestId;
using platform::ImageRequestOptions;
using platform::ImageResultInfo;
using platform::LocalImageManager;
using platform::PhotoAsset;
using platform::ResizeMode;
using platform::TargetSize;

struct Delivery {
  ImageRequestId id = 0;
  std::optional<DecodedImage> image;
  ImageResultInfo info;
  std::thread::id thread;
};

/// Records every delivery and lets the test wait, with a time-out, for final ones.
class Deliveries {
public:
  /// Starts a request whose results are recorded under its id. The id is stored under a
  /// lock that the handler also takes, so a result arriving at once still knows its id.
  ImageRequestId request(platform::ImageManager &manager, const PhotoAsset &asset,
                         TargetSize target, ImageRequestOptions options = {}) {
    const std::scoped_lock guard(m_idMutex);
    ImageRequestId *slot = &m_ids.emplace_back(0);
    *slot = manager.requestImage(
        asset, target, options,
        [this, slot](std::optional<DecodedImage> image, const ImageResultInfo &info) {
          record(slot, std::move(image), info);
        });
    return *slot;
  }
  [[nodiscard]] bool waitForFinals(std::size_t count, std::chrono::seconds limit = 20s) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, limit, [&] { return finalsLocked() >= count; });
  }
  [[nodiscard]] std::vector<Delivery> all() {
    const std::scoped_lock guard(m_mutex);
    return m_all;
  }

private:
  void record(const ImageRequestId *slot, std::optional<DecodedImage> image,
              const ImageResultInfo &info) {
    ImageRequestId id = 0;
    {
      const std::scoped_lock guard(m_idMutex);
      id = *slot;
    }
    const std::scoped_lock guard(m_mutex);
    m_all.push_back({id, std::move(image), info, std::this_thread::get_id()});
    m_changed.notify_all();
  }
  std::size_t finalsLocked() const {
    return static_cast<std::size_t>(std::count_if(
        m_all.begin(), m_all.end(), [](const Delivery &d) { return !d.info.isDegraded; }));
  }

  std::mutex m_idMutex;
  std::deque<ImageRequestId> m_ids;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::vector<Delivery> m_all;
};

class LocalImageManagerTest : public ::testing::Test {
protected:
  PhotoAsset asset(int width, int height) {
    const auto id = m_fixture.add(1.0, std::nullopt, width, height);
    return m_fixture.library().fetchAssets({id}).value().at(0);
  }
  ImageRequestId request(platform::ImageManager &manager, const PhotoAsset &a, TargetSize target,
                         ImageRequestOptions options = {}) {
    return m_deliveries.request(manager, a, target, options);
  }

  testsupport::LibraryFixture m_fixture;
  Deliveries m_deliveries;
};

TEST_F(LocalImageManagerTest, opportunisticRequestGivesTheRenditionDegradedThenTheExactFit) {
  LocalImageManager manager(2);
  const auto large = asset(1600, 1200);
  request(manager, large, {1000, 1000}, {DeliveryMode::opportunistic, ResizeMode::exact});
  ASSERT_TRUE(m_deliveries.waitForFinals(1));
  const auto all = m_deliveries.all();
  ASSERT_EQ(all.size(), 2u);
  EXPECT_TRUE(all[0].info.isDegraded);
  EXPECT_EQ(all[0].image->width, 512);
  EXPECT_FALSE(all[1].info.isDegraded);
  EXPECT_FALSE(all[1].info.isCancelled);
  ASSERT_TRUE(all[1].image.has_value());
  EXPECT_EQ(all[1].image->width, 1000);
  EXPECT_EQ(all[1].image->height, 750);
  EXPECT_EQ(all[1].image->bands, 3);
  EXPECT_EQ(all[1].image->pixels.size(), 1000u * 750u * 3u);
  EXPECT_NE(all[0].thread, std::this_thread::get_id());
  EXPECT_NE(all[1].thread, std::this_thread::get_id());
}

TEST_F(LocalImageManagerTest, highQualityAndSmallImagesGiveOnlyTheFinalNeverEnlarged) {
  LocalImageManager manager(2);
  const auto large = asset(1600, 1200);
  const auto small = asset(300, 200);
  request(manager, large, {1000, 1000}, {DeliveryMode::highQualityFormat, ResizeMode::exact});
  const auto smallId =
      request(manager, small, {1000, 1000}, {DeliveryMode::opportunistic, ResizeMode::fast});
  ASSERT_TRUE(m_deliveries.waitForFinals(2));
  const auto all = m_deliveries.all();
  ASSERT_EQ(all.size(), 2u);
  for (const auto &delivery : all) {
    EXPECT_FALSE(delivery.info.isDegraded);
    ASSERT_TRUE(delivery.image.has_value());
  }
  const auto &smallResult = all[0].id == smallId ? all[0] : all[1];
  EXPECT_EQ(smallResult.image->width, 300);
  EXPECT_EQ(smallResult.image->height, 200);
}

TEST_F(LocalImageManagerTest, fastAndExactBothFitTheBoxKeepingTheAspectRatio) {
  LocalImageManager manager(2);
  const auto large = asset(1600, 1200);
  request(manager, large, {256, 256}, {DeliveryMode::opportunistic, ResizeMode::fast});
  request(manager, large, {256, 256}, {DeliveryMode::opportunistic, ResizeMode::exact});
  ASSERT_TRUE(m_deliveries.waitForFinals(2));
  for (const auto &delivery : m_deliveries.all()) {
    EXPECT_FALSE(delivery.info.isDegraded); // the rendition is larger than the box
    ASSERT_TRUE(delivery.image.has_value());
    EXPECT_EQ(delivery.image->width, 256);
    EXPECT_EQ(delivery.image->height, 192);
  }
}

TEST_F(LocalImageManagerTest, unreadableFileEndsWithAnErrorAndNoImage) {
  LocalImageManager manager(1);
  PhotoAsset broken;
  broken.file = m_fixture.dir().write("broken.jpg", "this is no jpeg");
  request(manager, broken, {64, 64});
  ASSERT_TRUE(m_deliveries.waitForFinals(1));
  const auto all = m_deliveries.all();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_FALSE(all[0].image.has_value());
  EXPECT_FALSE(all[0].info.isCancelled);
  EXPECT_FALSE(all[0].info.error.isEmpty());
}

TEST_F(LocalImageManagerTest, cancelledWaitingRequestEndsCancelledWithoutImage) {
  LocalImageManager manager(1);
  const auto photo = asset(64, 48);
  // The only worker is held inside the first request's handler while the second waits.
  std::mutex gate;
  std::unique_lock hold(gate);
  ImageRequestId first = manager.requestImage(
      photo, {64, 64}, {}, [&gate](std::optional<DecodedImage>, const ImageResultInfo &) {
        const std::scoped_lock wait(gate);
      });
  const auto second = request(manager, photo, {64, 64});
  manager.cancelImageRequest(second);
  manager.cancelImageRequest(second);
  manager.cancelImageRequest(first + 1000); // unknown ids are ignored
  hold.unlock();
  ASSERT_TRUE(m_deliveries.waitForFinals(1));
  manager.cancelImageRequest(second); // after the end: ignored
  std::this_thread::sleep_for(50ms);
  const auto all = m_deliveries.all();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_TRUE(all[0].info.isCancelled);
  EXPECT_FALSE(all[0].image.has_value());
}

TEST_F(LocalImageManagerTest, everyRequestEndsWithExactlyOneFinalDeliveryUnderRandomCancels) {
  auto manager = std::make_unique<LocalImageManager>(4);
  const auto large = asset(1200, 900);
  const auto small = asset(120, 90);
  constexpr int kRequests = 120;
  std::vector<ImageRequestId> ids;
  std::mt19937 random(7);
  for (int i = 0; i < kRequests; ++i) {
    ids.push_back(request(*manager, i % 3 == 0 ? large : small, {600, 600}));
    if (random() % 2 == 0) {
      manager->cancelImageRequest(ids[random() % ids.size()]);
    }
  }
  // Destroying the manager cancels what still waits and delivers those cancellations too.
  manager.reset();
  ASSERT_TRUE(m_deliveries.waitForFinals(kRequests, 1s));
  std::map<ImageRequestId, int> finals;
  std::map<ImageRequestId, bool> ended;
  for (const auto &delivery : m_deliveries.all()) {
    EXPECT_FALSE(ended[delivery.id]) << "delivery after the final one for " << delivery.id;
    if (!delivery.info.isDegraded) {
      ++finals[delivery.id];
      ended[delivery.id] = true;
      EXPECT_NE(delivery.image.has_value(), delivery.info.isCancelled);
    }
  }
  EXPECT_EQ(finals.size(), static_cast<std::size_t>(kRequests));
  for (const auto &[id, count] : finals) {
    EXPECT_EQ(count, 1) << "request " << id;
  }
}

} // namespace
