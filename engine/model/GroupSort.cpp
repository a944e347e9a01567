#include "engine/model/GroupSort.h"

namespace lumora::groupsort {

std::string_view rawValue(GroupSort sort) {
  return sort == GroupSort::date ? std::string_view("date") : std::string_view("memberCount");
}

std::optional<GroupSort> fromRawValue(std::string_view raw) {
  for (GroupSort sort : kAll) {
    if (rawValue(sort) == raw) {
      return sort;
    }
  }
  return std::nullopt;
}

QString title(GroupSort sort) {
  return sort == GroupSort::date ? QStringLiteral("按日期") : QStringLiteral("按相似数量");
}

} // namespace lumora::groupsort
