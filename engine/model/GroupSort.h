#pragma once

#include <QString>
#include <array>
#include <optional>
#include <string_view>

namespace lumora {

/// The order of the group list: newest best photo first, or most photos first.
enum class GroupSort { date, memberCount };

namespace groupsort {

inline constexpr std::array<GroupSort, 2> kAll{GroupSort::date, GroupSort::memberCount};

/// "date" or "memberCount"; also the sort's identity.
[[nodiscard]] std::string_view rawValue(GroupSort sort);
/// The sort named by `raw`; none for any other string.
[[nodiscard]] std::optional<GroupSort> fromRawValue(std::string_view raw);
/// "按日期" or "按相似数量".
[[nodiscard]] QString title(GroupSort sort);

} // namespace groupsort
} // namespace lumora
