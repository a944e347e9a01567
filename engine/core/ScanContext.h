#pragma once

#include "engine/core/LumoraEngine.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <unordered_set>
#include <vector>

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

/// Registers a scan for as long as it is in scope and ends it on every way out: a return,
/// an error, an exception from a handler, a cancellation.
class LumoraEngine::ScanScope {
public:
  ScanScope(LumoraEngine &engine, PartialHandler onPartial, std::stop_token stop)
      : m_engine(engine), m_context(engine.beginScan(std::move(onPartial), std::move(stop))) {}
  ~ScanScope() { m_engine.endScan(m_context); }
  ScanScope(const ScanScope &) = delete;
  ScanScope &operator=(const ScanScope &) = delete;

  [[nodiscard]] const std::shared_ptr<ScanContext> &context() const { return m_context; }

private:
  LumoraEngine &m_engine;
  std::shared_ptr<ScanContext> m_context;
};

/// A scan's photos split by the cache: the photos made from entries that still hold, and
/// the positions of those that must be analysed, both in the listed order.
struct LumoraEngine::CacheSplit {
  std::vector<PhotoItem> hits;
  std::vector<std::size_t> misses;
};

} // namespace lumora
