#include "platform/core/imaging/DecodeBudget.h"
#include "tests/support/WaitFor.h"

#include <chrono>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>
#include <vector>

using namespace platform;
using decodebudget::Lane;
using decodebudget::Reservation;

namespace {

constexpr std::int64_t kMiB = std::int64_t{1} << 20;

/// Sets the ceiling and the scan's total for one test and puts the machine's back after.
struct Limits {
  Limits(std::int64_t ceiling, std::int64_t total) {
    decodebudget::overrideCeiling(ceiling);
    decodebudget::overrideTotal(total);
  }
  ~Limits() {
    decodebudget::overrideCeiling(std::nullopt);
    decodebudget::overrideTotal(std::nullopt);
  }
  Limits(const Limits &) = delete;
  Limits &operator=(const Limits &) = delete;
};

bool ready(const std::future<Reservation> &pending) {
  return pending.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

/// Requests from threads of their own, each queued only once the one before it waits, and
/// the order in which they were admitted.
class Requests {
public:
  /// Asks for `bytes` from a new thread (in the window's lane with `interactive`) and
  /// returns once it has been admitted or waits in its lane.
  std::future<Reservation> ask(std::int64_t bytes, int name, bool interactive = false) {
    const Lane lane = interactive ? Lane::interactive : Lane::scan;
    const int before = decodebudget::waiting(lane);
    auto pending = std::async(std::launch::async, [this, bytes, name, interactive] {
      std::optional<decodebudget::InteractiveScope> scope;
      if (interactive) {
        scope.emplace();
      }
      Reservation reservation = decodebudget::reserve(bytes);
      const std::lock_guard lock(m_mutex);
      m_admitted.push_back(name);
      return reservation;
    });
    testsupport::waitFor([&] { return ready(pending) || decodebudget::waiting(lane) > before; });
    return pending;
  }

  [[nodiscard]] std::vector<int> admitted() {
    const std::lock_guard lock(m_mutex);
    return m_admitted;
  }

private:
  std::mutex m_mutex;
  std::vector<int> m_admitted;
};

} // namespace

TEST(DecodeBudget, requestsAreAdmittedInTheOrderTheyCameAndALargeOneIsNotOvertaken) {
  const Limits limits(decodebudget::kShare, decodebudget::kShare);
  const std::int64_t lane = decodebudget::total();
  ASSERT_EQ(lane, decodebudget::kShare);
  Requests requests;
  auto first = decodebudget::reserve(lane - 10 * kMiB);
  // Just the rest of the lane joins at once; a whole lane waits.
  auto rest = requests.ask(10 * kMiB, 1);
  ASSERT_TRUE(ready(rest));
  rest.get();
  auto whole = requests.ask(lane, 2);
  // This one would fit beside the first, but a request that came earlier waits.
  auto small = requests.ask(kMiB, 3);
  auto later = requests.ask(lane, 4);
  EXPECT_FALSE(ready(whole));
  EXPECT_FALSE(ready(small));
  EXPECT_EQ(decodebudget::waiting(Lane::scan), 3);
  EXPECT_EQ(decodebudget::held(), lane - 10 * kMiB) << "nothing is held while waiting";

  first = Reservation();
  auto wholeHeld = whole.get();
  EXPECT_EQ(wholeHeld.bytes(), lane);
  EXPECT_EQ(decodebudget::waiting(Lane::scan), 2);
  wholeHeld = Reservation();
  small.get();
  EXPECT_EQ(later.get().bytes(), lane);
  EXPECT_EQ(requests.admitted(), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(decodebudget::held(), 0);
}

TEST(DecodeBudget, smallDecodesRunBesideARunOfLargeOnesAndLargeOnesTakeTurns) {
  // Three threads that each decode one large photo after another, as scan workers do on a
  // folder of 48-megapixel photos, and thumbnail-sized requests among them.
  const Limits limits(decodebudget::kMostCeiling, decodebudget::kMostTotal);
  const std::int64_t large = 300 * kMiB;
  ASSERT_GT(2 * large, decodebudget::kLargeTotal);
  ASSERT_GT(large, decodebudget::kLargeDecode);
  Requests requests;
  auto running = decodebudget::reserve(large);
  auto second = requests.ask(large, 1);
  auto third = requests.ask(large, 2);
  ASSERT_EQ(decodebudget::waiting(Lane::scan), 2) << "large decodes run one at a time";
  // Memory is left beside the running one and the room the waiting ones will need.
  auto small = requests.ask(20 * kMiB, 3);
  ASSERT_TRUE(ready(small)) << "a small decode runs beside the large ones";
  auto smallHeld = small.get();
  // One that would take the room a waiting one needs waits its turn.
  auto tooMuch = requests.ask(decodebudget::total() - large - large, 4);
  EXPECT_FALSE(ready(tooMuch));

  running = Reservation();
  auto secondHeld = second.get();
  EXPECT_FALSE(ready(third));
  // The first thread asks for its next photo: it queues behind everything before it.
  auto next = requests.ask(large, 5);
  secondHeld = Reservation();
  auto thirdHeld = third.get();
  EXPECT_FALSE(ready(next));
  smallHeld = Reservation();
  thirdHeld = Reservation();
  tooMuch.get();
  next.get();
  const std::vector<int> order = requests.admitted();
  EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 3), (std::vector<int>{3, 1, 2}));
  EXPECT_EQ(decodebudget::held(), 0);
}

