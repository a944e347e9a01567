#include "engine/model/ScanTypes.h"

#include <algorithm>

namespace lumora {

std::string_view scanphase::rawValue(ScanPhase phase) {
  switch (phase) {
  case ScanPhase::enumerating: return "enumerating";
  case ScanPhase::analyzing: return "analyzing";
  case ScanPhase::finishing: return "finishing";
  }
  return "enumerating";
}

const ScanProgress &ScanProgress::idle() {
  static const ScanProgress kIdle{};
  return kIdle;
}

double ScanProgress::fraction() const {
  if (total < 1) {
    return 0;
  }
  return std::min(1.0, static_cast<double>(done) / static_cast<double>(total));
}

double ScanResult::msPerPhoto() const {
  if (items.empty()) {
    return 0;
  }
  return elapsed / static_cast<double>(items.size()) * 1000.0;
}

std::int64_t ScanResult::remainingCount() const {
  return std::max<std::int64_t>(0, fileCount - static_cast<std::int64_t>(items.size()));
}

} // namespace lumora
