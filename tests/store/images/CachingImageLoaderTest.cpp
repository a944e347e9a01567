#include "app/store/images/CachingImageLoader.h"
#include "tests/store/support/ImageCacheTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <thread>
#include <vector>

using namespace lumora;
using imagecachetest::Gate;
using imagecachetest::photo;
using imagecachetest::waitFor;

namespace {

/// A producer whose calls are counted and, when gated, held: call n waits for gates[n].
struct Producer {
  std::atomic<int> calls{0};
  std::atomic<bool> gated{false};
  std::atomic<bool> fails{false};
  std::atomic<int> failingCall{-1};
  std::array<Gate, 4> gates;

  ImageProducer function() {
    return [this](const PhotoItem &, int maxPixel) {
      const int call = calls.fetch_add(1);
      if (gated && call < static_cast<int>(gates.size())) {
        gates[static_cast<std::size_t>(call)].wait();
      }
      return fails || call == failingCall ? QImage()
                                          : imagecachetest::solidImage(maxPixel, maxPixel / 2);
    };
  }
};

/// Collects what one waiter was answered.
struct Answer {
  bool arrived = false;
  ThumbnailPtr thumbnail;

  ThumbnailHandler handler() {
    return [this](const ThumbnailPtr &result) {
      arrived = true;
      thumbnail = result;
    };
  }
};

class CachingImageLoaderTest : public ::testing::Test {
protected:
  std::unique_ptr<CachingImageLoader> makeLoader(int maxThreads = 4) {
    return std::make_unique<CachingImageLoader>(
        CachingImageLoader::Settings{QStringLiteral("test"), 100, 1 << 30, maxThreads},
        m_producer.function());
  }

  // Declared first, so it outlives the loaders whose workers call into it.
  Producer m_producer;
  QObject m_context;
};

} // namespace

TEST(CachingImageLoaderKey, isIdHashAndSize) {
  EXPECT_EQ(CachingImageLoader::cacheKey(photo("/p/a.jpg"), 1400), "/p/a.jpg#1400");
  EXPECT_EQ(CachingImageLoader::cacheKey(photo("/p/\xff.jpg"), 160), "/p/\xff.jpg#160");
  EXPECT_NE(CachingImageLoader::cacheKey(photo("/p/\xff.jpg"), 160),
            CachingImageLoader::cacheKey(photo("/p/\xfe.jpg"), 160));
}

TEST_F(CachingImageLoaderTest, concurrentRequestsOfOneKeyShareOneDecode) {
  auto loader = makeLoader();
  m_producer.gated = true;
  std::vector<Answer> answers(12);
  for (std::size_t i = 0; i < answers.size(); ++i) {
    const int size = i % 2 == 0 ? 160 : 1400;
    EXPECT_EQ(loader->load(photo("/p/a.jpg"), size, &m_context, answers[i].handler()), nullptr);
  }
  EXPECT_EQ(loader->inflightCount(), 2);
  for (Gate &gate : m_producer.gates) {
    gate.open();
  }
  ASSERT_TRUE(waitFor([&] {
    return std::all_of(answers.begin(), answers.end(), [](const Answer &a) { return a.arrived; });
  }));

  EXPECT_EQ(m_producer.calls, 2); // one decode per size
  for (std::size_t i = 0; i < answers.size(); ++i) {
    ASSERT_NE(answers[i].thumbnail, nullptr);
    EXPECT_EQ(answers[i].thumbnail, answers[i % 2].thumbnail) << "waiter " << i;
  }
  EXPECT_EQ(answers[0].thumbnail->image().width(), 160);
  EXPECT_EQ(answers[1].thumbnail->image().width(), 1400);
  EXPECT_EQ(loader->inflightCount(), 0);
  EXPECT_EQ(loader->cache().count(), 2);

  Answer late;
  EXPECT_EQ(loader->load(photo("/p/a.jpg"), 160, &m_context, late.handler()), answers[0].thumbnail);
  EXPECT_EQ(m_producer.calls, 2);
}

TEST_F(CachingImageLoaderTest, missingImageIsNotCachedAndIsTriedAgain) {
  auto loader = makeLoader();
  m_producer.fails = true;
  Answer first;
  loader->load(photo("/p/gone.jpg"), 160, &m_context, first.handler());
  ASSERT_TRUE(waitFor([&] { return first.arrived; }));
  EXPECT_EQ(first.thumbnail, nullptr);
  EXPECT_EQ(loader->cached(photo("/p/gone.jpg"), 160), nullptr);

  m_producer.fails = false;
  Answer second;
  loader->load(photo("/p/gone.jpg"), 160, &m_context, second.handler());
  ASSERT_TRUE(waitFor([&] { return second.arrived; }));
  EXPECT_NE(second.thumbnail, nullptr);
  EXPECT_EQ(m_producer.calls, 2);
}

