// Clean-up, single delete and batch clean-up through the real engine when, after the scan,
// one photo's file was removed, one was replaced by another file of that name and one's
// folder was swapped for a link to another folder.
#include "app/store/texts/Texts.h"
#include "engine/favorites/FavoriteStore.h"
#include "tests/store/support/EngineStoreFixture.h"
#include "tests/support/TempDir.h"
#include "tests/support/TestEnvironment.h"

#include <fstream>
#include <set>

using namespace lumora;
using namespace storetest;
namespace fs = std::filesystem;

namespace {

bool holds(const std::vector<PhotoItem> &items, const std::string &id) {
  return std::any_of(items.begin(), items.end(),
                     [&id](const PhotoItem &item) { return item.id == id; });
}

/// The Trash's answer when another program saved a file under the photo's name during the
/// move and took the name again before that file could be put back: the photo was renamed
/// away by that program, its name held the new file, which lies in the Trash now.
platform::trash::MoveResult displaceDuringMove(const std::string &path) {
  fs::rename(path, path + ".renamed-by-the-editor");
  std::ofstream(path) << "saved meanwhile";
  auto moved = platform::trash::moveToTrash(path);
  moved.status = platform::trash::MoveStatus::displaced;
  return moved;
}

} // namespace

class AppStoreChangedFiles : public EngineStoreFixture {
protected:
  /// One group of five shots of one scene, each in a folder of its own; scanned. `victims`
  /// are the four the clean-up would move: [0] gone, [1] replaced, [2] its folder swapped
  /// for a link, [3] as scanned.
  void scanAndChangeFourVictims() {
    for (int i = 0; i < 5; ++i) {
      const fs::path path =
          photosFolder() / ("d" + std::to_string(i)) / ("shot" + std::to_string(i) + ".png");
      fs::create_directories(path.parent_path());
      ASSERT_TRUE(testsupport::writeScene(path, 3, 160, 120));
      testsupport::setModified(path, 1'700'000'000 + i);
    }
    store().chooseFolder();
    ASSERT_TRUE(waitForReady());
    ASSERT_EQ(store().groups().size(), 1u);
    group = store().groups()[0];
    victims.assign(group.items.begin() + 1, group.items.end());
    ASSERT_EQ(victims.size(), 4u);
    bool marked = false;
    store().toggleFavorite(victims[0], [&marked](bool) { marked = true; });
    ASSERT_TRUE(waitFor([&] { return marked; }));

    fs::remove(victims[0].id);
    const fs::path replacement = photosFolder() / "replacement.png";
    ASSERT_TRUE(testsupport::writeScene(replacement, 4, 160, 120));
    fs::rename(replacement, victims[1].id);
    const fs::path folder = fs::path(victims[2].id).parent_path();
    fs::rename(folder, folder.string() + ".old");
    const fs::path other = photosFolder() / "other";
    fs::create_directories(other);
    std::ofstream(other / fs::path(victims[2].id).filename()) << "never scanned";
    fs::create_directory_symlink(other, folder);
  }

  /// What every kind of removal must leave: the scanned file moved, the gone photo out of
  /// the results and the favourites, the changed ones still shown and in place, the other
  /// folder untouched.
  void expectOnlyTheScannedFileMoved() {
    EXPECT_EQ(testsupport::trashedFileCount(), 1u);
    EXPECT_FALSE(FavoriteStore::load().contains(victims[0].id));
    EXPECT_FALSE(fs::exists(victims[3].id));
    EXPECT_FALSE(holds(store().items(), victims[0].id));
    EXPECT_FALSE(holds(store().items(), victims[3].id));
    EXPECT_TRUE(holds(store().items(), victims[1].id));
    EXPECT_TRUE(holds(store().items(), victims[2].id));
    EXPECT_TRUE(fs::exists(victims[1].id));
    std::ifstream unscanned(photosFolder() / "other" / fs::path(victims[2].id).filename());
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(unscanned), {}), "never scanned");
  }

  QString leftInPlaceMessage() const {
    return texts::leftInPlaceText({QString::fromStdString(fs::path(victims[1].id).filename()),
                                   QString::fromStdString(fs::path(victims[2].id).filename())});
  }

  /// `count` shots of one scene in the photos folder, scanned into one group.
  void scanOneGroupOf(int count) {
    for (int i = 0; i < count; ++i) {
      const fs::path path = photosFolder() / ("shot" + std::to_string(i) + ".png");
      ASSERT_TRUE(testsupport::writeScene(path, 3, 160, 120));
      testsupport::setModified(path, 1'700'000'000 + i);
    }
    store().chooseFolder();
    ASSERT_TRUE(waitForReady());
    ASSERT_EQ(store().groups().size(), 1u);
  }

  PhotoGroup group;
  std::vector<PhotoItem> victims;
};

