#include "engine/favorites/FavoriteStore.h"
#include "platform/core/AppDirectories.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

using namespace lumora;

namespace {

std::string readFile(const std::filesystem::path &path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

TEST(FavoriteStore, livesInTheDataFolderAndSavesSortedWithEscapedSlashes) {
  const auto url = FavoriteStore::defaultURL();
  EXPECT_EQ(QFile::decodeName(url.c_str()),
            platform::appSupportDirectory() + QStringLiteral("/favorites.json"));
  EXPECT_TRUE(std::filesystem::is_directory(url.parent_path()));
  FavoriteStore store = FavoriteStore::load();
  EXPECT_TRUE(store.ids().empty());
  store.insert("/p/b.jpg");
  store.insert("/p/a.jpg");
  store.insert("/p/\"q\"\n\\.jpg");
  ASSERT_TRUE(store.save());
  EXPECT_EQ(readFile(url), R"(["\/p\/\"q\"\n\\.jpg","\/p\/a.jpg","\/p\/b.jpg"])");
  EXPECT_EQ(FavoriteStore::load().ids(), store.ids());
  for (const auto &id : std::set<std::string>(store.ids())) {
    store.remove(id);
  }
  ASSERT_TRUE(store.save());
  EXPECT_EQ(readFile(url), "[]");
  std::filesystem::remove(url);
}

TEST(FavoriteStore, decodesOnlyArraysOfStrings) {
  using Ids = std::set<std::string>;
  EXPECT_EQ(FavoriteStore::decode(R"(["x","x","y"])"), (Ids{"x", "y"}));
  EXPECT_EQ(FavoriteStore::decode(R"( [ "/a", "\/b" ] )"), (Ids{"/a", "/b"}));
  for (const char *bad : {R"({"ids":["x"]})", "null", R"(["x",1])", "[\"x\"", "", "[] []"}) {
    EXPECT_FALSE(FavoriteStore::decode(bad).has_value()) << bad;
  }
}

TEST(FavoriteStore, anUnreadableFileIsKeptAsideBeforeTheNextSave) {
  testsupport::TempDir dir;
  const auto url = dir.write("favorites.json", R"({"ids":["/p/a.jpg"]})");
  dir.write("favorites.json.damaged", "older");
  FavoriteStore store = FavoriteStore::load(url);
  EXPECT_TRUE(store.ids().empty());
  EXPECT_EQ(readFile(url), R"({"ids":["/p/a.jpg"]})"); // loading touches nothing
  store.insert("/p/b.jpg");
  ASSERT_TRUE(store.save());
  EXPECT_EQ(readFile(dir.file("favorites.json.damaged-2")), R"({"ids":["/p/a.jpg"]})");
  EXPECT_EQ(readFile(dir.file("favorites.json.damaged")), "older");
  EXPECT_EQ(readFile(url), R"(["\/p\/b.jpg"])");
  const std::string log = readFile(
      QFile::encodeName(platform::appSupportDirectory()).toStdString() + "/diagnostics.log");
  EXPECT_NE(log.find("favorites.json.damaged-2"), std::string::npos);
  ASSERT_TRUE(store.save()); // moved once only
  EXPECT_FALSE(std::filesystem::exists(dir.file("favorites.json.damaged-3")));
}

TEST(FavoriteStore, idsThatAreNotUtf8AreLeftOutRatherThanAltered) {
  EXPECT_EQ(FavoriteStore::encode({"/p/\xff.jpg", "/p/é.jpg"}), "[\"\\/p\\/é.jpg\"]");
}

namespace {

std::string diagnosticsLog() {
  return readFile(QFile::encodeName(platform::appSupportDirectory()).toStdString() +
                  "/diagnostics.log");
}

} // namespace

TEST(FavoriteStore, aFailedWriteKeepsTheOldFileAndIsLoggedAndRetried) {
  testsupport::TempDir dir;
  const auto url = dir.write("favorites.json", R"(["\/p\/a.jpg"])");
  FavoriteStore store = FavoriteStore::load(url);
  // Larger than the limit; the log, written meanwhile, stays far below it.
  store.insert("/p/" + std::string(1 << 20, 'b') + ".jpg");
  {
    const testsupport::FileSizeLimit limit(512 << 10);
    EXPECT_FALSE(store.save());
  }
  EXPECT_EQ(readFile(url), R"(["\/p\/a.jpg"])");
  EXPECT_NE(diagnosticsLog().find("favourites not saved: write"), std::string::npos);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2)
      << "only the file and its lock remain";
  EXPECT_TRUE(store.save());
  EXPECT_EQ(FavoriteStore::load(url).ids().size(), 2u);
  EXPECT_EQ(std::filesystem::status(url).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(FavoriteStore, twoStoresOverOneFileKeepEachOthersChanges) {
  testsupport::TempDir dir;
  const auto url = dir.write("favorites.json", R"(["\/p\/a.jpg","\/p\/b.jpg"])");
  FavoriteStore first = FavoriteStore::load(url);
  FavoriteStore second = FavoriteStore::load(url);
  first.insert("/p/c.jpg");
  ASSERT_TRUE(first.save());
  second.remove("/p/a.jpg");
  ASSERT_TRUE(second.save());
  EXPECT_EQ(readFile(url), R"(["\/p\/b.jpg","\/p\/c.jpg"])");
  EXPECT_TRUE(second.contains("/p/c.jpg"));
}

TEST(FavoriteStore, aFifoInPlaceOfTheFileNeitherHangsNorIsWrittenThrough) {
  testsupport::TempDir dir;
  const auto url = dir.file("favorites.json");
  ASSERT_EQ(::mkfifo(url.c_str(), 0600), 0);
  const auto start = std::chrono::steady_clock::now();
  FavoriteStore store = FavoriteStore::load(url);
  EXPECT_TRUE(store.ids().empty());
  store.insert("/p/a.jpg");
  EXPECT_TRUE(store.save());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_EQ(readFile(url), R"(["\/p\/a.jpg"])");
  EXPECT_TRUE(std::filesystem::is_fifo(dir.file("favorites.json.damaged")));
}

TEST(FavoriteStore, aMarkThatCannotBeSavedIsUndoneInMemoryAndNamedForTheUser) {
  testsupport::TempDir dir;
  const auto url = dir.write("favorites.json", R"(["\/p\/kept.jpg"])");
  FavoriteStore store = FavoriteStore::load(url);
  // A folder holding something, in the lock's place, is not replaced by a file.
  std::filesystem::create_directories(dir.file("favorites.json.lock/kept"));
  const auto added = store.set("/p/a.jpg", true);
  ASSERT_FALSE(added);
  EXPECT_EQ(added.error().kind, FavoriteSaveError::Kind::locked);
  EXPECT_FALSE(store.contains("/p/a.jpg"));
  EXPECT_FALSE(store.set("/p/kept.jpg", false));
  EXPECT_TRUE(store.contains("/p/kept.jpg"));

  std::filesystem::remove_all(dir.file("favorites.json.lock"));
  // The marks that failed are not written with the next change.
  ASSERT_TRUE(store.set("/p/c.jpg", true));
  EXPECT_EQ(readFile(url), R"(["\/p\/c.jpg","\/p\/kept.jpg"])");
}