TEST_F(CachingImageLoaderTest, clearDuringDecodeStillAnswersTheWaiter) {
  auto loader = makeLoader();
  m_producer.gated = true;
  Answer answer;
  loader->load(photo("/p/a.jpg"), 640, &m_context, answer.handler());
  ASSERT_TRUE(waitFor([&] { return m_producer.calls == 1; }));
  loader->clear();
  EXPECT_EQ(loader->inflightCount(), 0);

  m_producer.gates[0].open();
  ASSERT_TRUE(waitFor([&] { return answer.arrived; }));
  ASSERT_NE(answer.thumbnail, nullptr);
  // The decode had already run, so its image is kept like any other.
  EXPECT_EQ(loader->cached(photo("/p/a.jpg"), 640), answer.thumbnail);
}

TEST_F(CachingImageLoaderTest, staleDecodeFinishingAfterClearLeavesTheNewerJobRegistered) {
  auto loader = makeLoader();
  m_producer.gated = true;
  m_producer.failingCall = 0; // the old decode finds nothing, so it caches nothing
  Answer old;
  loader->load(photo("/p/a.jpg"), 640, &m_context, old.handler());
  ASSERT_TRUE(waitFor([&] { return m_producer.calls == 1; }));
  loader->clear();
  Answer fresh;
  loader->load(photo("/p/a.jpg"), 640, &m_context, fresh.handler());
  ASSERT_TRUE(waitFor([&] { return m_producer.calls == 2; }));

  m_producer.gates[0].open();
  ASSERT_TRUE(waitFor([&] { return old.arrived; }));
  EXPECT_EQ(old.thumbnail, nullptr);
  EXPECT_EQ(loader->inflightCount(), 1);

  // The next request must join the running job rather than start a third decode.
  Answer joiner;
  ASSERT_EQ(loader->load(photo("/p/a.jpg"), 640, &m_context, joiner.handler()), nullptr);
  m_producer.gates[1].open();
  ASSERT_TRUE(waitFor([&] { return fresh.arrived && joiner.arrived; }));
  EXPECT_EQ(m_producer.calls, 2);
  ASSERT_NE(fresh.thumbnail, nullptr);
  EXPECT_EQ(joiner.thumbnail, fresh.thumbnail);
}

TEST_F(CachingImageLoaderTest, clearCancelsJobsThatHaveNotStarted) {
  auto loader = makeLoader(1);
  m_producer.gated = true;
  Answer running;
  Answer queued;
  loader->load(photo("/p/a.jpg"), 160, &m_context, running.handler());
  loader->load(photo("/p/b.jpg"), 160, &m_context, queued.handler());
  ASSERT_TRUE(waitFor([&] { return m_producer.calls == 1; }));
  loader->clear();
  m_producer.gates[0].open();

  ASSERT_TRUE(waitFor([&] { return running.arrived && queued.arrived; }));
  EXPECT_NE(running.thumbnail, nullptr);
  EXPECT_EQ(queued.thumbnail, nullptr);
  EXPECT_EQ(m_producer.calls, 1);
  EXPECT_EQ(loader->cached(photo("/p/b.jpg"), 160), nullptr);
}

TEST_F(CachingImageLoaderTest, destroyedContextIsNotCalledButOthersAre) {
  auto loader = makeLoader();
  m_producer.gated = true;
  auto doomed = std::make_unique<QObject>();
  bool doomedCalled = false;
  Answer survivor;
  loader->load(photo("/p/a.jpg"), 160, doomed.get(),
               [&](const ThumbnailPtr &) { doomedCalled = true; });
  loader->load(photo("/p/a.jpg"), 160, &m_context, survivor.handler());
  doomed.reset();
  m_producer.gates[0].open();
  ASSERT_TRUE(waitFor([&] { return survivor.arrived; }));
  EXPECT_FALSE(doomedCalled);
  // The decode still lands in the cache.
  EXPECT_NE(loader->cached(photo("/p/a.jpg"), 160), nullptr);
}

TEST_F(CachingImageLoaderTest, destroyingTheLoaderWaitsForItsRunningJob) {
  auto loader = makeLoader();
  m_producer.gated = true;
  bool called = false;
  loader->load(photo("/p/a.jpg"), 160, &m_context, [&](const ThumbnailPtr &) { called = true; });
  ASSERT_TRUE(waitFor([&] { return m_producer.calls == 1; }));
  std::thread opener([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    m_producer.gates[0].open();
  });
  loader.reset();
  opener.join();
  QCoreApplication::processEvents();
  EXPECT_FALSE(called);
}

