// Engine operations that overlap a running scan.
#include "engine/analysis/VisionAnalyzer.h"
#include "engine/cache/AnalyzerStamp.h"
#include "tests/engine/core/EngineFixture.h"

#include "engine/cache/AnalysisCache.h"
#include "engine/imaging/ImageLoader.h"
#include "platform/core/posix/FolderLock.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <future>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

using namespace lumora;
using namespace enginetest;
using namespace std::chrono_literals;

namespace {

/// How long any wait of these tests may last before it counts as a hang.
constexpr auto kPatience = 60s;

/// The value of `future`. A future that is not ready within `kPatience` means a deadlock: the
/// test ends the process with the reason, as returning would only hang again in the
/// destructor of a future from `std::async`.
template <typename T> T await(std::future<T> &future, const char *what) {
  if (future.wait_for(kPatience) != std::future_status::ready) {
    std::fprintf(stderr, "FAILED: %s did not finish within %lld s\n", what,
                 static_cast<long long>(kPatience.count()));
    std::fflush(stderr);
    std::abort();
  }
  return future.get();
}

/// Whether a process or thread waits for a `flock` on the file with inode `inode`: the kernel
/// lists each waiter in /proc/locks as a line with "->" and the file's device:inode.
bool someoneWaitsForLockOn(ino_t inode) {
  std::ifstream locks("/proc/locks");
  const std::string key = ":" + std::to_string(inode) + " ";
  for (std::string line; std::getline(locks, line);) {
    if (line.find("->") != std::string::npos && line.find(key) != std::string::npos) {
      return true;
    }
  }
  return false;
}

/// `count` unit feature vectors of `dimension` values, alike in consecutive pairs and unlike
/// any other: photos carrying them in order group two by two.
std::vector<std::vector<float>> pairedFeatures(int count, int dimension) {
  std::mt19937 random(7);
  std::vector<std::vector<float>> features;
  for (int i = 0; i < count; ++i) {
    features.push_back(i % 2 == 1 ? features.back() : randomUnitVector(random, dimension));
  }
  return features;
}

/// Engine tests in which a scan is held at a chosen point while other operations run.
class EngineRaceTest : public EngineTest {
protected:
  /// Starts a scan of the photo folder whose cache reload waits for the cache folder's lock,
  /// held here, and returns once it waits there; the scan goes on when the returned lock goes
  /// (a lock not held when the scan never got there within 20 s).
  platform::FolderLock startScanHeldInReload(LumoraEngine &engine,
                                             std::future<ScanResult> &scanning) {
    const fs::path folder = engine.cacheFiles().base.parent_path();
    platform::FolderLock held =
        platform::FolderLock::acquire(folder, platform::FolderLock::Mode::exclusive);
    struct stat info {};
    if (!held.isHeld() || ::stat(folder.c_str(), &info) != 0) {
      return {};
    }
    scanning = std::async(std::launch::async, [this, &engine] {
      Recorder recorder;
      return scanFolder(engine, recorder);
    });
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (!someoneWaitsForLockOn(info.st_ino)) {
      if (std::chrono::steady_clock::now() > deadline) {
        return {}; // the scan must not stay held after the test gave up on it
      }
      std::this_thread::sleep_for(1ms);
    }
    return held;
  }
};

} // namespace

