// The detail grid's column rule and the arrow keys' focus movement.
#include "app/detail/DetailFocus.h"

#include <gtest/gtest.h>

using namespace lumora;

namespace {

PhotoGroup groupOf(int count) {
  std::vector<PhotoItem> items;
  for (int i = 0; i < count; ++i) {
    PhotoItem item;
    item.id = "/p/" + std::to_string(i);
    items.push_back(item);
  }
  return PhotoGroup(items.front().id, items);
}

} // namespace

TEST(DetailFocus, columnBoundsAreInclusive) {
  EXPECT_EQ(detailfocus::columnCount(1079), 2);
  EXPECT_EQ(detailfocus::columnCount(1080), 3);
  EXPECT_EQ(detailfocus::columnCount(1439), 3);
  EXPECT_EQ(detailfocus::columnCount(1440), 4);
  EXPECT_EQ(detailfocus::columnCount(0), 2);
}

TEST(DetailFocus, stepsClampAtBothEndsAndStartFromTheFirstWithoutFocus) {
  const PhotoGroup group = groupOf(7);
  // Three columns: Down from index 5 clamps to 6, Up from 1 to 0.
  EXPECT_EQ(detailfocus::steppedID(group, "/p/5", 3), "/p/6");
  EXPECT_EQ(detailfocus::steppedID(group, "/p/1", -3), "/p/0");
  EXPECT_EQ(detailfocus::steppedID(group, "/p/0", -1), "/p/0");
  EXPECT_EQ(detailfocus::steppedID(group, "/p/6", 1), "/p/6");
  EXPECT_EQ(detailfocus::steppedID(group, std::nullopt, 1), "/p/1");
  EXPECT_EQ(detailfocus::steppedID(group, "/gone", 3), "/p/3");
  EXPECT_EQ(detailfocus::steppedID(groupOf(2), std::nullopt, 3), "/p/1");
  EXPECT_EQ(detailfocus::steppedID(group, "/p/3", INT64_MIN), "/p/0");
  EXPECT_EQ(detailfocus::steppedID(group, "/p/3", INT64_MAX), "/p/6");
  EXPECT_EQ(detailfocus::focusedIndex(group, "/gone"), std::nullopt);
}
