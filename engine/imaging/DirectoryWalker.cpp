#include "engine/imaging/DirectoryWalker.h"

#include "engine/imaging/ImageExtensions.h"
#include "platform/core/trash/TrashLeftovers.h"
#include "platform/core/trash/TrashMove.h"

#include <QString>
#include <algorithm>
#include <cstring>
#include <dirent.h>

namespace lumora {
namespace {

bool isHidden(const char *name) { return name[0] == '.'; }

/// A name an interrupted move into or out of the Trash left a file under.
bool isOurLeftover(const char *name) {
  const std::string_view text(name);
  return text.starts_with(platform::trashmove::kLeavingPrefix) ||
         text.starts_with(platform::trashmove::kPartialPrefix);
}

/// Folders that hold an application's or a library's own files; their contents are not the
/// user's loose photos.
bool isPackage(const std::string &name) {
  const std::string extension = ImageLoader::lowercaseExtension(name);
  return extension == "photoslibrary" || extension == "app" || extension == "bundle";
}

/// True when the bytes survive a round trip through QString unchanged, which is what a
/// photo id and its file URL need: invalid, overlong or surrogate sequences do not.
bool isLosslessUtf8(const std::string &bytes) {
  // Plain ASCII, by far the most common name, always survives; only other names need the
  // round trip.
  if (std::all_of(bytes.begin(), bytes.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return true;
  }
  return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())).toUtf8() ==
         QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string joinPath(const std::string &folder, const std::string &name) {
  if (!folder.empty() && folder.back() == '/') {
    return folder + name;
  }
  return folder + '/' + name;
}

/// Closes a directory stream on every path out of `list`.
struct DirCloser {
  void operator()(DIR *dir) const { ::closedir(dir); }
};

} // namespace

DirectoryWalker::DirectoryWalker(bool includeHidden, std::int64_t minFileSize)
    : m_includeHidden(includeHidden), m_minFileSize(minFileSize) {}

bool DirectoryWalker::walk(const std::string &rootPath, std::vector<FileInfo> &files) {
  const std::size_t start = files.size();
  const std::int64_t invalidBefore = m_invalidNameCount;
  const std::size_t samplesBefore = m_invalidNameSamples.size();
  if (!walkOnce(rootPath, files)) {
    return false;
  }
  int putBack = 0;
  for (const std::string &folder : m_leftoverFolders) {
    putBack += platform::trashleftovers::resolveFolder(folder);
  }
  m_leftoverFolders.clear();
  if (putBack > 0) {
    files.resize(start);
    m_invalidNameCount = invalidBefore;
    m_invalidNameSamples.resize(samplesBefore);
    return walkOnce(rootPath, files);
  }
  return true;
}

bool DirectoryWalker::walkOnce(const std::string &rootPath, std::vector<FileInfo> &files) {
  m_entered.clear();
  std::vector<Entry> rootEntries;
  if (!list(rootPath, rootEntries)) {
    return false;
  }
  if (const auto root = FileStat::read(rootPath)) {
    m_entered.emplace(root->device, root->inode);
  }
  std::vector<Folder> pending;
  pending.push_back(Folder{rootPath, std::move(rootEntries), 0, true});
  while (!pending.empty()) {
    Folder &folder = pending.back();
    if (folder.next == folder.entries.size()) {
      pending.pop_back();
      continue;
    }
    // Everything `visit` needs from the folder is taken here: pushing a subfolder onto
    // `pending` may move the folders and invalidate `folder`.
    const Entry &entry = folder.entries[folder.next++];
    std::string path = joinPath(folder.path, entry.name);
    const bool validName = folder.validName && isLosslessUtf8(entry.name);
    const bool package = entry.stat.isDirectory && isPackage(entry.name);
    const FileStat stat = entry.stat;
    if (!package) {
      visit(std::move(path), validName, stat, pending, files);
    }
  }
  return true;
}

void DirectoryWalker::visit(std::string path, bool validName, const FileStat &stat,
                            std::vector<Folder> &pending, std::vector<FileInfo> &files) {
  if (stat.isDirectory) {
    if (!m_entered.emplace(stat.device, stat.inode).second) {
      return;
    }
    std::vector<Entry> children;
    if (list(path, children)) {
      pending.push_back(Folder{std::move(path), std::move(children), 0, validName});
    }
    return;
  }
  if (stat.size < m_minFileSize) {
    return;
  }
  if (!validName) {
    noteInvalidName(path);
    return;
  }
  const QUrl url =
      QUrl::fromLocalFile(QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size())));
  files.push_back(
      FileInfo{std::move(path), url, stat.size, stat.modified, stat.device, stat.inode});
}

bool DirectoryWalker::keepsListing(const char *name, unsigned char type) const {
  if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) {
    return false;
  }
  if (!m_includeHidden && isHidden(name)) {
    return false;
  }
  // The entry type from the listing spares a status read for everything that cannot be
  // an image or a folder; DT_UNKNOWN (some file systems) needs the read to tell.
  switch (type) {
  case DT_DIR:
  case DT_UNKNOWN: return true;
  case DT_REG:
    return ImageLoader::supportedExtensions().contains(ImageLoader::lowercaseExtension(name));
  default: return false;
  }
}

bool DirectoryWalker::list(const std::string &path, std::vector<Entry> &entries) {
  const std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
  if (!dir) {
    return false;
  }
  const int fd = ::dirfd(dir.get());
  while (const dirent *item = ::readdir(dir.get())) {
    if (isOurLeftover(item->d_name)) {
      m_leftoverFolders.insert(path);
    }
    if (!keepsListing(item->d_name, item->d_type)) {
      continue;
    }
    auto stat = FileStat::readEntry(fd, item->d_name);
    if (!stat) {
      continue;
    }
    std::string name(item->d_name);
    // Symbolic links, sockets and devices are reported as neither and fall out here.
    const bool wanted =
        stat->isDirectory || (stat->isRegularFile && ImageLoader::supportedExtensions().contains(
                                                         ImageLoader::lowercaseExtension(name)));
    if (wanted) {
      entries.push_back(Entry{std::move(name), *stat});
    }
  }
  std::sort(entries.begin(), entries.end(),
            [](const Entry &a, const Entry &b) { return a.name < b.name; });
  return true;
}

void DirectoryWalker::noteInvalidName(const std::string &path) {
  ++m_invalidNameCount;
  if (m_invalidNameSamples.size() < kMaxInvalidNameSamples) {
    m_invalidNameSamples.push_back(path);
  }
}

} // namespace lumora
