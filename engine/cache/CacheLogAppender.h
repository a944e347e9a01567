#pragma once

#include <filesystem>
#include <string_view>

namespace lumora {

/// Appends records to the cache's log under the cache folder's exclusive lock. The first
/// append to a log checks it (a damaged header or a cut-off last record is repaired) so that
/// the records appended after stay readable. Never fails towards its caller: a failed append
/// loses only its own records and is logged once until an append succeeds again.
/// Not thread-safe: its owner serialises the calls.
class CacheLogAppender {
public:
  void append(std::string_view records, const std::filesystem::path &log);
  /// The next append checks the log again, as after the files were reloaded.
  void recheck() { m_checkedLog.clear(); }

private:
  /// The log whose header and end were checked.
  std::filesystem::path m_checkedLog;
  /// The last append failed.
  bool m_failing = false;
};

} // namespace lumora
