#include "platform/core/trash/TrashSource.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>

namespace platform::trashsource {

namespace {

/// Opens `folder` one component at a time, refusing every symbolic link on the way (ELOOP).
UniqueFd openWithoutLinks(const std::string &folder) {
  UniqueFd fd(::open(folder.front() == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
  std::size_t start = 0;
  while (fd.isValid() && start < folder.size()) {
    std::size_t end = folder.find('/', start);
    end = end == std::string::npos ? folder.size() : end;
    const std::string part = folder.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") {
      continue;
    }
    UniqueFd next(::openat(fd.get(), part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!next.isValid()) {
      const int code = errno;
      struct stat info {};
      const bool link = ::fstatat(fd.get(), part.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
                        S_ISLNK(info.st_mode);
      errno = link ? ELOOP : code;
    }
    fd = std::move(next);
  }
  return fd;
}

} // namespace

std::string folderPathOf(const std::string &path) {
  const std::string folder = std::filesystem::path(path).parent_path().string();
  return folder.empty() ? std::string(".") : folder;
}

std::optional<Source> open(const std::string &path, bool followFolders) {
  const std::string folder = folderPathOf(path);
  UniqueFd fd = followFolders ? UniqueFd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC))
                              : openWithoutLinks(folder);
  if (!fd.isValid()) {
    return std::nullopt;
  }
  // A walk without links never ends in one; a followed path is looked at again for its end.
  struct stat link {};
  if (followFolders && ::lstat(folder.c_str(), &link) != 0) {
    return std::nullopt;
  }
  const auto identity = trashinfo::identityOf(fd.get(), followFolders && S_ISLNK(link.st_mode));
  if (!identity) {
    return std::nullopt;
  }
  Source source{
      Folder{std::move(fd), *identity}, std::filesystem::path(path).filename().string(), {}};
  if (::fstatat(source.folder.fd.get(), source.name.c_str(), &source.info, AT_SYMLINK_NOFOLLOW) !=
      0) {
    return std::nullopt;
  }
  return source;
}

} // namespace platform::trashsource
