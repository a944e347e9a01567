// Every way out of a scan ends it: the engine keeps no scan registered afterwards.
#include "tests/engine/core/EngineFixture.h"

#include <stdexcept>

using namespace lumora;
using namespace enginetest;

namespace {

/// Lets a test count the scans the engine has registered.
class ScanCountingEngine : public LumoraEngine {
public:
  using LumoraEngine::LumoraEngine;
  std::size_t registeredScans() {
    const std::scoped_lock guard(m_mutex);
    return m_activeScans.size();
  }
};

} // namespace

TEST_F(EngineTest, aScanEndsOnErrorsExceptionsAndCancellation) {
  ScanCountingEngine engine(QString::fromStdString(cacheDir.file("analysis-cache.bin").string()));
  const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(photos.path().string()));

  const auto empty = engine.scan({folder}, ScanOptions::defaults(), {});
  ASSERT_FALSE(empty.hasValue());
  EXPECT_EQ(engine.registeredScans(), 0u);

  writeBurst("a", 1, 2, 1'700'000'000);
  const auto throwing = [](const ScanProgress &) { throw std::runtime_error("handler failed"); };
  EXPECT_THROW((void)engine.scan({folder}, ScanOptions::defaults(), throwing), std::runtime_error);
  EXPECT_EQ(engine.registeredScans(), 0u);

  std::stop_source stop;
  stop.request_stop();
  const auto cancelled = engine.scan({folder}, ScanOptions::defaults(), {}, {}, stop.get_token());
  ASSERT_TRUE(cancelled.hasValue());
  EXPECT_TRUE(cancelled->isPartial);
  EXPECT_EQ(engine.registeredScans(), 0u);

  // The engine still works after all of them: a full scan finds both photos.
  Recorder recorder;
  EXPECT_EQ(scanFolder(engine, recorder).items.size(), 2u);
  EXPECT_EQ(engine.registeredScans(), 0u);
}
