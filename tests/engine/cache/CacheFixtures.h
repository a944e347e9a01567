#pragma once

#include "engine/cache/AnalysisCache.h"
#include "engine/cache/BinaryWriter.h"
#include "engine/cache/HalfFloat.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace cachetest {

/// An entry whose fields all derive from `n`, with a vector of `features` values that are not
/// exactly representable at half precision.
inline lumora::CacheEntry entry(const std::string &path, int n, std::size_t features = 4) {
  lumora::CacheEntry e;
  e.path = path;
  e.modified = lumora::Date{1'700'000'000.25 + n};
  e.captureDate = lumora::Date{1'600'000'000.5 + n};
  e.fileSize = 1000 + n;
  e.score = 0.1f * static_cast<float>(n % 10) - 0.45f;
  e.isUtility = n % 2 == 1;
  e.sharpness = 12.5f * static_cast<float>(n);
  for (std::size_t i = 0; i < features; ++i) {
    e.feature.push_back(0.1f + 0.013f * static_cast<float>(i) + 0.0001f * static_cast<float>(n));
  }
  return e;
}

/// A version-2 record, which the cache only ever reads.
inline std::string recordV2(const lumora::CacheEntry &e) {
  using lumora::binarywriter::appendLE;
  std::string out = lumora::AnalysisCache::encodeRecord(
      {e.path, e.modified, e.captureDate, e.fileSize, e.score, e.isUtility, e.sharpness, {}});
  out.resize(out.size() - 2); // drop the version-3 feature count
  appendLE(out, static_cast<std::uint32_t>(e.feature.size()));
  for (float value : e.feature) {
    appendLE(out, value);
  }
  return out;
}

inline std::string header(const char *magic, std::uint32_t version) {
  std::string out(magic);
  lumora::binarywriter::appendLE(out, version);
  return out;
}

inline std::string baseHeader(std::uint32_t version, std::uint32_t count) {
  std::string out = header("LMV2", version);
  lumora::binarywriter::appendLE(out, count);
  return out;
}

inline std::string readFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// The entry as it reads back from a version-3 record: its vector rounded to half precision.
inline lumora::CacheEntry roundTripped(lumora::CacheEntry e) {
  for (float &value : e.feature) {
    value = lumora::halffloat::toFloat(lumora::halffloat::fromFloat(value));
  }
  return e;
}

} // namespace cachetest
