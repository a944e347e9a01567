#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace trashtest {

/// A small tmpfs without a usable Trash of its own (its ".Trash-$uid" is a file), so that
/// moves from it are copies into the home Trash on the main disk.
struct VolumeWithoutTrash {
  std::filesystem::path path;
  bool mounted = false;
  explicit VolumeWithoutTrash(std::filesystem::path at) : path(std::move(at)) {
    std::filesystem::create_directories(path);
    mounted = ::geteuid() == 0 && ::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=48m") == 0;
    if (mounted) {
      std::ofstream(path / (".Trash-" + std::to_string(::getuid()))) << "not a folder";
    }
  }
  ~VolumeWithoutTrash() {
    if (mounted)
      ::umount2(path.c_str(), MNT_DETACH);
  }
  VolumeWithoutTrash(const VolumeWithoutTrash &) = delete;
  VolumeWithoutTrash &operator=(const VolumeWithoutTrash &) = delete;
};

} // namespace trashtest

#define SKIP_UNLESS_MOUNTED(volume)                                                                \
  if (!(volume).mounted)                                                                           \
  GTEST_SKIP() << "needs root and tmpfs mounts to make a second volume"
