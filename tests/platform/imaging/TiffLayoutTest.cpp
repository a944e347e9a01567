#include "platform/core/imaging/TiffLayout.h"
#include "platform/core/posix/UniqueFd.h"
#include "tests/support/TempDir.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using namespace platform;

namespace {

struct Entry {
  std::uint16_t tag = 0;
  std::uint16_t type = 3; // SHORT
  std::uint32_t count = 1;
  std::uint32_t value = 0;
};

/// A TIFF header and its first directory (nothing else), in either byte order.
std::string tiff(bool little, const std::vector<Entry> &entries, std::uint16_t magic = 42) {
  std::string out;
  const auto put = [&](std::uint32_t value, int size) {
    for (int i = 0; i < size; ++i) {
      out += static_cast<char>(value >> (8 * (little ? i : size - 1 - i)));
    }
  };
  out += little ? "II" : "MM";
  put(magic, 2);
  put(8, 4);
  put(static_cast<std::uint32_t>(entries.size()), 2);
  for (const Entry &e : entries) {
    put(e.tag, 2);
    put(e.type, 2);
    put(e.count, 4);
    // A SHORT sits at the start of the value field, in the file's byte order.
    put(e.value, e.type == 3 ? 2 : 4);
    put(0, e.type == 3 ? 2 : 0);
  }
  put(0, 4); // no next directory
  return out;
}

std::optional<tifflayout::Layout> layoutOf(const std::string &bytes) {
  testsupport::TempDir dir;
  const auto path = dir.write("t.tif", bytes);
  const UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  return tifflayout::read(fd.get(), static_cast<std::int64_t>(bytes.size()));
}

} // namespace

TEST(TiffLayout, stripsAndTilesAreReadInEitherByteOrder) {
  const auto strips = layoutOf(tiff(true, {{259, 3, 1, 1}, {278, 4, 1, 16}}));
  ASSERT_TRUE(strips.has_value());
  EXPECT_EQ(strips->rowsPerChunk, 16);
  EXPECT_FALSE(strips->compressed);

  const auto tiles = layoutOf(tiff(false, {{259, 3, 1, 5}, {322, 3, 1, 256}, {323, 3, 1, 512}}));
  ASSERT_TRUE(tiles.has_value());
  EXPECT_EQ(tiles->rowsPerChunk, 512);
  EXPECT_TRUE(tiles->compressed);

  // Without RowsPerStrip the one strip is the whole picture.
  const auto whole = layoutOf(tiff(true, {{256, 3, 1, 4000}}));
  ASSERT_TRUE(whole.has_value());
  EXPECT_EQ(whole->rowsPerChunk, std::numeric_limits<std::uint32_t>::max());
}

TEST(TiffLayout, anythingButAReadableClassicDirectoryGivesNoLayout) {
  EXPECT_FALSE(layoutOf("MZ\x90\x00 not a tiff at all"));
  EXPECT_FALSE(layoutOf(tiff(true, {{278, 3, 1, 16}}, 43))); // BigTIFF
  EXPECT_FALSE(layoutOf(tiff(true, {{278, 3, 2, 16}})));     // rows given as a list
  std::string cut = tiff(false, {{278, 3, 1, 16}, {259, 3, 1, 1}});
  cut.resize(cut.size() - 10);
  EXPECT_FALSE(layoutOf(cut)); // the directory runs past the end
  std::string far = tiff(true, {{278, 3, 1, 16}});
  far[4] = '\xF0'; // the directory lies past the end
  EXPECT_FALSE(layoutOf(far));
}
