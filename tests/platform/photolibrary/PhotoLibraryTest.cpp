#include "platform/core/photolibrary/PhotoLibrary.h"
#include "tests/platform/photolibrary/LibraryFixture.h"
#include "tests/support/TestEnvironment.h"

#include <QFile>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

using platform::MediaType;
using platform::NewAsset;
using platform::PhotoAsset;
using platform::PhotoLibrary;
using testsupport::LibraryFixture;

std::vector<std::string> identifiers(const std::vector<PhotoAsset> &assets) {
  std::vector<std::string> result;
  for (const auto &asset : assets) {
    result.push_back(asset.localIdentifier);
  }
  return result;
}

std::string contents(const std::filesystem::path &file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PhotoLibraryLocation, environmentVariableOverridesTheDataFolder) {
  const std::string saved = std::getenv("LUMORA_PHOTO_LIBRARY");
  ::setenv("LUMORA_PHOTO_LIBRARY", "/srv/photos", 1);
  EXPECT_EQ(PhotoLibrary::defaultLocation(), std::filesystem::path("/srv/photos"));
  ::unsetenv("LUMORA_PHOTO_LIBRARY");
  EXPECT_EQ(PhotoLibrary::defaultLocation(),
            std::filesystem::path(testsupport::isolatedHome().toStdString()) /
                ".local/share/Lumora/PhotoLibrary");
  ::setenv("LUMORA_PHOTO_LIBRARY", saved.c_str(), 1);
}

TEST(PhotoLibraryLocation, sharedLibraryFollowsTheLocation) {
  testsupport::TempDir first;
  testsupport::TempDir second;
  const std::string saved = std::getenv("LUMORA_PHOTO_LIBRARY");
  ::setenv("LUMORA_PHOTO_LIBRARY", first.path().c_str(), 1);
  auto a = PhotoLibrary::shared();
  ASSERT_TRUE(a.hasValue());
  EXPECT_EQ(PhotoLibrary::shared().value(), a.value());
  ::setenv("LUMORA_PHOTO_LIBRARY", second.path().c_str(), 1);
  auto b = PhotoLibrary::shared();
  ASSERT_TRUE(b.hasValue());
  EXPECT_EQ(b.value()->location(), second.path());
  ::setenv("LUMORA_PHOTO_LIBRARY", saved.c_str(), 1);
}

TEST(PhotoLibraryFetch, stillImagesOldestFirstWithMissingDatesAsEpochAndTiesInAddingOrder) {
  LibraryFixture fixture;
  const auto late = fixture.add(300.0, 310.0);
  const auto undated = fixture.add(std::nullopt, std::nullopt);
  const auto tieFirst = fixture.add(100.0);
  const auto tieSecond = fixture.add(100.0, 150.0);
  const auto middle = fixture.add(200.0);
  const auto again = fixture.reopen()->fetchStillImages();
  ASSERT_TRUE(again.hasValue());
  EXPECT_EQ(identifiers(again.value()),
            (std::vector<std::string>{undated, tieFirst, tieSecond, middle, late}));
  EXPECT_FALSE(again.value()[0].creationDate.has_value());
  EXPECT_FALSE(again.value()[0].modificationDate.has_value());
  EXPECT_FALSE(again.value()[1].modificationDate.has_value());
  EXPECT_EQ(again.value()[2].modificationDate, 150.0);
  EXPECT_EQ(again.value()[4].creationDate, 300.0);
}

TEST(PhotoLibraryFetch, videosAndRecentlyDeletedAreNotStillImages) {
  LibraryFixture fixture;
  const auto kept = fixture.add(10.0);
  const auto deleted = fixture.add(20.0);
  NewAsset video;
  video.source = fixture.dir().write("clip.mov", "not really a movie");
  video.mediaType = MediaType::video;
  ASSERT_TRUE(fixture.library().addAsset(video).hasValue());
  platform::ChangeBlock block;
  block.deleteAsset(deleted);
  ASSERT_TRUE(fixture.library().performChanges(block).hasValue());
  EXPECT_EQ(identifiers(fixture.library().fetchStillImages().value()),
            std::vector<std::string>{kept});
}

TEST(PhotoLibraryFetch, byIdentifiersInTheOrderAskedWithoutUnknownOrDeleted) {
  LibraryFixture fixture;
  const auto a = fixture.add(1.0);
  const auto b = fixture.add(2.0);
  const auto deleted = fixture.add(3.0);
  platform::ChangeBlock block;
  block.deleteAsset(deleted);
  ASSERT_TRUE(fixture.library().performChanges(block).hasValue());
  const auto found = fixture.library().fetchAssets({b, "NOPE/L0/001", a, deleted, b});
  ASSERT_TRUE(found.hasValue());
  EXPECT_EQ(identifiers(found.value()), (std::vector<std::string>{b, a}));
  EXPECT_TRUE(fixture.library().fetchAssets({}).value().empty());
}

TEST(PhotoLibraryAdd, copiesTheFileAndKeepsNameBytesScreenshotBitAndDates) {
  LibraryFixture fixture;
  const std::string oddName = "Urlaub \xe9t\xe9.jpg"; // Latin-1 bytes, not UTF-8
  const auto source = testsupport::writePhoto(fixture.dir().file("in.jpg"), 40, 30);
  NewAsset input;
  input.source = source;
  input.originalFilename = oddName;
  input.isScreenshot = true;
  input.creationDate = 1700000000.25;
  auto added = fixture.library().addAsset(input);
  ASSERT_TRUE(added.hasValue());
  EXPECT_EQ(contents(added->file), contents(source));
  EXPECT_TRUE(std::filesystem::exists(source));
  const auto stored = fixture.reopen()->fetchAssets({added->localIdentifier}).value().at(0);
  EXPECT_EQ(stored, added.value());
  EXPECT_TRUE(stored.isScreenshot());
  EXPECT_EQ(stored.mediaSubtypes, platform::mediasubtype::screenshot);
  EXPECT_EQ(PhotoLibrary::resources(stored).at(0).originalFilename, oddName);
  EXPECT_NE(stored.localIdentifier.find("/L0/001"), std::string::npos);
}

TEST(PhotoLibraryAdd, largeImagesGetASmallerRenditionSmallOnesDoNot) {
  LibraryFixture fixture;
  const auto large = fixture.add(1.0, std::nullopt, 1600, 1200);
  const auto small = fixture.add(2.0, std::nullopt, 300, 200);
  const auto assets = fixture.library().fetchAssets({large, small}).value();
  EXPECT_TRUE(std::filesystem::exists(assets[0].rendition));
  EXPECT_FALSE(std::filesystem::exists(assets[1].rendition));
}

TEST(PhotoLibraryAdd, missingSourceRecordsNothing) {
  LibraryFixture fixture;
  NewAsset input;
  input.source = fixture.dir().file("gone.jpg");
  const auto added = fixture.library().addAsset(input);
  ASSERT_FALSE(added.hasValue());
  EXPECT_EQ(added.error().kind, platform::LibraryError::Kind::io);
  EXPECT_TRUE(fixture.library().fetchStillImages().value().empty());
}

} // namespace
