#include "platform/core/photolibrary/PhotoLibrary.h"
#include "tests/platform/photolibrary/LibraryFixture.h"

#include <gtest/gtest.h>

namespace {

using platform::ChangeBlock;
using platform::LibraryError;
using testsupport::LibraryFixture;

platform::PhotoAsset only(platform::PhotoLibrary &library, const std::string &identifier) {
  const auto found = library.fetchAssets({identifier});
  return found && !found->empty() ? found->front() : platform::PhotoAsset{};
}

TEST(PhotoChanges, favouriteAndDeletePersistAcrossReopenAndTheFileStays) {
  LibraryFixture fixture;
  const auto liked = fixture.add(1.0);
  const auto removed = fixture.add(2.0);
  const auto removedFile = only(fixture.library(), removed).file;
  ChangeBlock block;
  block.setFavorite(liked, true);
  block.deleteAsset(removed);
  ASSERT_TRUE(fixture.library().performChanges(block).hasValue());

  const auto reopened = fixture.reopen();
  const auto still = reopened->fetchStillImages().value();
  ASSERT_EQ(still.size(), 1u);
  EXPECT_EQ(still[0].localIdentifier, liked);
  EXPECT_TRUE(still[0].isFavorite);
  EXPECT_TRUE(reopened->fetchAssets({removed}).value().empty());
  EXPECT_TRUE(std::filesystem::exists(removedFile));

  ChangeBlock unlike;
  unlike.setFavorite(liked, false);
  ASSERT_TRUE(reopened->performChanges(unlike).hasValue());
  EXPECT_FALSE(only(*fixture.reopen(), liked).isFavorite);
}

TEST(PhotoChanges, failedBlockChangesNothingAndNamesTheAsset) {
  LibraryFixture fixture;
  const auto a = fixture.add(1.0);
  const auto b = fixture.add(2.0);
  ChangeBlock block;
  block.setFavorite(a, true);
  block.deleteAsset(b);
  block.deleteAsset("MISSING/L0/001");
  const auto result = fixture.library().performChanges(block);
  ASSERT_FALSE(result.hasValue());
  EXPECT_EQ(result.error().kind, LibraryError::Kind::notFound);
  EXPECT_TRUE(result.error().description().contains(QStringLiteral("MISSING/L0/001")));
  const auto still = fixture.reopen()->fetchStillImages().value();
  ASSERT_EQ(still.size(), 2u);
  EXPECT_FALSE(still[0].isFavorite);
}

TEST(PhotoChanges, anAssetInRecentlyDeletedCannotBeDeletedOrMarkedAgain) {
  LibraryFixture fixture;
  const auto gone = fixture.add(1.0);
  ChangeBlock first;
  first.deleteAsset(gone);
  ASSERT_TRUE(fixture.library().performChanges(first).hasValue());
  for (const bool favourite : {false, true}) {
    ChangeBlock again;
    favourite ? again.setFavorite(gone, true) : again.deleteAsset(gone);
    const auto result = fixture.library().performChanges(again);
    ASSERT_FALSE(result.hasValue());
    EXPECT_EQ(result.error().kind, LibraryError::Kind::notFound);
  }
}

} // namespace
