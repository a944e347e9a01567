#include "platform/core/imaging/FileSource.h"

#include "platform/core/posix/UniqueFd.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#include <utility>

namespace platform::filesource {
namespace {

/// What a source reads from: its own descriptor, the length it shows and where it is.
struct Window {
  UniqueFd fd;
  std::int64_t length = 0;
  std::int64_t position = 0;
};

void closeWindow(gpointer data, GClosure *) {
  auto *window = static_cast<Window *>(data);
  delete window; // closes its descriptor
}

gint64 readWindow(VipsSourceCustom *, void *buffer, gint64 size, gpointer data) {
  auto *window = static_cast<Window *>(data);
  const gint64 wanted = std::min(size, window->length - window->position);
  if (wanted <= 0) {
    return 0;
  }
  for (;;) {
    const ssize_t got = ::pread(window->fd.get(), buffer, static_cast<std::size_t>(wanted),
                                static_cast<off_t>(window->position));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      // The file ended before the length it had when the decode began (it is being cut
      // short or rewritten), or it cannot be read: both end the data here, and the loader
      // fails as on a truncated file. Never -1: libtiff then clears the byte before its
      // buffer.
      window->length = window->position;
      return 0;
    }
    window->position += got;
    return got;
  }
}

gint64 seekWindow(VipsSourceCustom *, gint64 offset, int whence, gpointer data) {
  auto *window = static_cast<Window *>(data);
  const gint64 base = whence == SEEK_SET   ? 0
                      : whence == SEEK_CUR ? window->position
                      : whence == SEEK_END ? window->length
                                           : -1;
  if (base < 0 || base + offset < 0 || base + offset > window->length) {
    return -1;
  }
  window->position = base + offset;
  return window->position;
}

} // namespace

SourcePtr open(int fd, std::int64_t length) {
  UniqueFd own(::fcntl(fd, F_DUPFD_CLOEXEC, 0));
  if (!own.isValid()) {
    return nullptr;
  }
  VipsSourceCustom *custom = vips_source_custom_new();
  auto *window = new Window{std::move(own), std::max<std::int64_t>(length, 0), 0};
  g_signal_connect_data(custom, "read", G_CALLBACK(readWindow), window, nullptr, GConnectFlags{});
  g_signal_connect_data(custom, "seek", G_CALLBACK(seekWindow), window, closeWindow,
                        GConnectFlags{});
  return SourcePtr(VIPS_SOURCE(custom));
}

SourcePtr borrow(const void *data, std::size_t size) {
  return SourcePtr(vips_source_new_from_memory(data, size));
}

} // namespace platform::filesource
