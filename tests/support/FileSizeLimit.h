#pragma once

#include <csignal>
#include <sys/resource.h>

namespace testsupport {

/// Limits the size of files this process may write, as a full disk would; SIGXFSZ ignored so
/// the write fails with EFBIG instead of ending the process. The limit holds for every thread
/// until the value goes.
class FileSizeLimit {
public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &m_saved);
    m_previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = m_saved;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_saved);
    std::signal(SIGXFSZ, m_previous);
  }
  FileSizeLimit(const FileSizeLimit &) = delete;
  FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
  rlimit m_saved{};
  void (*m_previous)(int) = nullptr;
};

} // namespace testsupport
