// Engine operations that overlap a running scan.
#include "tests/engine/core/EngineFixture.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace lumora;
using namespace enginetest;
using namespace std::chrono_literals;

namespace {

/// Opens the writing end of a pipe once a reader is blocked on it; -1 after `patience`.
int openWriterWhenReaderWaits(const fs::path &pipe, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (std::chrono::steady_clock::now() < deadline) {
    const int fd = ::open(pipe.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
      return fd;
    }
    std::this_thread::sleep_for(1ms);
  }
  return -1;
}

/// Engine tests in which a scan is held at a chosen point while other operations run.
class EngineRaceTest : public EngineTest {
protected:
  /// Starts a scan of the photo folder whose cache reload stops at the tombstone file, made a
  /// pipe, and returns once it waits there; the scan goes on when the returned writing end is
  /// closed (-1 when the scan never got there).
  int startScanHeldInReload(LumoraEngine &engine, std::future<ScanResult> &scanning) {
    const fs::path tombstones = engine.cacheFiles().tombstones;
    if (::mkfifo(tombstones.c_str(), 0600) != 0) {
      return -1;
    }
    scanning = std::async(std::launch::async, [this, &engine] {
      Recorder recorder;
      return scanFolder(engine, recorder);
    });
    return openWriterWhenReaderWaits(tombstones, 20s);
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
  const int writer = startScanHeldInReload(*engine, scanning);
  ASSERT_GE(writer, 0);
  auto clearing = std::async(std::launch::async, [&] { engine->invalidateCache(); });
  (void)clearing.wait_for(300ms);
  ::close(writer);
  clearing.get();
  const ScanResult during = scanning.get();

  // Only what was analysed after the clearing may be cached: the reload must not bring back
  // what the clearing removed.
  Recorder after;
  const ScanResult next = scanFolder(*engine, after);
  EXPECT_EQ(next.cacheHitCount, during.fileCount - during.cacheHitCount);
}
