#include "engine/model/Date.h"

#include <chrono>

namespace lumora {

Date Date::now() {
  const auto since = std::chrono::system_clock::now().time_since_epoch();
  return Date{std::chrono::duration<double>(since).count()};
}

} // namespace lumora
