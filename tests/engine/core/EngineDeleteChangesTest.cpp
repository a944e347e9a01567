// Deletion and undo when the folder changed after the scan: only scanned files move, a gone
// one is forgotten, a changed one stays, and undo brings back nothing foreign.
#include "engine/favorites/FavoriteStore.h"
#include "tests/engine/core/EngineFixture.h"

#include <map>

using namespace lumora;
using namespace enginetest;

namespace {

std::map<std::string, PhotoItem> byName(const std::vector<PhotoItem> &items) {
  std::map<std::string, PhotoItem> named;
  for (const PhotoItem &item : items) {
    named[fs::path(item.id).parent_path().filename().string() + "/" +
          fs::path(item.id).filename().string()] = item;
  }
  return named;
}

} // namespace

TEST_F(EngineTest, aDeletionMovesOnlyScannedFilesForgetsGoneOnesAndLeavesChangedOnes) {
  fs::create_directories(photos.file("P"));
  fs::create_directories(photos.file("S"));
  writeBurst("P/s", 1, 4, 1'700'000'000);
  writeBurst("S/t", 1, 1, 1'700'000'010);
  auto engine = makeEngine();
  Recorder recorder;
  auto photo = byName(scanFolder(*engine, recorder).items);
  ASSERT_EQ(photo.size(), 5u);
  ASSERT_TRUE(engine->setFavorite(photo["P/s1.png"], true).hasValue());

  fs::remove(photo["P/s1.png"].id);
  ASSERT_TRUE(testsupport::writeScene(photos.file("new.png"), 9, 640, 480));
  fs::rename(photos.file("new.png"), photo["P/s2.png"].id);
  fs::rename(photos.file("S"), photos.file("S.old"));
  fs::create_directories(photos.file("other"));
  std::ofstream(photos.file("other/t0.png")) << "never scanned";
  fs::create_directory_symlink("other", photos.file("S"));

  const DeleteOutcome outcome = engine->deleteItems(
      {photo["P/s1.png"], photo["P/s2.png"], photo["P/s3.png"], photo["S/t0.png"]});
  EXPECT_FALSE(outcome.error.has_value());
  ASSERT_EQ(outcome.receipt.trashedFiles.size(), 1u);
  EXPECT_EQ(outcome.receipt.trashedFiles[0].originalPath, photo["P/s3.png"].id);
  EXPECT_EQ(outcome.missingIDs, std::vector<std::string>{photo["P/s1.png"].id});
  EXPECT_EQ(outcome.refusedIDs,
            (std::vector<std::string>{photo["P/s2.png"].id, photo["S/t0.png"].id}));
  EXPECT_TRUE(fs::exists(photo["P/s2.png"].id));
  EXPECT_EQ(readAll(photos.file("other/t0.png")), "never scanned");
  EXPECT_TRUE(fs::exists(photos.file("S.old/t0.png")));
  EXPECT_FALSE(FavoriteStore::load().contains(photo["P/s1.png"].id));

  // The gone photo left the engine's state; the changed ones are still grouped.
  const auto groups =
      engine->group({photo["P/s0.png"], photo["P/s1.png"], photo["P/s2.png"], photo["S/t0.png"]},
                    0.30f, GroupSort::date);
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0].count(), 3);
  for (const PhotoItem &item : groups[0].items) {
    EXPECT_NE(item.id, photo["P/s1.png"].id);
  }

  EXPECT_EQ(engine->undoDelete(outcome.receipt).value(), 1);
  EXPECT_TRUE(fs::exists(photo["P/s3.png"].id));
}

TEST_F(EngineTest, undoAfterTheTrashEntryWasReplacedRestoresNothingForeign) {
  fs::create_directories(photos.file("P"));
  writeBurst("P/s", 1, 2, 1'700'000'000);
  auto engine = makeEngine();
  Recorder recorder;
  auto photo = byName(scanFolder(*engine, recorder).items);
  const DeleteOutcome outcome = engine->deleteItems({photo["P/s0.png"]});
  ASSERT_EQ(outcome.receipt.trashedFiles.size(), 1u);
  const fs::path entry = outcome.receipt.trashedFiles[0].trashedPath;
  fs::remove(entry);
  fs::remove(homeTrash() / "info" / (entry.filename().string() + ".trashinfo"));
  testsupport::TempDir q;
  const auto foreign = platform::trash::moveToTrash(q.write("s0.png", "from Q").string());
  ASSERT_EQ(foreign.trashedPath, entry.string());

  EXPECT_EQ(engine->undoDelete(outcome.receipt).value(), 0);
  EXPECT_FALSE(fs::exists(photo["P/s0.png"].id));
  EXPECT_EQ(readAll(entry), "from Q");
}
