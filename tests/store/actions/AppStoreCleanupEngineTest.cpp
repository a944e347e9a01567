// Clean-up, batch clean-up and undo through the real engine, real photo files and the
// test process's own Trash.
#include "app/store/texts/Texts.h"
#include "tests/store/support/EngineStoreFixture.h"

#include <QFile>
#include <QStandardPaths>
#include <atomic>
#include <cerrno>
#include <map>
#include <set>

using namespace lumora;
using namespace storetest;
namespace fs = std::filesystem;

namespace {

QByteArray bytesOf(const fs::path &path) {
  QFile file(QString::fromStdString(path.string()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

fs::path trashRoot() {
  return fs::path(
             QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString()) /
         "Trash";
}

std::multiset<std::int64_t> groupSizes(const std::vector<PhotoGroup> &groups) {
  std::multiset<std::int64_t> sizes;
  for (const PhotoGroup &group : groups) {
    sizes.insert(group.count());
  }
  return sizes;
}

} // namespace

class AppStoreCleanupWithEngine : public EngineStoreFixture {
protected:
  AppStoreCleanupWithEngine() {
    // A Trash that can be told to refuse every move after a number of them.
    engineServices.moveToTrash = [this](const std::string &path,
                                        const std::optional<platform::FileIdentity> &expected) {
      if (m_movesLeft.fetch_sub(1) <= 0) {
        return platform::trash::MoveResult{platform::trash::MoveStatus::failed,
                                           {},
                                           {platform::trash::Problem::Kind::system, EIO},
                                           std::nullopt};
      }
      return platform::trash::moveToTrash(path, expected);
    };
  }

  /// `count` identical small shots of scene `seed`, one second apart from `start`.
  void writeShots(const std::string &prefix, int seed, int count, double start) {
    writeBurst(prefix, seed, count, start, 160, 120);
  }

  /// Every photo file's bytes, by name.
  std::map<std::string, QByteArray> snapshot() const {
    std::map<std::string, QByteArray> files;
    for (const fs::directory_entry &entry : fs::directory_iterator(photosFolder())) {
      files[entry.path().filename().string()] = bytesOf(entry.path());
    }
    return files;
  }

  void scan() {
    store().chooseFolder();
    ASSERT_TRUE(waitForReady());
  }

  /// Presses Undo and waits for the rescan that follows it.
  void undoAndRescan(std::int64_t restored) {
    store().undoLastCleanup();
    ASSERT_TRUE(waitFor([&] {
      return store().undoToast() && store().undoToast()->message == texts::restoredText(restored);
    }));
    ASSERT_TRUE(waitForReady());
  }

  /// Says whether every trashed file of the toast's receipt sits in the Trash with its
  /// info entry, while its former path is free.
  bool receiptInTrash() {
    const DeleteReceipt &receipt = *store().undoToast()->receipt;
    for (const DeleteReceipt::TrashedFile &file : receipt.trashedFiles) {
      const fs::path trashed(file.trashedPath);
      const fs::path info = trashRoot() / "info" / (trashed.filename().string() + ".trashinfo");
      if (trashed.parent_path() != trashRoot() / "files" || !fs::exists(trashed) ||
          !fs::exists(info) || fs::exists(file.originalPath)) {
        return false;
      }
    }
    return !receipt.trashedFiles.empty();
  }

  std::atomic<int> m_movesLeft{1'000'000};
};

TEST_F(AppStoreCleanupWithEngine, aGroupGoesToTheTrashAndUndoBringsItBackByteForByte) {
  writeShots("beach-", 1, 3, 1'700'000'000);
  writeShots("forest-", 7, 2, 1'700'003'600);
  writeShots("city-", 13, 1, 1'700'007'200);
  const auto before = snapshot();
  scan();
  ASSERT_EQ(groupSizes(store().groups()), (std::multiset<std::int64_t>{2, 3}));
  const PhotoGroup beach =
      store().groups()[0].count() == 3 ? store().groups()[0] : store().groups()[1];

  store().cleanup(beach);
  ASSERT_TRUE(waitFor([&] { return !store().cleaningGroupID(); }));
  EXPECT_FALSE(store().alert());
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, texts::cleanedText(2));
  EXPECT_TRUE(store().undoToast()->canUndo);
  EXPECT_TRUE(receiptInTrash());
  EXPECT_EQ(snapshot().size(), 4u);
  EXPECT_EQ(store().items().size(), 4u);
  EXPECT_EQ(groupSizes(store().groups()), (std::multiset<std::int64_t>{2}));

  undoAndRescan(2);
  EXPECT_EQ(snapshot(), before);
  EXPECT_TRUE(fs::is_empty(trashRoot() / "files"));
  EXPECT_EQ(groupSizes(store().groups()), (std::multiset<std::int64_t>{2, 3}));
  EXPECT_EQ(store().trashedCount(), 0);
}

TEST_F(AppStoreCleanupWithEngine, threeSelectedGroupsAreCleanedInOneBatchAndRestoredTogether) {
  writeShots("a-", 1, 3, 1'700'000'000);
  writeShots("b-", 7, 2, 1'700'003'600);
  writeShots("c-", 13, 2, 1'700'007'200);
  writeShots("d-", 21, 1, 1'700'010'800);
  const auto before = snapshot();
  scan();
  ASSERT_EQ(store().groups().size(), 3u);

  store().enterSelectionMode();
  store().selectAllGroups();
  EXPECT_EQ(store().selectedVictimCount(), 4);
  store().cleanupSelected();
  ASSERT_TRUE(waitFor([&] { return !store().isCleaningSelection(); }));
  EXPECT_FALSE(store().alert());
  EXPECT_FALSE(store().isSelecting());
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, QStringLiteral("已清理 4 张"));
  EXPECT_TRUE(receiptInTrash());
  EXPECT_EQ(snapshot().size(), 4u);
  EXPECT_TRUE(store().groups().empty());
  EXPECT_EQ(store().trashedCount(), 4);

  undoAndRescan(4);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(groupSizes(store().groups()), (std::multiset<std::int64_t>{2, 2, 3}));
}

TEST_F(AppStoreCleanupWithEngine, aTrashThatFailsPartWayLeavesTheRestAndOffersUndoForWhatMoved) {
  writeShots("beach-", 1, 3, 1'700'000'000);
  const auto before = snapshot();
  scan();
  ASSERT_EQ(store().groups().size(), 1u);

  m_movesLeft = 1;
  store().cleanup(store().groups()[0]);
  ASSERT_TRUE(waitFor([&] { return !store().cleaningGroupID(); }));
  ASSERT_TRUE(store().alert());
  EXPECT_EQ(store().alert()->title, localized::string("有照片没能删除"));
  EXPECT_TRUE(store().alert()->message.contains(QStringLiteral("读写磁盘时出错")));
  ASSERT_TRUE(store().undoToast());
  EXPECT_EQ(store().undoToast()->message, texts::cleanedText(1));
  EXPECT_TRUE(receiptInTrash());
  EXPECT_EQ(snapshot().size(), 2u);
  EXPECT_EQ(store().items().size(), 2u);
  EXPECT_EQ(store().trashedCount(), 1);
  ASSERT_EQ(store().groups().size(), 1u);
  EXPECT_EQ(store().groups()[0].count(), 2);

  store().setAlert(std::nullopt);
  undoAndRescan(1);
  EXPECT_EQ(snapshot(), before);
  EXPECT_EQ(groupSizes(store().groups()), (std::multiset<std::int64_t>{3}));
}
