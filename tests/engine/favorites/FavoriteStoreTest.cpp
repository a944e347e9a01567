#include "engine/favorites/FavoriteStore.h"
#include "platform/core/AppDirectories.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

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
  store.save();
  EXPECT_EQ(readFile(url), R"(["\/p\/\"q\"\n\\.jpg","\/p\/a.jpg","\/p\/b.jpg"])");
  EXPECT_EQ(FavoriteStore::load().ids(), store.ids());
  for (const auto &id : std::set<std::string>(store.ids())) {
    store.remove(id);
  }
  store.save();
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
  store.save();
  EXPECT_EQ(readFile(dir.file("favorites.json.damaged-2")), R"({"ids":["/p/a.jpg"]})");
  EXPECT_EQ(readFile(dir.file("favorites.json.damaged")), "older");
  EXPECT_EQ(readFile(url), R"(["\/p\/b.jpg"])");
  const std::string log = readFile(
      QFile::encodeName(platform::appSupportDirectory()).toStdString() + "/diagnostics.log");
  EXPECT_NE(log.find("favorites.json.damaged-2"), std::string::npos);
  store.save(); // moved once only
  EXPECT_FALSE(std::filesystem::exists(dir.file("favorites.json.damaged-3")));
}

TEST(FavoriteStore, idsThatAreNotUtf8AreLeftOutRatherThanAltered) {
  EXPECT_EQ(FavoriteStore::encode({"/p/\xff.jpg", "/p/é.jpg"}), "[\"\\/p\\/é.jpg\"]");
}
