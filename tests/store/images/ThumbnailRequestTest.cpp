#include "app/store/images/ThumbnailRequest.h"
#include "tests/store/support/ImageCacheTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;
using imagecachetest::Gate;
using imagecachetest::photo;
using imagecachetest::waitFor;

namespace {

class ThumbnailRequestTest : public ::testing::Test {
protected:
  // Declared first, so it outlives the loader whose workers wait on it.
  Gate m_gate;
  std::atomic<int> m_started{0};
  ThumbnailLoader m_loader{[this](const PhotoItem &item, int maxPixel) {
    ++m_started;
    m_gate.wait();
    return item.id == "/p/none.jpg" ? QImage() : imagecachetest::solidImage(maxPixel, maxPixel);
  }};
};

} // namespace

TEST_F(ThumbnailRequestTest, answersLaterWithReadyThenAtOnceFromTheCache) {
  ThumbnailRequest request(m_loader);
  int readyCount = 0;
  QObject::connect(&request, &ThumbnailRequest::ready, [&] { ++readyCount; });

  EXPECT_EQ(request.request(photo("/p/a.jpg"), 160), nullptr);
  EXPECT_TRUE(request.isPending());
  m_gate.open();
  ASSERT_TRUE(waitFor([&] { return readyCount == 1; }));
  ASSERT_NE(request.thumbnail(), nullptr);
  EXPECT_EQ(request.thumbnail()->image().width(), 160);
  EXPECT_FALSE(request.isPending());

  ThumbnailRequest card(m_loader);
  const ThumbnailPtr atOnce = card.request(photo("/p/a.jpg"), 160);
  EXPECT_EQ(atOnce, request.thumbnail());
  EXPECT_EQ(card.thumbnail(), atOnce);
  EXPECT_FALSE(card.isPending());
}

TEST_F(ThumbnailRequestTest, askingAgainDropsTheEarlierAnswer) {
  ThumbnailRequest request(m_loader);
  int readyCount = 0;
  QObject::connect(&request, &ThumbnailRequest::ready, [&] { ++readyCount; });
  request.request(photo("/p/old.jpg"), 160);
  ASSERT_TRUE(waitFor([&] { return m_started == 1; })); // its decode is running
  request.request(photo("/p/new.jpg"), 640);
  m_gate.open();
  ASSERT_TRUE(waitFor([&] { return readyCount == 1; }));
  EXPECT_EQ(request.thumbnail()->image().width(), 640);

  // The dropped answer of a running decode still fills the cache, and raises no signal.
  ASSERT_TRUE(waitFor([&] { return m_loader.cached(photo("/p/old.jpg"), 160) != nullptr; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(readyCount, 1);
  EXPECT_EQ(request.thumbnail()->image().width(), 640);

  bool idle = false;
  request.request(photo("/p/none.jpg"), 160);
  m_loader.thumbnail(photo("/p/none.jpg"), 160, &request,
                     [&](const ThumbnailPtr &) { idle = true; });
  ASSERT_TRUE(waitFor([&] { return idle; }));
  EXPECT_EQ(readyCount, 1); // nothing arrived, so no ready
  EXPECT_EQ(request.thumbnail(), nullptr);
  EXPECT_FALSE(request.isPending());
}
