#pragma once

#include "engine/imaging/FileInfo.h"
#include "engine/imaging/FileStat.h"

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace lumora {

/// Walks one folder tree and collects the image files a scan should analyse. Used by one
/// thread at a time (each enumeration makes its own walker).
///
/// The walk never follows a symbolic link and never enters a folder it has already entered
/// (bind mounts can make a tree contain itself), so it always ends. It keeps no directory
/// open while it descends: each folder is listed in full and closed before its subfolders
/// are visited, and the pending work lives on the heap, so depth costs neither file
/// descriptors nor stack. A folder that cannot be listed, or whose path is too long to
/// open, is passed over silently.
class DirectoryWalker {
public:
  DirectoryWalker(bool includeHidden, std::int64_t minFileSize);

  /// Walks the folder at `rootPath` (native bytes) and appends the accepted files to
  /// `files` in walk order: folder by folder, entries of a folder in byte order of their
  /// names, each subfolder walked where it appears. Returns false, adding nothing, when
  /// the root itself cannot be listed. Files that an interrupted move into or out of the
  /// Trash left under names of its own in the folders walked are resolved first (a photo
  /// put back under its name is then listed too).
  [[nodiscard]] bool walk(const std::string &rootPath, std::vector<FileInfo> &files);

  /// Image files passed over because their path is not valid UTF-8, over all walks.
  [[nodiscard]] std::int64_t invalidNameCount() const { return m_invalidNameCount; }
  /// The first few of those paths (native bytes), for the log.
  [[nodiscard]] const std::vector<std::string> &invalidNameSamples() const {
    return m_invalidNameSamples;
  }

  /// How many invalid paths are kept as samples.
  static constexpr std::size_t kMaxInvalidNameSamples = 20;

private:
  struct Entry {
    std::string name;
    FileStat stat;
  };
  struct Folder {
    std::string path;
    std::vector<Entry> entries;
    std::size_t next = 0;
    /// False once some folder name on the way down is not valid UTF-8.
    bool validName = true;
  };

  [[nodiscard]] bool walkOnce(const std::string &rootPath, std::vector<FileInfo> &files);
  [[nodiscard]] bool list(const std::string &path, std::vector<Entry> &entries);
  [[nodiscard]] bool keepsListing(const char *name, unsigned char type) const;
  void visit(std::string path, bool validName, const FileStat &stat, std::vector<Folder> &pending,
             std::vector<FileInfo> &files);
  void noteInvalidName(const std::string &path);

  bool m_includeHidden;
  std::int64_t m_minFileSize;
  /// Device and inode of every folder entered during the current walk.
  std::set<std::pair<std::uint64_t, std::uint64_t>> m_entered;
  /// Folders of the current walk that hold leftovers of interrupted Trash moves.
  std::set<std::string> m_leftoverFolders;
  std::int64_t m_invalidNameCount = 0;
  std::vector<std::string> m_invalidNameSamples;
};

} // namespace lumora
