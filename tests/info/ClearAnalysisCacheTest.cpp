#include "tests/info/support/InfoFixture.h"

#include <memory>

using namespace lumora;
using infotest::waitFor;

namespace {

class ClearAnalysisCacheTest : public infotest::InfoFixture {};

} // namespace

TEST_F(ClearAnalysisCacheTest, removesTheCacheFilesThenAnswersOnTheGuiThread) {
  fillCache();
  QObject context;
  bool answered = false;
  store().clearAnalysisCache(&context, [&] {
    answered = true;
    EXPECT_EQ(QThread::currentThread(), context.thread());
  });
  EXPECT_FALSE(answered);
  ASSERT_TRUE(waitFor([&] { return answered; }));
  EXPECT_FALSE(std::filesystem::exists(cacheFile()));
  EXPECT_FALSE(std::filesystem::exists(cacheFile().string() + ".log"));
}

TEST_F(ClearAnalysisCacheTest, anAnswerForAContextThatIsGoneIsDropped) {
  engine().hold();
  auto context = std::make_unique<QObject>();
  bool answered = false;
  store().clearAnalysisCache(context.get(), [&] { answered = true; });
  ASSERT_TRUE(waitFor([&] { return engine().clearingsStarted() == 1; }));
  context.reset();
  engine().release();
  ASSERT_TRUE(waitFor([&] { return engine().clearingsDone() == 1; }));
  EXPECT_FALSE(waitFor([&] { return answered; }, 200));
}
