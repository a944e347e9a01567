#include "tests/engine/core/EngineFixture.h"

#include <chrono>
#include <random>
#include <thread>

using namespace lumora;
using namespace enginetest;

namespace {

// Many photos within the pairing window, with feature vectors: measuring them takes a while.
std::vector<PhotoItem> slowPartialPhotos(int count) {
  std::mt19937 random(7);
  std::vector<PhotoItem> items;
  items.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::vector<float> feature = randomUnitVector(random, 256);
    const std::string id = "/partial/" + std::to_string(i) + ".jpg";
    items.emplace_back(id, QUrl::fromLocalFile(QString::fromStdString(id)), 0.f, false, 1.f, 10'000,
                       Date{1'700'000'000.0 + i}, std::move(feature), std::nullopt, std::nullopt,
                       false);
  }
  return items;
}

} // namespace

using EngineRegroupRace = EngineTest;

// A regroup of a running scan's partial photos that is still measuring when the scan ends
// must not replace the finished scan's state: later regroups of the finished photos must
// still find their groups.
TEST_F(EngineRegroupRace, aRegroupStillMeasuringWhenAScanEndsKeepsNoState) {
  writeBurst("burst-", 3, 2, 1'700'000'000);
  writeBurst("alone-", 11, 1, 1'700'050'000);
  const auto engine = makeEngine();
  Recorder warmUp;
  const ScanResult first = scanFolder(*engine, warmUp);
  ASSERT_EQ(engine->group(first.items, 0.30f, GroupSort::date).size(), 1u);

  const std::vector<PhotoItem> partial = slowPartialPhotos(12'000);
  const auto started = std::chrono::steady_clock::now();
  std::thread regroup([&] { (void)engine->group(partial, 0.30f, GroupSort::date); });
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  Recorder recorder;
  const ScanResult finished = scanFolder(*engine, recorder); // all cache hits: quick
  const auto scanEnded = std::chrono::steady_clock::now();
  regroup.join();
  const auto regroupEnded = std::chrono::steady_clock::now();
  if (regroupEnded - scanEnded < std::chrono::milliseconds(5) ||
      scanEnded - started < std::chrono::milliseconds(20)) {
    GTEST_SKIP() << "the regroup did not outlast the scan on this machine";
  }
  EXPECT_EQ(engine->group(finished.items, 0.30f, GroupSort::date).size(), 1u);
  EXPECT_EQ(engine->group(finished.items, 0.55f, GroupSort::date).size(), 1u);
}

// The same regroup starting only after the scan ended (it was on its way from the window)
// must not replace the finished scan's state either.
TEST_F(EngineRegroupRace, aRegroupOfPartialPhotosAfterTheScanEndedKeepsNoState) {
  writeBurst("burst-", 3, 2, 1'700'000'000);
  writeBurst("alone-", 11, 1, 1'700'050'000);
  const auto engine = makeEngine();
  Recorder recorder;
  const ScanResult finished = scanFolder(*engine, recorder);
  (void)engine->group(slowPartialPhotos(3), 0.30f, GroupSort::date);
  EXPECT_EQ(engine->group(finished.items, 0.30f, GroupSort::date).size(), 1u);
}

// Photos taken in the same second come from the analysis workers in the order they
// finished; the groups, their leading photos and their members' order must not depend on it.
TEST_F(EngineTest, photosWithEqualCaptureDatesGroupTheSameInWhateverOrderTheyCome) {
  std::mt19937 random(3);
  const std::vector<float> scene = randomUnitVector(random, 64);
  std::vector<PhotoItem> items;
  for (int i = 0; i < 6; ++i) {
    const std::string id = "/same/" + std::to_string(i) + ".jpg";
    items.emplace_back(id, QUrl::fromLocalFile(QString::fromStdString(id)), 0.5f, false, 1.f,
                       10'000, Date{1'700'000'000.0}, i < 4 ? scene : randomUnitVector(random, 64),
                       std::nullopt, std::nullopt, false);
  }
  std::vector<PhotoItem> reversed(items.rbegin(), items.rend());
  const auto inOrder = makeEngine()->group(items, 0.30f, GroupSort::date);
  const auto backwards = makeEngine()->group(reversed, 0.30f, GroupSort::date);
  ASSERT_EQ(inOrder.size(), 1u);
  EXPECT_EQ(inOrder, backwards);
}
