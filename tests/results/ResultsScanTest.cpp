#include "tests/results/support/GridViewHost.h"
#include "tests/support/ImageFixtures.h"

#include <QTest>

using namespace lumora;
using namespace gridtest;

// Three scenes shot in three months, scanned for real: the grid lists the newest month
// first, and Return opens the focused group.
TEST_F(GridViewFixture, aRealScanListsTheNewestMonthFirstAndReturnOpensTheFocusedGroup) {
  const std::filesystem::path photos = tempPath() / "photos";
  std::filesystem::create_directories(photos);
  const std::vector<std::pair<int, int>> months = {{2025, 3}, {2025, 5}, {2025, 4}};
  for (std::size_t scene = 0; scene < months.size(); ++scene) {
    for (int shot = 0; shot < 3; ++shot) {
      const auto path =
          photos / ("s" + std::to_string(scene) + "-" + std::to_string(shot) + ".png");
      ASSERT_TRUE(testsupport::writeScene(path, static_cast<int>(scene) * 7 + 1, 640, 480));
      testsupport::setModified(path, monthStart(months[scene].first, months[scene].second) +
                                         86400 * 3 + shot);
    }
  }
  store().chooseFolder();
  ASSERT_TRUE(storetest::waitForPhase(store(), AppStore::Phase::Kind::ready));
  ASSERT_EQ(store().groups().size(), 3u);
  showView();
  const auto &sections = grid().sections();
  ASSERT_EQ(sections.size(), 3u);
  EXPECT_EQ(sections[0].id, "2025-5");
  EXPECT_EQ(sections[1].id, "2025-4");
  EXPECT_EQ(sections[2].id, "2025-3");
  ASSERT_TRUE(waitFor([&] { return view().keyView().hasFocus(); }, 1000));
  QTest::keyClick(&view().keyView(), Qt::Key_Home);
  QTest::keyClick(&view().keyView(), Qt::Key_Return);
  EXPECT_EQ(store().detailGroupID(), store().groups().front().id);
}