TEST_F(AppStoreChangedFiles, aGroupCleanupMovesTheScannedFileDropsTheGoneOneAndNamesTheChanged) {
  scanAndChangeFourVictims();
  store().cleanup(group);
  ASSERT_TRUE(waitFor([&] { return !store().cleaningGroupID(); }));
  expectOnlyTheScannedFileMoved();
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, localized::string("有照片没有移到废纸篓"));
  EXPECT_EQ(store().alert()->message, leftInPlaceMessage());
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, texts::cleanedText(1));
  EXPECT_EQ(store().trashedCount(), 1);
}

TEST_F(AppStoreChangedFiles, aBatchCleanupDoesTheSame) {
  scanAndChangeFourVictims();
  store().enterSelectionMode();
  store().selectAllGroups();
  store().cleanupSelected();
  ASSERT_TRUE(waitFor([&] { return !store().isCleaningSelection(); }));
  expectOnlyTheScannedFileMoved();
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->message, leftInPlaceMessage());
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, QStringLiteral("已清理 1 张"));
}

TEST_F(AppStoreChangedFiles, singleDeletesRemoveAGoneOneQuietlyAndRefuseChangedOnes) {
  scanAndChangeFourVictims();
  std::vector<std::optional<bool>> removed(victims.size());
  for (std::size_t i = 0; i < victims.size(); ++i) {
    store().setAlert(std::nullopt);
    store().deleteItem(victims[i], [&removed, i](bool done) { removed[i] = done; });
    ASSERT_TRUE(waitFor([&] { return removed[i].has_value(); }));
    EXPECT_EQ(*removed[i], i == 0 || i == 3) << i;
    const bool refused = i == 1 || i == 2;
    ASSERT_EQ(store().alert().has_value(), refused) << i;
    if (refused) {
      EXPECT_EQ(store().alert()->title, localized::string("删除失败"));
      EXPECT_TRUE(store().alert()->message.contains(
          QString::fromStdString(fs::path(victims[i].id).filename())));
    }
  }
  expectOnlyTheScannedFileMoved();
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, texts::deletedText(1));
  EXPECT_EQ(store().trashedCount(), 1);
}

TEST_F(AppStoreChangedFiles, aFileSavedUnderAPhotosNameThatCouldNotBePutBackIsToldAndUndoable) {
  std::string displacedPath;
  engineServices.moveToTrash = [&displacedPath](const std::string &path,
                                                const std::optional<platform::FileIdentity> &) {
    displacedPath = path;
    return displaceDuringMove(path);
  };
  ASSERT_NO_FATAL_FAILURE(scanOneGroupOf(3));
  const PhotoItem victim = store().groups()[0].items[1];
  std::optional<bool> removed;
  store().deleteItem(victim, [&removed](bool done) { removed = done; });
  ASSERT_TRUE(waitFor([&] { return removed.has_value(); }));

  EXPECT_FALSE(*removed);
  EXPECT_TRUE(holds(store().items(), victim.id));
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(
      store().alert()->message,
      texts::displacedText({QString::fromStdString(fs::path(victim.id).filename().string())}));
  ASSERT_TRUE(store().undoToast() && store().undoToast()->canUndo);
  store().undoLastCleanup();
  ASSERT_TRUE(waitFor([&] { return !store().undoToast() || !store().undoToast()->canUndo; }));
  ASSERT_TRUE(waitFor([&] { return testsupport::readBytes(displacedPath) == "saved meanwhile"; }));
  EXPECT_EQ(testsupport::trashedFileCount(), 0u);
}

TEST_F(AppStoreChangedFiles, theToastCountsOnlyThePhotosThatMovedNotAFileThatTookOnesName) {
  // The first victim's name is taken by a file saved meanwhile, which goes to the Trash in
  // its place; the others move as scanned.
  std::set<std::string> displaced;
  engineServices.moveToTrash = [&displaced](const std::string &path,
                                            const std::optional<platform::FileIdentity> &seen) {
    if (!displaced.empty()) {
      return platform::trash::moveToTrash(path, seen);
    }
    displaced.insert(path);
    return displaceDuringMove(path);
  };
  ASSERT_NO_FATAL_FAILURE(scanOneGroupOf(4));
  store().cleanup(store().groups()[0]);
  ASSERT_TRUE(waitFor([&] { return !store().cleaningGroupID(); }));
  EXPECT_EQ(testsupport::trashedFileCount(), 3u);
  ASSERT_TRUE(store().undoToast() && store().undoToast()->canUndo);
  EXPECT_EQ(store().undoToast()->message, texts::cleanedText(2));
  EXPECT_EQ(store().trashedCount(), 2);

  // The same through the batch clean-up, whose toast has its own words.
  store().undoLastCleanup();
  ASSERT_TRUE(waitFor([&] { return !store().undoToast() || !store().undoToast()->canUndo; }));
  ASSERT_TRUE(waitForReady());
  ASSERT_EQ(store().groups().size(), 1u);
  displaced.clear();
  store().enterSelectionMode();
  store().selectAllGroups();
  store().cleanupSelected();
  ASSERT_TRUE(waitFor([&] { return !store().isCleaningSelection(); }));
  ASSERT_TRUE(store().undoToast() && store().undoToast()->canUndo);
  EXPECT_EQ(store().undoToast()->message, QStringLiteral("已清理 1 张"));
}
