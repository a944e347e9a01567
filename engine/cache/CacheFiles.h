#pragma once

#include <filesystem>

namespace lumora {

/// The three files of one analysis cache, all named after the base file and kept side by side.
struct CacheFiles {
  /// The base snapshot, by default "analysis-cache.bin".
  std::filesystem::path base;
  /// The append-only log: the base's name + ".log".
  std::filesystem::path log;
  /// The removed ids: the base's name + ".deleted".
  std::filesystem::path tombstones;

  [[nodiscard]] static CacheFiles forBase(const std::filesystem::path &base) {
    return {base, withSuffix(base, ".log"), withSuffix(base, ".deleted")};
  }
  /// The scratch file a compaction writes before it replaces the base.
  [[nodiscard]] static std::filesystem::path scratchFor(const std::filesystem::path &base) {
    return withSuffix(base, ".tmp");
  }

private:
  static std::filesystem::path withSuffix(const std::filesystem::path &base, const char *suffix) {
    return base.parent_path() / (base.filename().native() + suffix);
  }
};

} // namespace lumora
