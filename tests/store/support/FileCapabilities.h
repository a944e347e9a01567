#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace storetest {

/// Takes the capabilities that let root ignore file permissions out of the calling thread's
/// effective set, and gives them back on destruction (they stay in the permitted set), so
/// that permission tests mean something when the tests run as root.
class WithoutFileCapabilities {
public:
  WithoutFileCapabilities() {
    if (!read()) {
      return;
    }
    __user_cap_data_struct lowered[2] = {m_saved[0], m_saved[1]};
    for (int capability : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH}) {
      lowered[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
    }
    m_active = write(lowered);
  }
  ~WithoutFileCapabilities() {
    if (m_active) {
      write(m_saved);
    }
  }
  WithoutFileCapabilities(const WithoutFileCapabilities &) = delete;
  WithoutFileCapabilities &operator=(const WithoutFileCapabilities &) = delete;

  /// Whether permissions now apply to this thread.
  [[nodiscard]] bool active() const { return m_active || ::geteuid() != 0; }

private:
  bool read() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capget, &header, m_saved) == 0;
  }
  bool write(__user_cap_data_struct *data) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    return ::syscall(SYS_capset, &header, data) == 0;
  }

  __user_cap_data_struct m_saved[2] = {};
  bool m_active = false;
};

} // namespace storetest
