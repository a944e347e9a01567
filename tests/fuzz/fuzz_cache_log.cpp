// Fuzzes the append-log reader, with and without the set that skips vectors.
#include "engine/cache/AnalysisCache.h"
#include "tests/fuzz/FuzzCacheChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  fuzzsupport::checkReader(
      fuzzsupport::bytes(data, size),
      [](lumora::AnalysisCache &cache, std::string_view bytes, const lumora::PathSet *only) {
        cache.loadLog(bytes, only);
        fuzzsupport::check(cache.pendingLogCount() >= static_cast<int>(cache.entries().size()));
      });
  return 0;
}
