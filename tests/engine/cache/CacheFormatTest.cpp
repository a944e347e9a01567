#include "engine/cache/AnalysisCache.h"
#include "engine/cache/BinaryReader.h"
#include "engine/cache/HalfFloat.h"
#include "tests/engine/cache/CacheFixtures.h"

#include <bit>
#include <cmath>
#include <gtest/gtest.h>

using namespace lumora;
using namespace cachetest;

TEST(HalfFloat, everyHalfSurvivesTheRoundTripAndTiesGoToEven) {
  for (std::uint32_t h = 0; h <= 0xffff; ++h) {
    const auto half = static_cast<std::uint16_t>(h);
    const float value = halffloat::toFloat(half);
    if (std::isnan(value)) {
      EXPECT_TRUE(std::isnan(halffloat::toFloat(halffloat::fromFloat(value))));
      continue;
    }
    ASSERT_EQ(halffloat::fromFloat(value), half) << h;
    // Between this half and the next one up: the midpoint goes to the even one, anything
    // beyond it to the upper one.
    const auto next = static_cast<std::uint16_t>(h + 1);
    if ((h & 0x7fff) >= 0x7bff) {
      continue; // the largest finite halves and infinity have no finite neighbour above
    }
    const double mid = (double(value) + double(halffloat::toFloat(next))) / 2;
    const auto even = (half & 1) == 0 ? half : next;
    EXPECT_EQ(halffloat::fromFloat(static_cast<float>(mid)), even) << h;
    EXPECT_EQ(halffloat::fromFloat(std::nextafter(static_cast<float>(mid), 2 * float(mid))), next)
        << h;
  }
  EXPECT_EQ(halffloat::fromFloat(65519.f), 0x7bff);
  EXPECT_EQ(halffloat::fromFloat(65520.f), 0x7c00);
  EXPECT_EQ(halffloat::fromFloat(-1e9f), 0xfc00);
  EXPECT_EQ(halffloat::fromFloat(0x1p-25f), 0);
  EXPECT_EQ(halffloat::fromFloat(std::nextafter(0x1p-25f, 1.f)), 1);
}

TEST(HalfFloat, batchConversionMatchesOneByOneForEveryPatternAndLength) {
  std::string bytes;
  for (std::uint32_t h = 0; h <= 0xffff; ++h) {
    bytes.push_back(static_cast<char>(h & 0xff));
    bytes.push_back(static_cast<char>(h >> 8));
  }
  // Every length 0…7 from an odd offset covers the four-value steps and the remainder.
  for (std::size_t start : {std::size_t{0}, std::size_t{2 * 0x7bfd}}) {
    for (std::size_t count = 0; count < 8; ++count) {
      std::vector<float> out(count, -1.0f);
      const auto *at = reinterpret_cast<const unsigned char *>(bytes.data()) + start;
      halffloat::toFloats(at, count, out.data());
      for (std::size_t i = 0; i < count; ++i) {
        EXPECT_EQ(std::bit_cast<std::uint32_t>(out[i]),
                  std::bit_cast<std::uint32_t>(
                      halffloat::toFloat(static_cast<std::uint16_t>(start / 2 + i))));
      }
    }
  }
  std::vector<float> all(0x10000);
  halffloat::toFloats(reinterpret_cast<const unsigned char *>(bytes.data()), all.size(),
                      all.data());
  for (std::uint32_t h = 0; h <= 0xffff; ++h) {
    ASSERT_EQ(std::bit_cast<std::uint32_t>(all[h]),
              std::bit_cast<std::uint32_t>(halffloat::toFloat(static_cast<std::uint16_t>(h))))
        << h;
  }
}

TEST(BinaryReader, failedReadsLeaveTheOffsetAndNeverOverrun) {
  const std::string bytes("\x01\x02\x03\x04\x05\x06\x07", 7);
  BinaryReader reader(bytes);
  EXPECT_EQ(reader.u16(), 0x0201);
  EXPECT_EQ(reader.u32(), 0x06050403u);
  EXPECT_FALSE(reader.u16().has_value());
  EXPECT_FALSE(reader.string(2).has_value());
  EXPECT_FALSE(reader.peekString(-1).has_value());
  EXPECT_FALSE(reader.float16s(INT64_MAX).has_value());
  EXPECT_FALSE(reader.floats(INT64_MAX / 2).has_value());
  EXPECT_EQ(reader.offset(), 6u);
  EXPECT_EQ(reader.floats(0), std::vector<float>{});
  EXPECT_EQ(reader.peekString(1), "\x07");
  EXPECT_EQ(reader.u8(), 7);
  reader.skip(SIZE_MAX);
  EXPECT_EQ(reader.remaining(), 0u);
  EXPECT_FALSE(reader.u8().has_value());
}

TEST(AnalysisCacheFormat, recordIsLittleEndianWithHalfFloats) {
  const CacheEntry e{"/p/a", Date{1.5}, Date{-2}, -3, 0.5f, true, 2.f, {1.f, -2.f, 0.1f}};
  const std::string expected("\x04\x00\x00\x00/p/a"
                             "\x00\x00\x00\x00\x00\x00\xf8\x3f"
                             "\x00\x00\x00\x00\x00\x00\x00\xc0"
                             "\xfd\xff\xff\xff\xff\xff\xff\xff"
                             "\x00\x00\x00\x3f"
                             "\x01"
                             "\x00\x00\x00\x40"
                             "\x03\x00"
                             "\x00\x3c\x00\xc0\x66\x2e",
                             49);
  EXPECT_EQ(AnalysisCache::encodeRecord(e), expected);
  BinaryReader reader(expected);
  const auto read = AnalysisCache::readRecord(reader, nullptr);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, roundTripped(e));
  EXPECT_EQ(reader.remaining(), 0u);
}

