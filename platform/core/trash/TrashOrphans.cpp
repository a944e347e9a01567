#include "platform/core/trash/TrashOrphans.h"

#include "platform/core/trash/TrashMove.h"

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::trashorphans {
namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";

std::vector<std::string> namesIn(int dirFd) {
  std::vector<std::string> names;
  DIR *dir = ::fdopendir(::dup(dirFd));
  if (dir == nullptr) {
    return names;
  }
  ::rewinddir(dir);
  while (const dirent *entry = ::readdir(dir)) {
    names.emplace_back(entry->d_name);
  }
  ::closedir(dir);
  return names;
}

bool present(int dirFd, const std::string &name) {
  struct stat info {};
  return ::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

/// True for a regular file old enough, whose lock no live move holds (the lock is taken
/// here and goes with `fd`), and that still is what `name` names.
bool isAbandoned(int dirFd, const std::string &name, int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  const auto modified = std::chrono::system_clock::time_point(
      std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec));
  if (std::chrono::system_clock::now() - modified < kMinimumAge) {
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return false;
  }
  struct stat named {};
  return ::fstatat(dirFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         named.st_dev == info.st_dev && named.st_ino == info.st_ino;
}

/// Removes `name` from `dirFd` when it is abandoned and, for an entry, its file is missing
/// both before and after the entry's lock was taken.
void removeIfAbandoned(int dirFd, const std::string &name, const TrashDirectory &trash,
                       const std::string &slot) {
  if (!slot.empty() && present(trash.filesFd.get(), slot)) {
    return;
  }
  const UniqueFd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd.isValid() || !isAbandoned(dirFd, name, fd.get())) {
    return;
  }
  if (!slot.empty() && present(trash.filesFd.get(), slot)) {
    return;
  }
  ::unlinkat(dirFd, name.c_str(), 0);
}

} // namespace

void removeLeftovers(const TrashDirectory &trash) {
  for (const std::string &name : namesIn(trash.rootFd.get())) {
    if (name.rfind(trashmove::kPartialPrefix, 0) == 0) {
      removeIfAbandoned(trash.rootFd.get(), name, trash, {});
    }
  }
  for (const std::string &name : namesIn(trash.infoFd.get())) {
    if (name.size() > kInfoSuffix.size() && name.ends_with(kInfoSuffix)) {
      const std::string slot = name.substr(0, name.size() - kInfoSuffix.size());
      removeIfAbandoned(trash.infoFd.get(), name, trash, slot);
    }
  }
}

void removeLeftoversOccasionally(const TrashDirectory &trash) {
  static std::mutex mutex;
  static std::map<std::string, std::chrono::steady_clock::time_point> lastRun;
  const auto now = std::chrono::steady_clock::now();
  {
    const std::scoped_lock guard(mutex);
    const auto found = lastRun.find(trash.root);
    if (found != lastRun.end() && now - found->second < std::chrono::minutes(1)) {
      return;
    }
    lastRun[trash.root] = now;
  }
  removeLeftovers(trash);
}

} // namespace platform::trashorphans
