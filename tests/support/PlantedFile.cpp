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
constexpr mode_t kTargetMode = 0644;

void releaseFifos(const std::filesystem::path &folder) {
  std::error_code error;
  for (const auto &entry : std::filesystem::directory_iterator(folder, error)) {
    if (entry.is_fifo(error)) {
      // Read and write ends at once: a blocked open on either side proceeds, and closing
      // gives a blocked reader its end of file.
      const int fd = ::open(entry.path().c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
      if (fd >= 0) {
        ::close(fd);
      }
    }
  }
}

} // namespace

LinkTarget::LinkTarget(std::filesystem::path path) : m_path(std::move(path)) {
  std::ofstream(m_path, std::ios::binary | std::ios::trunc) << kTargetBytes;
  ::chmod(m_path.c_str(), kTargetMode);
}

bool LinkTarget::isUntouched() const {
  std::ifstream in(m_path, std::ios::binary);
  const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  struct stat info {};
  return bytes == kTargetBytes && ::lstat(m_path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         (info.st_mode & 07777) == kTargetMode;
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
    done.get();
    return true;
  }
  while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
    releaseFifos(folder);
  }
  return false;
}

std::string nameOf(Planted kind) { return kind == Planted::fifo ? "fifo" : "symlink"; }

} // namespace testsupport
