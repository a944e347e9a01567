#include "platform/core/trash/TrashLeftovers.h"

#include "platform/core/trash/Trash.h"
#include "platform/core/trash/TrashInfo.h"
#include "platform/core/trash/TrashMove.h"
#include "platform/core/trash/TrashOrphans.h"

#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::trashleftovers {
namespace {

namespace fs = std::filesystem;
using trashmove::Leftover;

constexpr std::string_view kInfoSuffix = ".trashinfo";

UniqueFd openEntry(int dirFd, const std::string &name) {
  return UniqueFd(::openat(dirFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
}

/// Whether the regular files open as `a` and `b` hold the same bytes.
bool sameBytes(int a, int b) {
  struct stat left {};
  struct stat right {};
  if (::fstat(a, &left) != 0 || ::fstat(b, &right) != 0 || !S_ISREG(left.st_mode) ||
      !S_ISREG(right.st_mode) || left.st_size != right.st_size) {
    return false;
  }
  std::vector<char> one(1 << 16);
  std::vector<char> two(1 << 16);
  for (off_t at = 0; at < left.st_size;) {
    const ssize_t got = ::pread(a, one.data(), one.size(), at);
    if (got <= 0 || ::pread(b, two.data(), static_cast<std::size_t>(got), at) != got ||
        !std::equal(one.begin(), one.begin() + got, two.begin())) {
      return false;
    }
    at += got;
  }
  return true;
}

/// Renames our own `from` to `to` in `dirFd`, never over a file.
bool renameFree(int dirFd, const std::string &from, const std::string &to) {
  if (::renameat2(dirFd, from.c_str(), dirFd, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
    return false;
  }
  if (::linkat(dirFd, from.c_str(), dirFd, to.c_str(), 0) != 0) {
    return false;
  }
  ::unlinkat(dirFd, from.c_str(), 0);
  return true;
}

/// The path an entry of `trash` records, made absolute.
std::optional<std::string> recordedPath(const TrashDirectory &trash, const std::string &slot) {
  auto recorded = trashinfo::recordedPath(trash.root + "/info/" + slot + std::string(kInfoSuffix));
  if (recorded && !recorded->empty() && recorded->front() != '/') {
    recorded = trash.topDir + "/" + *recorded;
  }
  return recorded;
}

/// A Trash entry holding the same bytes as a leaving file: its name in "files" and the name
/// its file had in its folder.
struct Twin {
  std::string slot;
  std::string originalName;
};

/// The entry of `trash` that came from `folder` (under `name`, when known) and holds the
/// bytes of the file open as `fd`.
std::optional<Twin> findTwin(const TrashDirectory &trash, const std::string &folder,
                             const std::string &name, int fd) {
  for (const std::string &info : trashorphans::namesIn(trash.infoFd.get())) {
    if (info.size() <= kInfoSuffix.size() || !info.ends_with(kInfoSuffix)) {
      continue;
    }
    const std::string slot = info.substr(0, info.size() - kInfoSuffix.size());
    const auto recorded = recordedPath(trash, slot);
    if (!recorded || fs::path(*recorded).parent_path() != fs::path(folder)) {
      continue;
    }
    const std::string original = fs::path(*recorded).filename().string();
    if (!name.empty() && original != name) {
      continue;
    }
    const UniqueFd copy = openEntry(trash.filesFd.get(), slot);
    if (copy.isValid() && sameBytes(copy.get(), fd)) {
      return Twin{slot, original};
    }
  }
  return std::nullopt;
}

void removeEntry(const TrashDirectory &trash, const std::string &slot) {
  ::unlinkat(trash.filesFd.get(), slot.c_str(), 0);
  ::unlinkat(trash.infoFd.get(), (slot + std::string(kInfoSuffix)).c_str(), 0);
}

/// A file our move into the Trash renamed aside in its folder and was killed before removing
/// (or before putting back). True when it went back under its name.
bool resolveLeaving(int dirFd, const std::string &folder, const std::string &name,
                    const Leftover &leaving) {
  const UniqueFd fd = openEntry(dirFd, name);
  struct stat info {};
  if (!trashorphans::isGone(leaving.owner) || !fd.isValid() || ::fstat(fd.get(), &info) != 0 ||
      !S_ISREG(info.st_mode)) {
    return false;
  }
  const std::string path = folder + "/" + name;
  const auto trash = TrashDirectory::forFile(path, info.st_dev);
  const auto twin = trash ? findTwin(*trash, folder, leaving.name, fd.get()) : std::nullopt;
  const std::string original = !leaving.name.empty() ? leaving.name
                               : twin                ? twin->originalName
                                                     : std::string();
  if (original.empty()) {
    return false; // nothing says where it belongs: left as it is
  }
  if (renameFree(dirFd, name, original)) {
    if (twin) {
      removeEntry(*trash, twin->slot); // only now: the file is back first
    }
    return true;
  }
  if (errno != EEXIST) {
    return false;
  }
  const UniqueFd taken = openEntry(dirFd, original);
  if (twin || (taken.isValid() && sameBytes(taken.get(), fd.get()))) {
    ::unlinkat(dirFd, name.c_str(), 0); // its bytes are whole elsewhere
    return false;
  }
  // Another file has the name: the Trash keeps it, restorable to where it belongs.
  (void)trash::moveToTrashAs(path, folder + "/" + original);
  return false;
}

void removePartial(int dirFd, const std::string &name, const Leftover &partial) {
  const UniqueFd fd = openEntry(dirFd, name);
  if (fd.isValid() &&
      trashorphans::isAbandoned(dirFd, name, fd.get(), trashorphans::isGone(partial.owner))) {
    ::unlinkat(dirFd, name.c_str(), 0);
  }
}

/// A Trash copy an interrupted restore renamed aside in "files".
void resolveRestoreLeftover(const TrashDirectory &trash, const std::string &name,
                            const Leftover &leaving) {
  const int files = trash.filesFd.get();
  const UniqueFd fd = openEntry(files, name);
  if (leaving.name.empty() || !trashorphans::isGone(leaving.owner) || !fd.isValid()) {
    return;
  }
  const auto original = recordedPath(trash, leaving.name);
  const UniqueFd restored =
      original ? UniqueFd(::open(original->c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC))
               : UniqueFd();
  if (restored.isValid() && sameBytes(restored.get(), fd.get())) {
    ::unlinkat(files, name.c_str(), 0); // the restore had finished: the photo is back
    ::unlinkat(trash.infoFd.get(), (leaving.name + std::string(kInfoSuffix)).c_str(), 0);
    return;
  }
  (void)renameFree(files, name, leaving.name); // the entry is whole again
}

} // namespace

int resolveFolder(const std::string &folderPath) {
  const UniqueFd dir(::open(folderPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (!dir.isValid()) {
    return 0;
  }
  int putBack = 0;
  for (const std::string &name : trashorphans::namesIn(dir.get())) {
    if (const auto partial = trashmove::parseLeftover(name, trashmove::kPartialPrefix)) {
      removePartial(dir.get(), name, *partial);
    } else if (const auto leaving = trashmove::parseLeftover(name, trashmove::kLeavingPrefix)) {
      putBack += resolveLeaving(dir.get(), folderPath, name, *leaving) ? 1 : 0;
    }
  }
  return putBack;
}

void resolveTrash(const TrashDirectory &trash) {
  for (const std::string &name : trashorphans::namesIn(trash.filesFd.get())) {
    if (const auto leaving = trashmove::parseLeftover(name, trashmove::kLeavingPrefix)) {
      resolveRestoreLeftover(trash, name, *leaving);
    }
  }
  trashorphans::removeLeftovers(trash);
}

void resolveHomeTrash() {
  const std::string dataHome =
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
  struct stat info {};
  if (dataHome.empty() || ::stat(dataHome.c_str(), &info) != 0) {
    return;
  }
  if (const auto trash = TrashDirectory::forFile(dataHome + "/Trash", info.st_dev)) {
    resolveTrash(*trash);
  }
}

} // namespace platform::trashleftovers