TEST_F(EngineRaceTest, clearingTheCacheWhileAScanReloadsItIsNotUndone) {
  writeBurst("a", 1, 2, 1'700'000'000);
  auto engine = makeEngine();
  Recorder first;
  ASSERT_EQ(scanFolder(*engine, first).items.size(), 2u);
  writeBurst("n", 5, 1, 1'700'100'000);
  std::future<ScanResult> scanning;
  platform::FolderLock held = startScanHeldInReload(*engine, scanning);
  ASSERT_TRUE(held.isHeld());
  auto clearing = std::async(std::launch::async, [&] { engine->invalidateCache(); });
  // The clearing has to wait for the reload, which holds the engine's lock.
  const bool overlapped = clearing.wait_for(300ms) == std::future_status::timeout;
  held = {};
  await(clearing, "clearing the cache");
  const ScanResult during = await(scanning, "the scan held in its reload");

  // Only what was analysed after the clearing may be cached: the reload must not bring back
  // what the clearing removed. On a busy machine the clearing may only get the engine once the
  // scan is over and then leaves nothing at all, so this is a bound, not a count.
  Recorder after;
  const ScanResult next = scanFolder(*engine, after);
  EXPECT_LE(next.cacheHitCount, during.fileCount - during.cacheHitCount);
  if (!overlapped) {
    GTEST_SKIP() << "the clearing did not wait for the reload: the overlap was not shown";
  }
}

TEST_F(EngineRaceTest, aFavouriteSetWhileTheScanBuildsItsPairsIsKept) {
  // Many cached photos, so that the scan's end takes a while to build their pairs.
  constexpr int kCount = 4000;
  const auto features = pairedFeatures(kCount, 1024);
  for (int i = 0; i < kCount; ++i) {
    const auto path = photos.write("s" + std::to_string(i) + ".jpg", "x");
    testsupport::setModified(path, 1'600'000'000 + i);
  }
  ScanOptions options;
  options.minFileSize = 0;
  const QUrl folder = QUrl::fromLocalFile(QString::fromStdString(photos.path().string()));
  auto engine = makeEngine();
  {
    AnalysisCache cache;
    const EnumerateResult listing = ImageLoader::enumerate({folder}, options);
    ASSERT_EQ(listing.files.size(), features.size());
    for (std::size_t i = 0; i < listing.files.size(); ++i) {
      const FileInfo &file = listing.files[i];
      cache.put(CacheEntry{file.path, file.modified, file.modified, file.fileSize, 0, false, 1,
                           features[i]},
                engine->cacheFiles().log);
    }
    analyzerstamp::write(engine->cacheFiles(), VisionAnalyzer::kRevision);
  }

  using Clock = std::chrono::steady_clock;
  Clock::time_point finishing;
  const auto first = engine->scan({folder}, options, [&](const ScanProgress &p) {
    if (p.phase == ScanPhase::finishing) {
      finishing = Clock::now();
    }
  });
  ASSERT_TRUE(first.hasValue());
  ASSERT_EQ(first->cacheHitCount, kCount);
  const auto ending = Clock::now() - finishing;
  const PhotoItem target = first->items[10];

  // The favourite is set from another thread a third into the scan's end, and the run shows
  // whether it landed before the scan returned.
  std::future<Clock::time_point> favouriting;
  const auto second = engine->scan({folder}, options, [&](const ScanProgress &p) {
    if (p.phase == ScanPhase::finishing) {
      favouriting = std::async(std::launch::async, [&] {
        std::this_thread::sleep_for(ending / 3);
        EXPECT_TRUE(engine->setFavorite(target, true).hasValue());
        return Clock::now();
      });
    }
  });
  const Clock::time_point returned = Clock::now();
  ASSERT_TRUE(favouriting.valid());
  const Clock::time_point favoured = await(favouriting, "setting the favourite");
  ASSERT_TRUE(second.hasValue());

  bool found = false;
  for (const auto &group : engine->group(second->items, 0.30f, GroupSort::date)) {
    for (const auto &item : group.items) {
      if (item.id == target.id) {
        found = true;
        EXPECT_TRUE(item.isFavorite);
      }
    }
  }
  EXPECT_TRUE(found);
  if (favoured > returned) {
    GTEST_SKIP() << "the favourite was set after the scan had returned: the overlap was not shown";
  }
}

TEST_F(EngineRaceTest, aSupersededScanReloadingLateKeepsTheNewerScansHits) {
  writeBurst("a", 1, 2, 1'700'000'000);
  testsupport::TempDir older;
  ASSERT_TRUE(testsupport::writeScene(older.file("o.png"), 9, 640, 480));
  auto engine = makeEngine();
  Recorder first;
  ASSERT_EQ(scanFolder(*engine, first).items.size(), 2u);

  // The older scan waits at its first report, before it lists its folder and reloads.
  std::promise<void> resume;
  std::promise<void> waiting;
  std::stop_source stopOlder;
  std::future<void> resumed = resume.get_future();
  auto olderScan = std::async(std::launch::async, [&] {
    return engine->scan(
        {QUrl::fromLocalFile(QString::fromStdString(older.path().string()))},
        ScanOptions::defaults(),
        [&, once = true](const ScanProgress &) mutable {
          if (std::exchange(once, false)) {
            waiting.set_value();
            // Bounded, so that a test that gave up never leaves this scan waiting.
            (void)resumed.wait_for(kPatience);
          }
        },
        {}, stopOlder.get_token());
  });
  std::future<void> olderWaits = waiting.get_future();
  await(olderWaits, "the older scan's first report");

  // The newer scan is held in its reload; meanwhile the older scan goes on and reaches its own.
  std::future<ScanResult> newerScan;
  platform::FolderLock held = startScanHeldInReload(*engine, newerScan);
  if (!held.isHeld()) {
    resume.set_value();
    FAIL() << "the newer scan never reached its reload";
  }
  fs::remove(engine->cacheFiles().tombstones);
  resume.set_value();
  std::this_thread::sleep_for(200ms);
  held = {};

  const ScanResult newer = await(newerScan, "the newer scan");
  stopOlder.request_stop();
  (void)await(olderScan, "the older scan");
  // The older scan's reload, superseded, must not take away what the newer one loaded.
  EXPECT_EQ(newer.cacheHitCount, 2);
  // Nothing outside the engine tells whether the older reload came between the newer scan's
  // reload and its use of the cache, or only after it; the run cannot prove the overlap.
  RecordProperty("overlap", "not observable: the older reload's moment is not reported");
}
