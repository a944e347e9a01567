#pragma once

#include "platform/core/posix/UniqueFd.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace lumora {

/// A cache file read front to back through a window of bounded size: the readers parse one
/// record or line at a time from the window and move on, so a file of any size (a planted
/// sparse file of many gigabytes included) costs at most the window in memory. The window
/// grows only as far as a caller asks, and callers ask for no more than one record of the
/// largest valid size.
class FileWindow {
public:
  /// The bytes one read brings in at least; also the window's usual size.
  static constexpr std::size_t kChunk = std::size_t(1) << 20;

  /// Opens the regular file at `path` without blocking and without following a link: a FIFO,
  /// device or link planted under a cache name is refused (logged) instead of hanging the
  /// engine or reading another file. Not open when missing or refused.
  [[nodiscard]] static FileWindow open(const std::filesystem::path &path);
  /// A window holding `data` whole, for bytes already in memory.
  [[nodiscard]] static FileWindow over(std::string_view data);

  [[nodiscard]] bool isOpen() const { return m_fd.isValid() || m_inMemory; }
  /// The file's size when it was opened.
  [[nodiscard]] std::uint64_t size() const { return m_size; }
  /// The file offset of the first byte of `available`.
  [[nodiscard]] std::uint64_t position() const { return m_next - (m_end - m_start); }
  /// Reads on until the window holds at least `count` bytes or the file has no more.
  /// False when a read failed: the bytes already in the window are all there will be.
  bool fill(std::size_t count);
  /// The bytes from the position to the end of the window.
  [[nodiscard]] std::string_view available() const;
  /// Moves the position `count` bytes on; bytes past the window are skipped unread.
  void advance(std::uint64_t count);
  /// A read failed (other than at the file's end).
  [[nodiscard]] bool failed() const { return m_failed; }

private:
  platform::UniqueFd m_fd;
  bool m_inMemory = false;
  std::string m_buffer;
  /// The window is m_buffer[m_start, m_end).
  std::size_t m_start = 0;
  std::size_t m_end = 0;
  /// The file offset of the byte after the window.
  std::uint64_t m_next = 0;
  std::uint64_t m_size = 0;
  bool m_atEnd = false;
  bool m_failed = false;
};

} // namespace lumora