// One worker busy with the first photo; the second and third wait in the queue. The second
// is abandoned by its only waiter and must never decode; the third still does, and a
// joined job with a waiter left keeps running.
TEST_F(CachingImageLoaderTest, abandonedQueuedDecodeLeavesTheQueueUnmade) {
  auto loader = makeLoader(1);
  m_producer.gated = true;
  QObject other;
  Answer first, abandoned, kept, joinedA, joinedB;
  loader->load(photo("/p/busy.jpg"), 160, &m_context, first.handler());
  loader->load(photo("/p/gone.jpg"), 160, &m_context, abandoned.handler());
  loader->load(photo("/p/kept.jpg"), 160, &m_context, kept.handler());
  loader->load(photo("/p/kept.jpg"), 640, &m_context, joinedA.handler());
  loader->load(photo("/p/kept.jpg"), 640, &other, joinedB.handler());
  loader->abandon(CachingImageLoader::cacheKey(photo("/p/gone.jpg"), 160), &m_context);
  loader->abandon(CachingImageLoader::cacheKey(photo("/p/kept.jpg"), 640), &m_context);
  EXPECT_EQ(loader->inflightCount(), 3);
  for (auto &gate : m_producer.gates) {
    gate.open();
  }
  ASSERT_TRUE(waitFor([&] { return kept.arrived && joinedB.arrived && first.arrived; }));
  EXPECT_EQ(m_producer.calls, 3); // busy, kept@160, kept@640: the abandoned one never ran
  EXPECT_FALSE(abandoned.arrived);
  EXPECT_FALSE(joinedA.arrived);
  EXPECT_EQ(loader->cached(photo("/p/gone.jpg"), 160), nullptr);
  // Asked again, it decodes afresh.
  Answer again;
  loader->load(photo("/p/gone.jpg"), 160, &m_context, again.handler());
  ASSERT_TRUE(waitFor([&] { return again.arrived; }));
  EXPECT_NE(again.thumbnail, nullptr);
}

// With the workers busy, a card asks for its small candidates and then its best photo; the
// best photo, which fills most of the card, must not wait behind them.
TEST_F(CachingImageLoaderTest, queuedDecodesOfLargerSizesStartFirst) {
  auto loader = makeLoader(1);
  m_producer.gated = true;
  std::vector<std::string> order;
  const auto note = [&order](std::string name) {
    return [&order, name = std::move(name)](const ThumbnailPtr &) { order.push_back(name); };
  };
  loader->load(photo("/p/busy.jpg"), 160, &m_context, note("busy"));
  loader->load(photo("/p/tile1.jpg"), 160, &m_context, note("tile1"));
  loader->load(photo("/p/tile2.jpg"), 160, &m_context, note("tile2"));
  loader->load(photo("/p/best.jpg"), 640, &m_context, note("best"));
  loader->load(photo("/p/detail.jpg"), 1400, &m_context, note("detail"));
  loader->load(photo("/p/tile3.jpg"), 160, &m_context, note("tile3"));
  for (auto &gate : m_producer.gates) {
    gate.open();
  }
  ASSERT_TRUE(waitFor([&] { return order.size() == 6; }));
  EXPECT_EQ(order, (std::vector<std::string>{"busy", "detail", "best", "tile1", "tile2", "tile3"}));
}

// Images a view still holds outlive the cache's hold on them: evicted or cleared, the same
// photo at the same size comes back at once, and a larger size stands in for a smaller one.
// Only for the file they were made from, and only while someone holds them.
TEST_F(CachingImageLoaderTest, imagesAViewStillHoldsAreFoundAgainForTheSameFile) {
  auto loader = makeLoader();
  Answer shown;
  Answer large;
  loader->load(photo("/p/a.jpg"), 640, &m_context, shown.handler());
  loader->load(photo("/p/b.jpg"), 1400, &m_context, large.handler());
  ASSERT_TRUE(waitFor([&] { return shown.arrived && large.arrived; }));
  ASSERT_NE(shown.thumbnail, nullptr);
  loader->clear();

  Answer unused;
  EXPECT_EQ(loader->load(photo("/p/a.jpg"), 640, &m_context, unused.handler()), shown.thumbnail);
  EXPECT_EQ(loader->cached(photo("/p/a.jpg"), 640), shown.thumbnail) << "back in the cache";
  EXPECT_EQ(m_producer.calls, 2);

  EXPECT_EQ(loader->standIn(photo("/p/b.jpg"), 160), large.thumbnail);
  EXPECT_EQ(loader->standIn(photo("/p/b.jpg"), 1400), nullptr) << "only a larger size";
  EXPECT_EQ(loader->standIn(photo("/p/a.jpg"), 1400), nullptr) << "never a smaller one";

  // The file changed since: its old pictures are not its own any more.
  PhotoItem changed = photo("/p/b.jpg");
  changed.modified = Date{200};
  EXPECT_EQ(loader->standIn(changed, 160), nullptr);
  Answer fresh;
  EXPECT_EQ(loader->load(changed, 1400, &m_context, fresh.handler()), nullptr);
  ASSERT_TRUE(waitFor([&] { return fresh.arrived; }));
  EXPECT_NE(fresh.thumbnail, large.thumbnail);
  EXPECT_EQ(m_producer.calls, 3);

  // Let go by everyone: decoded anew.
  loader->clear();
  shown.thumbnail.reset();
  Answer again;
  EXPECT_EQ(loader->load(photo("/p/a.jpg"), 640, &m_context, again.handler()), nullptr);
  ASSERT_TRUE(waitFor([&] { return again.arrived; }));
  EXPECT_EQ(m_producer.calls, 4);
}
