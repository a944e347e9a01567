#pragma once

#include "engine/cache/AnalysisCache.h"
#include "tests/fuzz/FuzzSupport.h"

namespace fuzzsupport {

/// Runs a cache reader over `bytes` twice, decoding every vector and skipping them all, and
/// checks what both readings must agree on: every accepted entry is one the writer can store
/// again, and its record reads back to the same bytes.
template <typename Load> void checkReader(std::string_view bytes, Load load) {
  using namespace lumora;
  AnalysisCache full;
  load(full, bytes, nullptr);
  const PathSet none;
  AnalysisCache skipped;
  load(skipped, bytes, &none);
  // Skipping vectors never reads them, so it can only accept more records, never fewer.
  check(skipped.entries().size() >= full.entries().size());
  for (const auto &[path, entry] : full.entries()) {
    check(path == entry.path && AnalysisCache::isStorable(entry));
    const std::string record = AnalysisCache::encodeRecord(entry);
    BinaryReader reader(record);
    const auto read = AnalysisCache::readRecord(reader, nullptr);
    check(read.has_value() && reader.remaining() == 0);
    check(AnalysisCache::encodeRecord(*read) == record);
    // A base set aside as damaged keeps its vectors whatever the set asks for: once the file
    // is moved aside they have no other home. Otherwise a skipped vector is never read. Records
    // are compared as bytes: a vector read from fuzzed bytes may hold NaNs.
    const auto other = skipped.entries().find(path);
    check(other != skipped.entries().end() &&
          (other->second.feature.empty() || AnalysisCache::encodeRecord(other->second) == record));
  }
}

} // namespace fuzzsupport