TEST(DecodeBudget, largeDecodesShareTheirPartWhileOrdinaryOnesFillTheTotal) {
  const Limits limits(decodebudget::kMostCeiling, decodebudget::kMostTotal);
  const std::int64_t large = decodebudget::kLargeTotal / 2;
  Requests requests;
  auto one = decodebudget::reserve(large);
  auto two = requests.ask(large, 1);
  ASSERT_TRUE(ready(two)) << "large decodes run together up to their part";
  auto three = requests.ask(large, 2);
  auto ordinary = requests.ask(decodebudget::kLargeDecode, 3);
  ASSERT_TRUE(ready(ordinary)) << "an ordinary one passes a large one held back by their part";
  auto ordinaryHeld = ordinary.get();
  // Ordinary decodes fill the total, but never the room the waiting large one needs.
  std::vector<Reservation> fill;
  while (decodebudget::held() + decodebudget::kLargeDecode + large <= decodebudget::total()) {
    fill.push_back(decodebudget::reserve(decodebudget::kLargeDecode));
  }
  auto over = requests.ask(decodebudget::kLargeDecode, 4);
  EXPECT_FALSE(ready(over)) << "the room of the waiting large one is kept";
  one = Reservation();
  auto threeHeld = three.get();
  auto overHeld = over.get();
  EXPECT_GT(decodebudget::held(), decodebudget::kLargeTotal + 2 * decodebudget::kLargeDecode);
  // Up to the total exactly, and not a byte more.
  auto edge = requests.ask(decodebudget::total() - decodebudget::held(), 5);
  ASSERT_TRUE(ready(edge));
  auto edgeHeld = edge.get();
  auto beyond = requests.ask(1, 6);
  EXPECT_FALSE(ready(beyond));
  fill.pop_back();
  beyond.get();
}

TEST(DecodeBudget, theWindowsLaneAdmitsWhileTheScansIsFullAndHasItsOwnBound) {
  {
    const Limits limits(decodebudget::kShare, decodebudget::kShare);
    Requests requests;
    auto scan = decodebudget::reserve(decodebudget::total());
    auto queued = requests.ask(kMiB, 1);
    auto thumbnail = requests.ask(decodebudget::kWindowTotal / 2, 2, true);
    ASSERT_TRUE(ready(thumbnail)) << "a thumbnail does not queue behind the scan";
    auto held = thumbnail.get();
    EXPECT_EQ(held.lane(), Lane::interactive);
    auto edge = requests.ask(decodebudget::kWindowTotal / 2, 3, true);
    ASSERT_TRUE(ready(edge)) << "up to the lane's edge";
    EXPECT_EQ(decodebudget::held(), decodebudget::total() + decodebudget::kWindowTotal);
    auto preview = requests.ask(1, 4, true);
    EXPECT_FALSE(ready(preview)) << "a byte over the window's total waits";
    held = Reservation();
    edge.get();
    preview.get();
    EXPECT_FALSE(ready(queued));
    scan = Reservation();
    queued.get();
    EXPECT_EQ(requests.admitted(), (std::vector<int>{2, 3, 4, 1}));
  }
  // A picture too large for the window's total runs alone in its lane, up to the ceiling.
  const Limits limits(decodebudget::kMostCeiling, decodebudget::kMostTotal);
  Requests requests;
  auto thumbnail = requests.ask(kMiB, 1, true).get();
  auto large = requests.ask(decodebudget::kMostCeiling, 2, true);
  auto after = requests.ask(kMiB, 3, true);
  EXPECT_FALSE(ready(large));
  thumbnail = Reservation();
  EXPECT_EQ(large.get().bytes(), decodebudget::kMostCeiling);
  after.get();
  EXPECT_EQ(decodebudget::held(), 0);
}

