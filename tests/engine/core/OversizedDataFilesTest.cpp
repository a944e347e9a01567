// Each file a scan reads from the data folder, planted as a sparse file of 64 GiB: the scan
// still analyses its photos, its memory peak stays far below the file's size, and the next
// scan no longer meets the file (favourites excepted: they are the user's, refused and kept).

#include "tests/engine/core/EngineFixture.h"

#include "engine/analysis/VisionAnalyzer.h"
#include "engine/cache/AnalyzerStamp.h"

#include <fcntl.h>
#include <fstream>
#include <unistd.h>

using namespace lumora;
using namespace enginetest;

namespace {

constexpr off_t kPlantedSize = off_t(64) << 30;

/// Starts a new peak: the kernel's high-water mark of resident memory is set to the present.
bool resetMemoryPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
  return static_cast<bool>(clear.flush());
}

/// The process's resident memory at its peak since the last reset, in MiB.
long memoryPeakMB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmHWM:", 0) == 0) {
      return std::stol(line.substr(6)) / 1024;
    }
  }
  return -1;
}

long residentMB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * ::sysconf(_SC_PAGESIZE) / (1024 * 1024);
}

bool plantSparse(const fs::path &path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const bool planted = fd >= 0 && ::ftruncate(fd, kPlantedSize) == 0;
  return (fd < 0 || ::close(fd) == 0) && planted;
}

class OversizedDataFile : public EngineTest, public ::testing::WithParamInterface<const char *> {};

} // namespace

TEST_P(OversizedDataFile, leavesTheScanItsPhotosAndABoundedPeak) {
  writeDistinct("p", 1, 3, 1'700'000'000);
  const std::string name = GetParam();
  const fs::path planted =
      name == "favorites.json" ? FavoriteStore::defaultURL() : cacheDir.file(name);
  // The cache belongs to this analyzer, as after an earlier run.
  analyzerstamp::write(CacheFiles::forBase(cacheDir.file("analysis-cache.bin")),
                       VisionAnalyzer::kRevision);
  if (!plantSparse(planted)) {
    GTEST_SKIP() << "this file system holds no sparse file of 64 GiB";
  }
  ASSERT_TRUE(resetMemoryPeak());
  const long before = residentMB();
  Recorder recorder;
  const ScanResult result = scanFolder(*makeEngine(), recorder);
  const long growth = memoryPeakMB() - before;
  EXPECT_EQ(result.items.size(), 3u);
  EXPECT_EQ(recorder.analyzingReports(), 3u);
  EXPECT_LT(growth, 400) << "peak MiB above the start of the scan";
  if (name != "favorites.json") {
    // A fresh cache of three photos takes a few kilobytes, far from the planted size.
    EXPECT_FALSE(fs::exists(planted) && fs::file_size(planted) > (1 << 20))
        << "still there: " << name;
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFile, OversizedDataFile,
                         ::testing::Values("analysis-cache.bin", "analysis-cache.bin.log",
                                           "analysis-cache.bin.deleted",
                                           "analysis-cache.bin.analyzer", "favorites.json"),
                         [](const auto &param) {
                           std::string text = param.param;
                           std::replace_if(
                               text.begin(), text.end(), [](char c) { return !std::isalnum(c); },
                               '_');
                           return text;
                         });
