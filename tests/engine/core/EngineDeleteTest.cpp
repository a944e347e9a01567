#include "tests/engine/core/EngineFixture.h"

#include "platform/core/trash/TrashSteps.h"

#include <cerrno>
#include <map>

using namespace lumora;
using namespace enginetest;

namespace {

std::vector<PhotoItem> othersThanBest(const PhotoGroup &group) {
  return {group.items.begin() + 1, group.items.end()};
}

bool contains(const std::vector<PhotoGroup> &groups, const std::string &id) {
  for (const auto &group : groups) {
    for (const auto &item : group.items) {
      if (item.id == id)
        return true;
    }
  }
  return false;
}

} // namespace

TEST_F(EngineTest, deleteAGroupThenUndoRestoresIdenticalFiles) {
  const auto burst = writeBurst("a", 1, 3, 1'700'000'000);
  writeBurst("b", 2, 3, 1'700'000'100);
  std::map<std::string, std::string> before;
  for (const auto &path : burst)
    before[path.string()] = readAll(path);
  auto engine = makeEngine();
  Recorder recorder;
  const ScanResult result = scanFolder(*engine, recorder);
  const auto groups = engine->group(result.items, 0.30f, GroupSort::date);
  ASSERT_EQ(groups.size(), 2u);
  const PhotoGroup &target =
      groups[0].items[0].id.find("/a") != std::string::npos ? groups[0] : groups[1];

  const DeleteOutcome outcome = engine->deleteItems(othersThanBest(target));
  ASSERT_FALSE(outcome.error.has_value());
  ASSERT_EQ(outcome.receipt.trashedFiles.size(), 2u);
  for (const auto &file : outcome.receipt.trashedFiles) {
    EXPECT_FALSE(fs::exists(file.originalPath));
    EXPECT_TRUE(fs::exists(file.trashedPath));
  }
  std::vector<PhotoItem> remaining;
  for (const auto &item : result.items) {
    if (item.id == target.items[1].id || item.id == target.items[2].id)
      continue;
    remaining.push_back(item);
  }
  const auto after = engine->group(remaining, 0.30f, GroupSort::date);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_FALSE(contains(after, target.items[0].id));

  const auto restored = engine->undoDelete(outcome.receipt);
  ASSERT_TRUE(restored.hasValue());
  EXPECT_EQ(restored.value(), 2);
  for (const auto &file : outcome.receipt.trashedFiles) {
    EXPECT_EQ(readAll(file.originalPath), before[file.originalPath]);
    const auto info =
        homeTrash() / "info" / (fs::path(file.trashedPath).filename().string() + ".trashinfo");
    EXPECT_FALSE(fs::exists(info));
  }
  // Restored files were tombstoned, so the next scan analyses them again.
  Recorder rescan;
  EXPECT_EQ(scanFolder(*engine, rescan).cacheHitCount, 4);
}

TEST_F(EngineTest, undoNeverOverwritesAFileThatTookTheName) {
  const auto burst = writeBurst("a", 1, 2, 1'700'000'000);
  auto engine = makeEngine();
  Recorder recorder;
  const ScanResult result = scanFolder(*engine, recorder);
  const DeleteOutcome outcome = engine->deleteItems({result.items[0]});
  ASSERT_FALSE(outcome.error.has_value());
  const std::string original = outcome.receipt.trashedFiles[0].originalPath;
  std::ofstream(original) << "a new photo";
  const auto restored = engine->undoDelete(outcome.receipt);
  ASSERT_TRUE(restored.hasValue());
  EXPECT_EQ(restored.value(), 0);
  EXPECT_EQ(readAll(original), "a new photo");
  EXPECT_TRUE(fs::exists(outcome.receipt.trashedFiles[0].trashedPath));
}

TEST_F(EngineTest, unwritableTrashReachesTheCallerAndLosesNothing) {
  const auto burst = writeBurst("a", 1, 2, 1'700'000'000);
  auto engine = makeEngine();
  Recorder recorder;
  const ScanResult result = scanFolder(*engine, recorder);
  fs::remove_all(homeTrash());
  std::ofstream(homeTrash()) << "not a folder";
  const DeleteOutcome outcome = engine->deleteItems(result.items);
  fs::remove(homeTrash());
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->kind, EngineError::Kind::trash);
  EXPECT_TRUE(outcome.receipt.trashedFiles.empty());
  for (const auto &path : burst) {
    EXPECT_TRUE(fs::exists(path));
  }
  EXPECT_EQ(engine->group(result.items, 0.30f, GroupSort::date).size(), 1u);
}

TEST_F(EngineTest, failurePartWayKeepsWhatMovedUndoable) {
  writeBurst("a", 1, 3, 1'700'000'000);
  EngineServices services;
  int calls = 0;
  services.moveToTrash = [&calls](const std::string &path,
                                  const std::optional<platform::FileIdentity> &expected) {
    if (++calls == 2)
      return platform::trash::MoveResult{platform::trash::MoveStatus::failed,
                                         {},
                                         {platform::trash::Problem::Kind::system, ENOSPC},
                                         std::nullopt};
    return platform::trash::moveToTrash(path, expected);
  };
  auto engine = makeEngine(services);
  Recorder recorder;
  const ScanResult result = scanFolder(*engine, recorder);
  const auto groups = engine->group(result.items, 0.30f, GroupSort::date);
  ASSERT_EQ(groups.size(), 1u);
  const DeleteOutcome outcome = engine->deleteItems(othersThanBest(groups[0]));
  ASSERT_TRUE(outcome.error.has_value());
  EXPECT_EQ(outcome.error->trash.code, ENOSPC);
  ASSERT_EQ(outcome.receipt.trashedFiles.size(), 1u);
  const std::string movedId = outcome.receipt.trashedFiles[0].originalPath;
  EXPECT_EQ(outcome.removedIDs, std::vector<std::string>{movedId});
  std::vector<PhotoItem> remaining;
  for (const auto &item : result.items) {
    if (item.id != movedId)
      remaining.push_back(item);
  }
  const auto after = engine->group(remaining, 0.30f, GroupSort::date);
  ASSERT_EQ(after.size(), 1u);
  EXPECT_FALSE(contains(after, movedId));
  EXPECT_EQ(engine->undoDelete(outcome.receipt).value(), 1);
  EXPECT_TRUE(fs::exists(movedId));
}

TEST_F(EngineTest, photosDeletedDuringAScanStayDeleted) {
  writeDistinct("d", 60, 12, 1'700'000'000);
  auto engine = makeEngine();
  std::string victim;
  std::atomic<bool> deleted = false;
  Recorder recorder;
  std::size_t batchesBeforeDeletion = 0;
  ScanOptions options;
  options.concurrency = 1;
  auto result = engine->scan(
      {QUrl::fromLocalFile(QString::fromStdString(photos.path().string()))}, options,
      [&](const ScanProgress &p) {
        // The first analysed photo usually still sits in the worker's batch: delete it there.
        if (p.phase == ScanPhase::analyzing && !deleted.exchange(true)) {
          victim = photos.file(p.currentName.toStdString()).string();
          PhotoItem item;
          item.id = victim;
          item.url = QUrl::fromLocalFile(QString::fromStdString(victim));
          EXPECT_FALSE(engine->deleteItems({item}).error.has_value());
          const std::scoped_lock guard(recorder.mutex);
          batchesBeforeDeletion = recorder.batches.size();
        }
      },
      recorder.partialHandler());
  ASSERT_TRUE(result.hasValue());
  ASSERT_FALSE(victim.empty());
  EXPECT_EQ(result->items.size(), 11u);
  for (const auto &item : result->items) {
    EXPECT_NE(item.id, victim);
  }
  // A busy machine may hand the photo over before it is deleted; no batch after may hold it.
  for (std::size_t i = batchesBeforeDeletion; i < recorder.batches.size(); ++i) {
    for (const auto &item : recorder.batches[i]) {
      EXPECT_NE(item.id, victim);
    }
  }
}

namespace {

int goneLooks = 0;
fs::path movedAsideFolder;

/// Counts the rounds of looks at photos found gone; at the first, moves one folder aside,
/// and puts it back at the third, as a program swapping folders would.
void countLooks(const char *step) {
  if (std::string(step) != "gone-look")
    return;
  ++goneLooks;
  if (goneLooks == 1)
    fs::rename(movedAsideFolder, movedAsideFolder.string() + ".aside");
  if (goneLooks == 3)
    fs::rename(movedAsideFolder.string() + ".aside", movedAsideFolder);
}

PhotoItem itemAt(const fs::path &path) {
  return PhotoItem(path.string(), QUrl::fromLocalFile(QString::fromStdString(path.string())), 0,
                   false, 1, 1000, Date{1'700'000'000}, {}, std::nullopt, Date{1'700'000'000},
                   false);
}

} // namespace

TEST_F(EngineTest, photosAlreadyGoneAreLookedAtAgainAllTogetherAndAFolderAwayStaysKept) {
  std::vector<PhotoItem> items;
  for (int i = 0; i < 60; ++i) {
    items.push_back(itemAt(photos.path() / ("gone-" + std::to_string(i) + ".jpg")));
  }
  // A photo whose folder is away for a moment during the looks is not taken for gone.
  movedAsideFolder = photos.path() / "album";
  const fs::path away = photos.write("album/away.jpg", "kept");
  items.push_back(itemAt(away));
  fs::remove(away);
  goneLooks = 0;
  platform::trashsteps::setObserver(countLooks);
  auto engine = makeEngine();
  const DeleteOutcome outcome = engine->deleteItems(items);
  platform::trashsteps::setObserver(nullptr);
  EXPECT_FALSE(outcome.error);
  EXPECT_EQ(outcome.missingIDs.size(), 60u);
  EXPECT_EQ(outcome.refusedIDs, std::vector<std::string>{away.string()});
  // One short round of looks for them all, not one per photo.
  EXPECT_GE(goneLooks, 3);
  EXPECT_LE(goneLooks, 20);
}
