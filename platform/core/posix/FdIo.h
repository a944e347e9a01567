#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

/// Whole reads and writes on a file descriptor, retried when a signal interrupts them.
/// On failure errno tells why (0 when the file ended early).
namespace platform::fdio {

/// Writes all of `bytes`; false when a write fails.
[[nodiscard]] bool writeAll(int fd, std::string_view bytes);
/// Reads exactly `size` bytes at `offset`; false on a failure or an early end.
[[nodiscard]] bool readAt(int fd, std::int64_t offset, void *buffer, std::size_t size);
/// Reads up to `size` bytes at the file position; the count read, or -1 on failure.
[[nodiscard]] long readSome(int fd, void *buffer, std::size_t size);

} // namespace platform::fdio
