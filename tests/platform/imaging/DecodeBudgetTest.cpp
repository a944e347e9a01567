#include "platform/core/imaging/DecodeBudget.h"

#include <chrono>
#include <future>
#include <gtest/gtest.h>

using namespace platform;
using decodebudget::kShare;
using decodebudget::kTotal;

namespace {

constexpr std::int64_t kMiB = std::int64_t{1} << 20;

std::future<decodebudget::Reservation> reserveLater(std::int64_t bytes) {
  return std::async(std::launch::async, [bytes] { return decodebudget::reserve(bytes); });
}

bool waits(const std::future<decodebudget::Reservation> &pending) {
  return pending.wait_for(std::chrono::milliseconds(200)) == std::future_status::timeout;
}

bool arrives(const std::future<decodebudget::Reservation> &pending) {
  return pending.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
}

/// Puts the machine's ceiling back when a test ends.
struct CeilingOverride {
  explicit CeilingOverride(std::int64_t bytes) { decodebudget::overrideCeiling(bytes); }
  ~CeilingOverride() { decodebudget::overrideCeiling(std::nullopt); }
  CeilingOverride(const CeilingOverride &) = delete;
  CeilingOverride &operator=(const CeilingOverride &) = delete;
};

} // namespace

TEST(DecodeBudget, aShareOrLessRunsBesideOthersWhileTheTotalAllows) {
  auto first = decodebudget::reserve(kShare);
  EXPECT_EQ(first.bytes(), kShare);
  // Just the rest of the total joins at once; a byte more waits for the first to end.
  auto second = reserveLater(kTotal - kShare);
  ASSERT_TRUE(arrives(second));
  auto third = reserveLater(1);
  EXPECT_TRUE(waits(third));
  first = decodebudget::Reservation();
  ASSERT_TRUE(arrives(third));
  EXPECT_EQ(decodebudget::held(), kTotal - kShare + 1);
  second.get();
  third.get();
  EXPECT_EQ(decodebudget::held(), 0);
}

TEST(DecodeBudget, overAShareWaitsToRunAloneAndHoldsBackNewcomersMeanwhile) {
  const CeilingOverride ceiling(kShare * 3);
  auto small = decodebudget::reserve(kMiB);
  auto large = reserveLater(kShare + 1);
  EXPECT_TRUE(waits(large)) << "a byte over a share waits for every other decode to end";
  // A newcomer that would fit beside the small one waits behind the large one.
  auto newcomer = reserveLater(kMiB);
  EXPECT_TRUE(waits(newcomer));
  small = decodebudget::Reservation();
  ASSERT_TRUE(arrives(large));
  EXPECT_EQ(large.get().bytes(), kShare + 1);
  ASSERT_TRUE(arrives(newcomer));
  newcomer.get();
  EXPECT_EQ(decodebudget::held(), 0);

  // Alone, a decode takes what it needs beyond the total, up to the ceiling and no more.
  auto alone = decodebudget::reserve(kShare * 2);
  EXPECT_EQ(alone.bytes(), kShare * 2);
  auto beside = reserveLater(kMiB);
  EXPECT_TRUE(waits(beside));
  alone = decodebudget::Reservation();
  ASSERT_TRUE(arrives(beside));
  beside.get();
  EXPECT_EQ(decodebudget::reserve(kShare * 10).bytes(), kShare * 3);
}

TEST(DecodeBudget, theCeilingIsASixteenthOfPhysicalMemoryWithinItsBounds) {
  EXPECT_EQ(decodebudget::ceilingFor(0), kShare);
  EXPECT_EQ(decodebudget::ceilingFor(std::int64_t{8} << 30), std::int64_t{512} << 20);
  EXPECT_EQ(decodebudget::ceilingFor(std::int64_t{1} << 40), decodebudget::kMostCeiling);
  EXPECT_GE(decodebudget::ceiling(), kShare);
  EXPECT_LE(decodebudget::ceiling(), decodebudget::kMostCeiling);
}
