#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace fuzzsupport {

inline std::string_view bytes(const std::uint8_t *data, std::size_t size) {
  return {reinterpret_cast<const char *>(data), size};
}

/// Points HOME and the XDG data folder at a private temporary folder, removed at exit, so
/// that nothing a target logs lands in the real data folder of whoever runs it.
inline void isolateHome() {
  static std::string home =
      (std::filesystem::temp_directory_path() / "pindle-fuzz-XXXXXX").string();
  if (::mkdtemp(home.data()) == nullptr) {
    std::abort();
  }
  ::setenv("HOME", home.c_str(), 1);
  ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(home, ignored);
  });
}

/// Stops the run with a crash report when an invariant does not hold.
inline void check(bool holds) {
  if (!holds) {
    __builtin_trap();
  }
}

} // namespace fuzzsupport