TEST(DecodeBudget, aReservationGrowsOnlyWithoutWaitingAndGivesBackOnlyWhatItHolds) {
  const Limits limits(decodebudget::kShare, decodebudget::kShare);
  const std::int64_t lane = decodebudget::total();
  Requests requests;
  {
    Reservation nothing;
    nothing.shrinkTo(-5);
    EXPECT_EQ(nothing.bytes(), 0);
  }
  EXPECT_EQ(decodebudget::held(), 0) << "an empty reservation gives nothing back";

  auto grown = decodebudget::reserve(kMiB);
  ASSERT_TRUE(grown.tryGrowTo(lane)) << "up to the lane's edge exactly";
  EXPECT_EQ(decodebudget::held(), lane);
  grown.shrinkTo(lane - kMiB);
  auto waiter = requests.ask(2 * kMiB, 1);
  EXPECT_FALSE(grown.tryGrowTo(lane)) << "it fits, but an earlier request waits";
  EXPECT_EQ(grown.bytes(), lane - kMiB);
  grown.shrinkTo(lane - 2 * kMiB);
  auto waiterHeld = waiter.get();
  EXPECT_FALSE(grown.tryGrowTo(lane - kMiB)) << "a byte past the lane does not fit";
  grown.shrinkTo(lane * 2);
  EXPECT_EQ(grown.bytes(), lane - 2 * kMiB) << "shrinking never takes more";

  // A request is clamped to the ceiling, and so is growth.
  grown = Reservation();
  waiterHeld = Reservation();
  EXPECT_EQ(decodebudget::held(), 0);
  auto huge = decodebudget::reserve(decodebudget::ceiling() * 10);
  EXPECT_EQ(huge.bytes(), decodebudget::ceiling());
  huge.shrinkTo(kMiB);
  ASSERT_TRUE(huge.tryGrowTo(decodebudget::ceiling() * 10));
  EXPECT_EQ(huge.bytes(), decodebudget::ceiling());
  Reservation moved = std::move(huge);
  EXPECT_EQ(huge.bytes(), 0); // NOLINT(bugprone-use-after-move): moved-from holds nothing
  moved = Reservation();
  EXPECT_EQ(decodebudget::held(), 0);
}

TEST(DecodeBudget, theCeilingAndTheTotalFollowPhysicalMemoryWithinTheirBounds) {
  EXPECT_EQ(decodebudget::ceilingFor(0), decodebudget::kShare);
  EXPECT_EQ(decodebudget::ceilingFor(std::int64_t{8} << 30), std::int64_t{512} << 20);
  EXPECT_EQ(decodebudget::ceilingFor(std::int64_t{1} << 40), decodebudget::kMostCeiling);
  EXPECT_EQ(decodebudget::totalFor(0), decodebudget::kLeastTotal);
  EXPECT_EQ(decodebudget::totalFor(std::int64_t{12} << 30), std::int64_t{768} << 20);
  EXPECT_EQ(decodebudget::totalFor(std::int64_t{1} << 40), decodebudget::kMostTotal);
  EXPECT_GE(decodebudget::ceiling(), decodebudget::kShare);
  EXPECT_LE(decodebudget::ceiling(), decodebudget::kMostCeiling);
  EXPECT_GE(decodebudget::total(), decodebudget::ceiling());
  EXPECT_LE(decodebudget::total(), decodebudget::kMostTotal);
  const Limits limits(decodebudget::kMostCeiling, decodebudget::kLeastTotal);
  EXPECT_EQ(decodebudget::total(), decodebudget::kMostCeiling) << "never below the ceiling";
}
