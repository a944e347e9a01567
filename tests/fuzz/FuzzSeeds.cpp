// Writes valid example files for the fuzz targets to start from, made with the real writer so
// they always match the current formats: <root>/seeds/<target>/..., and an empty
// <root>/work/<target> for the inputs each run discovers.
#include "engine/cache/AnalysisCache.h"
#include "engine/cache/BinaryWriter.h"
#include "engine/favorites/FavoriteStore.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace {

using namespace lumora;
namespace fs = std::filesystem;

std::string header(const char *magic, std::uint32_t version) {
  std::string out(magic);
  binarywriter::appendLE(out, version);
  return out;
}

CacheEntry sample(const std::string &path, float seed) {
  return {path,      Date{1.7e9 + seed}, Date{1.6e9}, 4096,
          seed / 10, seed > 1,           seed * 3,    {0.5f, -0.25f, seed / 100, 0.125f}};
}

std::string records(std::uint32_t version) {
  std::string out;
  for (const auto &entry : {sample("/photos/a.jpg", 1), sample("/photos/b.jpg", 2)}) {
    std::string record = AnalysisCache::encodeRecord(entry);
    if (version == 2) {
      record.resize(record.size() - 2 - 2 * entry.feature.size());
      binarywriter::appendLE(record, static_cast<std::uint32_t>(entry.feature.size()));
      for (float value : entry.feature) {
        binarywriter::appendLE(record, value);
      }
    }
    out += record;
  }
  return out;
}

void write(const fs::path &file, const std::string &bytes) {
  fs::create_directories(file.parent_path());
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

/// The start of a JPEG up to its first scan: an APP0 segment, then the luminance table of
/// `quality` (8- or 16-bit steps) and a chrominance one in one DQT segment.
std::string jpegHeader(int quality, bool wide) {
  const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
  std::string table;
  for (int id = 0; id < 2; ++id) {
    table += static_cast<char>((wide ? 0x10 : 0x00) | id);
    for (int i = 0; i < 64; ++i) {
      const int step = std::clamp(((16 + i) * scale + 50) / 100, 1, wide ? 32767 : 255);
      if (wide) {
        table += static_cast<char>(step >> 8);
      }
      table += static_cast<char>(step & 0xff);
    }
  }
  const auto segment = [](unsigned char marker, const std::string &body) {
    const std::size_t length = body.size() + 2;
    return std::string{'\xff', static_cast<char>(marker), static_cast<char>(length >> 8),
                       static_cast<char>(length & 0xff)} +
           body;
  };
  return std::string("\xff\xd8") + segment(0xe0, std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14)) +
         segment(0xdb, table) + segment(0xda, std::string(10, '\0'));
}

std::string base(std::uint32_t version) {
  std::string out = header("LMV2", version);
  binarywriter::appendLE(out, std::uint32_t{2});
  return out + records(version);
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds <corpus-root>\n";
    return 2;
  }
  const fs::path root = argv[1];
  fs::remove_all(root / "work");
  for (const char *target :
       {"cache_base", "cache_log", "cache_tombstones", "favorites", "jpeg_quality"}) {
    fs::create_directories(root / "work" / target);
  }
  const fs::path seeds = root / "seeds";
  write(seeds / "cache_base/v3.bin", base(3));
  write(seeds / "cache_base/v2.bin", base(2));
  write(seeds / "cache_log/v3.log", header("LML2", 3) + records(3));
  write(seeds / "cache_log/v2.log", header("LML2", 2) + records(2));
  write(seeds / "cache_tombstones/ids.deleted", "a\n\n/p/c.jpg\nb");
  write(seeds / "favorites/two.json", FavoriteStore::encode({"/p/a.jpg", "/p/b.jpg"}));
  write(seeds / "favorites/empty.json", FavoriteStore::encode({}));
  write(seeds / "jpeg_quality/q75.jpg", jpegHeader(75, false));
  write(seeds / "jpeg_quality/q20-wide.jpg", jpegHeader(20, true));
  return 0;
}
