// Fuzzes the tombstone reader over a cache holding a few entries.
#include "engine/cache/AnalysisCache.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  using namespace lumora;
  std::string log("LML2\x03\0\0\0", 8);
  for (const char *path : {"a", "b", "/p/c.jpg"}) {
    log += AnalysisCache::encodeRecord(CacheEntry{path, Date{1}, Date{2}, 3, 0, false, 1, {1.f}});
  }
  AnalysisCache cache;
  cache.loadLog(log, nullptr);
  const std::string_view tombstones = fuzzsupport::bytes(data, size);
  cache.loadTombstones(tombstones);
  // An entry survives exactly when no line names it.
  for (const char *path : {"a", "b", "/p/c.jpg"}) {
    const std::string line = std::string("\n") + path + "\n";
    const std::string text = "\n" + std::string(tombstones) + "\n";
    fuzzsupport::check(cache.entries().contains(path) == (text.find(line) == std::string::npos));
  }
  return 0;
}
