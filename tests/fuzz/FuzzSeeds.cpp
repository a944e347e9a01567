// Writes valid example files for the fuzz targets to start from, made with the real writer so
// they always match the current formats: <root>/seeds/<target>/..., and an empty
// <root>/work/<target> for the inputs each run discovers.
#include "engine/cache/AnalysisCache.h"
#include "engine/cache/BinaryWriter.h"
#include "engine/favorites/FavoriteStore.h"

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
  for (const char *target : {"cache_base", "cache_log", "cache_tombstones", "favorites"}) {
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
  return 0;
}
