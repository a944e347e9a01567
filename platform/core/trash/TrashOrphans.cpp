#include "platform/core/trash/TrashOrphans.h"

#include "platform/core/trash/TrashMove.h"

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <set>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::trashorphans {
namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";

} // namespace

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

namespace {

bool present(int dirFd, const std::string &name) {
  struct stat info {};
  return ::fstatat(dirFd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

} // namespace

bool isAbandoned(int dirFd, const std::string &name, int fd, bool ownerGone) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    return false;
  }
  const auto modified = std::chrono::system_clock::time_point(
      std::chrono::seconds(info.st_mtim.tv_sec) + std::chrono::nanoseconds(info.st_mtim.tv_nsec));
  if (!ownerGone && std::chrono::system_clock::now() - modified < kMinimumAge) {
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    return false;
  }
  struct stat named {};
  return ::fstatat(dirFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
         named.st_dev == info.st_dev && named.st_ino == info.st_ino;
}

namespace {

/// Removes `name` from `dirFd` when it is abandoned and, for an entry, its file is missing
/// both before and after the entry's lock was taken.
void removeIfAbandoned(int dirFd, const std::string &name, const TrashDirectory &trash,
                       const std::string &slot) {
  if (!slot.empty() && present(trash.filesFd.get(), slot)) {
    return;
  }
  const auto partial =
      slot.empty() ? trashmove::parseLeftover(name, trashmove::kPartialPrefix) : std::nullopt;
  const bool ownerGone = partial && isGone(partial->owner);
  const UniqueFd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd.isValid() || !isAbandoned(dirFd, name, fd.get(), ownerGone)) {
    return;
  }
  if (!slot.empty() && present(trash.filesFd.get(), slot)) {
    return;
  }
  ::unlinkat(dirFd, name.c_str(), 0);
}

/// The Trash names whose file lies in "files" under a leaving name of an interrupted
/// restore: their entries say where the file belongs.
std::set<std::string> slotsLeaving(const TrashDirectory &trash) {
  std::set<std::string> slots;
  for (const std::string &name : namesIn(trash.filesFd.get())) {
    if (const auto leaving = trashmove::parseLeftover(name, trashmove::kLeavingPrefix)) {
      slots.insert(leaving->name);
    }
  }
  return slots;
}

} // namespace

bool isGone(long owner) {
  return owner > 0 && owner != ::getpid() && ::kill(static_cast<pid_t>(owner), 0) != 0 &&
         errno == ESRCH;
}

void removeLeftovers(const TrashDirectory &trash) {
  for (const std::string &name : namesIn(trash.rootFd.get())) {
    if (name.rfind(trashmove::kPartialPrefix, 0) == 0) {
      removeIfAbandoned(trash.rootFd.get(), name, trash, {});
    }
  }
  const std::set<std::string> leaving = slotsLeaving(trash);
  for (const std::string &name : namesIn(trash.infoFd.get())) {
    if (name.size() > kInfoSuffix.size() && name.ends_with(kInfoSuffix)) {
      const std::string slot = name.substr(0, name.size() - kInfoSuffix.size());
      if (!leaving.contains(slot)) {
        removeIfAbandoned(trash.infoFd.get(), name, trash, slot);
      }
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
