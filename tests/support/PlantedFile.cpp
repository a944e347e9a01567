#include "tests/support/PlantedFile.h"

#include <fcntl.h>
#include <fstream>
#include <future>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {
namespace {

constexpr char kTargetBytes[] = "a file of the user's, not ours";

} // namespace

void makeLinkTarget(const std::filesystem::path &target) {
  std::ofstream(target, std::ios::binary | std::ios::trunc) << kTargetBytes;
  ::chmod(target.c_str(), 0644);
}

bool isUntouchedLinkTarget(const std::filesystem::path &target) {
  std::ifstream in(target, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  struct stat info {};
  return bytes == kTargetBytes && ::lstat(target.c_str(), &info) == 0 &&
         (info.st_mode & 07777) == 0644;
}

bool plant(Planted kind, const std::filesystem::path &at, const std::filesystem::path &target) {
  std::error_code error;
  std::filesystem::create_directories(at.parent_path(), error);
  return kind == Planted::fifo ? ::mkfifo(at.c_str(), 0600) == 0
                               : ::symlink(target.c_str(), at.c_str()) == 0;
}

bool isRegularFile(const std::filesystem::path &path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool finishesWithin(std::chrono::milliseconds limit, const std::function<void()> &work,
                    const std::filesystem::path &folder) {
  std::future<void> done = std::async(std::launch::async, work);
  if (done.wait_for(limit) == std::future_status::ready) {
    return true;
  }
  while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
    // Both ends at once: a blocked open proceeds, and the close ends a blocked read.
    for (const auto &entry : std::filesystem::directory_iterator(folder)) {
      const int fd = entry.is_fifo() ? ::open(entry.path().c_str(), O_RDWR | O_NONBLOCK) : -1;
      if (fd >= 0) {
        ::close(fd);
      }
    }
  }
  return false;
}

} // namespace testsupport
