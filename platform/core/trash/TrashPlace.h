#pragma once

#include <fcntl.h>
#include <string>

/// Where a moved or copied file goes, and the names our unfinished files take on the way.
namespace platform::trashmove {

/// A name inside an open folder; `dirFd` AT_FDCWD with an absolute `name` works too.
struct Place {
  int dirFd = AT_FDCWD;
  std::string name;
};

/// The name prefix of an unfinished copy that has to live under a name of its own.
inline constexpr const char *kPartialPrefix = ".pindle-partial-";
/// The name prefix a copied file takes in its own folder between the check that it is the
/// file that was copied and its removal.
inline constexpr const char *kLeavingPrefix = ".pindle-leaving-";

} // namespace platform::trashmove
