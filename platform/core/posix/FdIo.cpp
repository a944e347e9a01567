#include "platform/core/posix/FdIo.h"

#include <cerrno>
#include <unistd.h>

namespace platform::fdio {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) {
      continue;
    }
    if (written <= 0) {
      if (written == 0) {
        errno = 0;
      }
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

bool readAt(int fd, std::int64_t offset, void *buffer, std::size_t size) {
  auto *out = static_cast<char *>(buffer);
  while (size > 0) {
    const ssize_t got = ::pread(fd, out, size, static_cast<off_t>(offset));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      if (got == 0) {
        errno = 0;
      }
      return false;
    }
    out += got;
    size -= static_cast<std::size_t>(got);
    offset += got;
  }
  return true;
}

long readSome(int fd, void *buffer, std::size_t size) {
  ssize_t got = 0;
  do {
    got = ::read(fd, buffer, size);
  } while (got < 0 && errno == EINTR);
  return static_cast<long>(got);
}

} // namespace platform::fdio