TEST(AnalysisCacheFormat, shortOrForeignHeadersAreIgnored) {
  AnalysisCache cache;
  cache.loadBase(baseHeader(2, 0), nullptr); // exactly 12 bytes
  EXPECT_FALSE(cache.needsMigration());
  cache.loadBase(baseHeader(4, 1) + AnalysisCache::encodeRecord(entry("/a", 1)), nullptr);
  cache.loadLog(header("LMV2", 3) + AnalysisCache::encodeRecord(entry("/a", 1)), nullptr);
  EXPECT_TRUE(cache.entries().empty());
  cache.loadBase(baseHeader(2, 0) + "x", nullptr);
  EXPECT_TRUE(cache.needsMigration());
  EXPECT_TRUE(cache.entries().empty());
}

TEST(AnalysisCacheFormat, versionTwoBaseAndVersionThreeLogCombine) {
  AnalysisCache cache;
  cache.loadBase(baseHeader(2, 2) + recordV2(entry("/a", 1)) + recordV2(entry("/b", 2)), nullptr);
  cache.loadLog(header("LML2", 3) + AnalysisCache::encodeRecord(entry("/b", 3)), nullptr);
  EXPECT_TRUE(cache.needsMigration());
  EXPECT_EQ(cache.pendingLogCount(), 1);
  EXPECT_EQ(cache.entries().at("/a"), entry("/a", 1)); // full precision from version 2
  EXPECT_EQ(cache.entries().at("/b"), roundTripped(entry("/b", 3)));
}

TEST(AnalysisCacheFormat, aBadRecordEndsTheFileAndKeepsWhatCameBefore) {
  const std::string good = AnalysisCache::encodeRecord(entry("/a", 1));
  const std::string cut = AnalysisCache::encodeRecord(entry("/b", 2)).substr(0, 4 + 2 + 33);
  CacheEntry longPath = entry(std::string(AnalysisCache::kPathLimit, 'p'), 3);
  CacheEntry wide = entry("/w", 4, AnalysisCache::kFeatureLimit + 1);
  for (const std::string &bad : {cut, AnalysisCache::encodeRecord(longPath) + good,
                                 AnalysisCache::encodeRecord(wide) + good}) {
    AnalysisCache cache;
    cache.loadLog(header("LML2", 3) + good + bad, nullptr);
    EXPECT_EQ(cache.entries().size(), 1u);
    EXPECT_EQ(cache.pendingLogCount(), 1);
  }
  // A count that promises more than the data holds is harmless.
  AnalysisCache cache;
  cache.loadBase(baseHeader(3, UINT32_MAX) + good, nullptr);
  EXPECT_EQ(cache.entries().size(), 1u);
}

TEST(AnalysisCacheFormat, onlySetSkipsVectorsWithoutReadingThem) {
  const PathSet only{"/a"};
  std::string log = header("LML2", 3) + AnalysisCache::encodeRecord(entry("/a", 1)) +
                    AnalysisCache::encodeRecord(entry("/b", 2, 100));
  log.resize(log.size() - 150); // /b's vector is cut off
  log += AnalysisCache::encodeRecord(entry("/c", 3)).substr(0, 20);
  AnalysisCache cache;
  cache.loadLog(log, &only);
  ASSERT_EQ(cache.entries().size(), 2u);
  EXPECT_EQ(cache.entries().at("/a").feature.size(), 4u);
  EXPECT_TRUE(cache.entries().at("/b").feature.empty());
  EXPECT_EQ(cache.pendingLogCount(), 2);
}

TEST(AnalysisCacheFormat, everyTruncationLoadsAPrefixOfTheRecords) {
  std::string base = baseHeader(3, 3);
  for (int n = 0; n < 3; ++n) {
    base += AnalysisCache::encodeRecord(entry("/" + std::to_string(n), n));
  }
  std::size_t previous = 0;
  for (std::size_t size = 0; size <= base.size(); ++size) {
    AnalysisCache cache;
    cache.loadBase(std::string_view(base).substr(0, size), nullptr);
    EXPECT_GE(cache.entries().size(), previous);
    previous = cache.entries().size();
  }
  EXPECT_EQ(previous, 3u);
}

TEST(AnalysisCacheFormat, tombstonesApplyAfterTheLogAndIgnoreEmptyLines) {
  AnalysisCache cache;
  cache.loadBase(baseHeader(3, 3) + AnalysisCache::encodeRecord(entry("/a", 1)) +
                     AnalysisCache::encodeRecord(entry("/b", 2)) +
                     AnalysisCache::encodeRecord(entry("/c", 3)),
                 nullptr);
  cache.loadLog(header("LML2", 3) + AnalysisCache::encodeRecord(entry("/a", 4)), nullptr);
  cache.loadTombstones("\n/a\n\n/c");
  ASSERT_EQ(cache.entries().size(), 1u);
  EXPECT_TRUE(cache.entries().contains("/b"));
}
