#include "app/selftest/ReducedMotionCheck.h"
#include "app/selftest/SelfTestFailure.h"
#include "platform/gui/ReduceMotion.h"
#include "tests/selftest/support/FailureText.h"

#include <gtest/gtest.h>

namespace {

using namespace lumora;
using selftesttest::failureOf;

TEST(ReducedMotionCheckTest, TheShellsTokensPassAndTheOverrideIsRestored) {
  platform::setReduceMotionOverride(false);
  EXPECT_EQ(failureOf([] { reducedmotioncheck::verify(); }), QString());
  EXPECT_EQ(platform::reduceMotionOverride(), std::optional<bool>(false));
  platform::setReduceMotionOverride(std::nullopt);
}

TEST(ReducedMotionCheckTest, SlowOrUnequalReducedVariantsFail) {
  const auto fast = [] { return QStringLiteral("easeOut(duration: 0.14)"); };
  const reducedmotioncheck::Descriptions slow{
      [](double, double) { return QStringLiteral("easeOut(duration: 0.2)"); }, fast};
  EXPECT_EQ(failureOf([&] { reducedmotioncheck::verify(slow); }),
            QStringLiteral("Reduce Motion 未降级为 fast(0.14s)：easeOut(duration: 0.2)"));
  const reducedmotioncheck::Descriptions uneven{
      [](double response, double) {
        return response > 0.4 ? QStringLiteral("spring(duration: 0.14)")
                              : QStringLiteral("easeOut(duration: 0.14)");
      },
      fast};
  EXPECT_EQ(failureOf([&] { reducedmotioncheck::verify(uneven); }),
            QStringLiteral(
                "Reduce Motion 降级不一致：spring(duration: 0.14) != easeOut(duration: 0.14)"));
  const reducedmotioncheck::Descriptions token{
      [](double, double) { return QStringLiteral("easeOut(duration: 0.14)"); },
      [] { return QStringLiteral("linear(duration: 0.14)"); }};
  EXPECT_EQ(failureOf([&] { reducedmotioncheck::verify(token); }),
            QStringLiteral("Reduce Motion 时长 token 未使用 fast：linear(duration: 0.14) != "
                           "easeOut(duration: 0.14)"));
}

} // namespace
