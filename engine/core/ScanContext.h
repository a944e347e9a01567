#pragma once

#include "engine/core/LumoraEngine.h"

#include <cstdint>
#include <mutex>
#include <stop_token>
#include <string>
#include <unordered_set>

namespace lumora {

/// One scan's own state, so that overlapping scans never feed each other's handlers.
struct LumoraEngine::ScanContext {
  /// Compared with the engine's generation: only the newest scan delivers and keeps state.
  std::uint64_t generation = 0;
  PartialHandler onPartial;
  std::stop_token stop;
  /// Ids deleted while this scan ran; guarded by the engine's mutex.
  std::unordered_set<std::string> deleted;
  /// Serialises deliveries to `onPartial`.
  std::mutex deliveryMutex;
};

} // namespace lumora
