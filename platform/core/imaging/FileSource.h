#pragma once

#include <cstdint>

// glib names a struct field `signals`, which Qt defines as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <vips/vips.h>
#pragma pop_macro("signals")

#include <memory>

/// A libvips source over the first bytes of an open file, read with pread into the loaders'
/// own buffers. libvips maps a file it opens itself (or a descriptor it is given), and a
/// mapping faults with SIGBUS when another program truncates the file while it is read; a
/// source read this way can only come up short. When the file ends before the length the
/// source was made with (it shrank, or is being rewritten), the source ends there too and
/// the loader fails as on a truncated file; loaders that want the whole file in memory get
/// a copy of at most that length, never a mapping.
namespace platform::filesource {

struct ObjectUnref {
  void operator()(void *object) const { g_object_unref(object); }
};
using SourcePtr = std::unique_ptr<VipsSource, ObjectUnref>;

/// A source over bytes [0, `length`) of the file open at `fd`; it reads through its own
/// duplicate of the descriptor, so `fd` may be closed before the source goes. Nothing when
/// the descriptor cannot be duplicated.
[[nodiscard]] SourcePtr open(int fd, std::int64_t length);

/// A source over `size` bytes at `data`, which must outlive it (no copy is made).
[[nodiscard]] SourcePtr borrow(const void *data, std::size_t size);

} // namespace platform::filesource
