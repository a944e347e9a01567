// Photos whose names mean something in a URL: the scan, the decoder, the preview and the
// Trash must all reach the very file the folder holds.
#include "tests/engine/core/EngineFixture.h"

#include <set>

using namespace lumora;
using namespace enginetest;

TEST_F(EngineTest, namesWithUrlSyntaxAreScannedDecodedAndTrashedAsTheyAre) {
  // A percent sign before hex digits, a fragment mark, a query mark and a line break.
  const std::vector<std::string> names{"50%25 off.png", "a#b.png", "why?.png", "two\nlines.png"};
  std::set<std::string> paths;
  for (std::size_t i = 0; i < names.size(); ++i) {
    const fs::path path = photos.file(names[i]);
    ASSERT_TRUE(testsupport::writeScene(path, static_cast<int>(i) + 1, 640, 480));
    testsupport::setModified(path, 1'700'000'000 + static_cast<double>(i) * 10000);
    paths.insert(path.string());
  }
  auto engine = makeEngine();
  Recorder recorder;
  const ScanResult result = scanFolder(*engine, recorder);
  ASSERT_EQ(result.items.size(), names.size());
  EXPECT_EQ(result.skippedCount, 0);
  std::set<std::string> ids;
  for (const PhotoItem &item : result.items) {
    ids.insert(item.id);
    EXPECT_TRUE(engine->previewImage(item, 256).has_value()) << item.id;
  }
  EXPECT_EQ(ids, paths);

  const DeleteOutcome outcome = engine->deleteItems(result.items);
  ASSERT_FALSE(outcome.error.has_value());
  ASSERT_EQ(outcome.receipt.trashedFiles.size(), names.size());
  for (const auto &file : outcome.receipt.trashedFiles) {
    EXPECT_TRUE(paths.contains(file.originalPath));
    EXPECT_FALSE(fs::exists(file.originalPath));
    EXPECT_TRUE(fs::exists(file.trashedPath));
  }
  const auto restored = engine->undoDelete(outcome.receipt);
  ASSERT_TRUE(restored.hasValue());
  EXPECT_EQ(restored.value(), static_cast<std::int64_t>(names.size()));
  for (const std::string &path : paths) {
    EXPECT_TRUE(fs::exists(path)) << path;
  }
}
