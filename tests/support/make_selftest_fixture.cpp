// Writes the photo folders the application self-tests run on:
//   make_selftest_fixture grouped DIR   8 groups of 3 shots of one scene, in two months,
//                                       and 4 photos unlike any other
//   make_selftest_fixture distinct DIR  6 photos unlike each other

#include "tests/support/ImageFixtures.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr double kMarch2024 = 1709856000; // 2024-03-08
constexpr double kMay2024 = 1715126400;   // 2024-05-08
constexpr double kDay = 86400;

bool writePhoto(const fs::path &folder, const std::string &name, int seed, double taken) {
  const fs::path path = folder / (name + ".jpg");
  if (!testsupport::writeScene(path, seed, 480, 360)) {
    return false;
  }
  testsupport::setModified(path, taken);
  return true;
}

bool writeGrouped(const fs::path &folder) {
  for (int group = 0; group < 8; ++group) {
    const double day = (group < 4 ? kMarch2024 : kMay2024) + group * kDay;
    for (int shot = 0; shot < 3; ++shot) {
      const std::string name = "g" + std::to_string(group) + "-" + std::to_string(shot);
      if (!writePhoto(folder, name, group + 1, day + shot * 2)) {
        return false;
      }
    }
  }
  for (int single = 0; single < 4; ++single) {
    if (!writePhoto(folder, "single" + std::to_string(single), 100 + single * 7,
                    kMay2024 + 20 * kDay + single * kDay)) {
      return false;
    }
  }
  return true;
}

bool writeDistinct(const fs::path &folder) {
  for (int single = 0; single < 6; ++single) {
    if (!writePhoto(folder, "p" + std::to_string(single), 200 + single * 11,
                    kMarch2024 + single * kDay)) {
      return false;
    }
  }
  return true;
}

} // namespace

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_selftest_fixture grouped|distinct DIR\n");
    return 2;
  }
  const std::string kind = argv[1];
  const fs::path folder = argv[2];
  fs::create_directories(folder);
  const bool written = kind == "grouped" ? writeGrouped(folder) : writeDistinct(folder);
  return written ? 0 : 1;
}
