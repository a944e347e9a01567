#pragma once

#include <unistd.h>
#include <utility>

namespace platform {

/// Owns one open file descriptor and closes it when it goes; -1 holds none. Movable, not
/// copyable.
class UniqueFd {
public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  ~UniqueFd() { reset(); }
  UniqueFd(const UniqueFd &) = delete;
  UniqueFd &operator=(const UniqueFd &) = delete;
  UniqueFd(UniqueFd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  UniqueFd &operator=(UniqueFd &&other) noexcept {
    if (this != &other) {
      reset(std::exchange(other.m_fd, -1));
    }
    return *this;
  }

  [[nodiscard]] int get() const { return m_fd; }
  [[nodiscard]] bool isValid() const { return m_fd >= 0; }
  /// Gives the descriptor up without closing it.
  [[nodiscard]] int release() { return std::exchange(m_fd, -1); }
  /// Closes the descriptor held and says whether that worked: after writing, a failed close
  /// may be the first report of a write error. The descriptor is gone either way, so a
  /// close is never retried. True when none was held.
  [[nodiscard]] bool close() {
    const int fd = std::exchange(m_fd, -1);
    return fd < 0 || ::close(fd) == 0;
  }
  /// Closes the descriptor held (ignoring failure) and holds `fd` instead.
  void reset(int fd = -1) {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
    m_fd = fd;
  }

private:
  int m_fd = -1;
};

} // namespace platform
