#pragma once

#include <QString>
#include <cstddef>
#include <vector>

namespace lumora {

struct PhotoGroup;

/// One calendar month of the date-sorted results grid: its key ("2024-3"), its title
/// ("2024年3月") and the positions of its groups in the store's list, in list order.
struct MonthSection {
  QString id;
  QString title;
  std::vector<std::size_t> groups;

  /// Buckets `groups` by the month of each group's date in one pass. Sections appear in the
  /// order their first group appears; a month's title comes from that first group, and a
  /// group always joins its own month's section even when the input is not sorted.
  [[nodiscard]] static std::vector<MonthSection> make(const std::vector<PhotoGroup> &groups);
};

} // namespace lumora
