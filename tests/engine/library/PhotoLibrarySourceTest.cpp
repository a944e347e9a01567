#include "engine/library/PhotoLibrarySource.h"
#include "engine/imaging/ImageDecoder.h"
#include "engine/library/PhotoLibraryAccess.h"
#include "platform/core/photolibrary/PhotoAuthorization.h"
#include "tests/engine/imaging/ImagingFixtures.h"
#include "tests/engine/library/LibraryTestEnvironment.h"

#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

namespace source = lumora::PhotoLibrarySource;
using lumora::Date;
using lumora::LibraryAssetInfo;
using lumora::PhotoLibraryError;
using platform::AuthorizationStatus;

class PhotoLibrarySourceTest : public testsupport::LibraryTestEnvironment {
protected:
  /// The catalogue as a new connection sees it, as after a restart.
  std::vector<platform::PhotoAsset> reopenedStillImages() const {
    return platform::PhotoLibrary::open(location()).value()->fetchStillImages().value();
  }
};

TEST(PhotoLibrarySourceIds, itemIdAndSyntheticUrl) {
  EXPECT_EQ(source::itemID("ABC/L0/001"), "lib:ABC/L0/001");
  EXPECT_EQ(source::syntheticURL("ABC/L0/001").toString(),
            QStringLiteral("photo://asset/ABC/L0/001"));
  EXPECT_EQ(source::syntheticURL("bad id%zz"), QUrl::fromLocalFile(QStringLiteral("/dev/null")));
}

TEST_F(PhotoLibrarySourceTest, accessFollowsTheRecordedStatus) {
  EXPECT_FALSE(lumora::PhotoLibraryAccess::isGranted());
  EXPECT_TRUE(lumora::PhotoLibraryAccess::requestAuthorization());
  EXPECT_TRUE(lumora::PhotoLibraryAccess::isGranted());
  for (const auto &[status, granted] : {std::pair{AuthorizationStatus::limited, true},
                                        std::pair{AuthorizationStatus::restricted, false},
                                        std::pair{AuthorizationStatus::denied, false}}) {
    ASSERT_TRUE(platform::photoauthorization::setStatus(location(), status).hasValue());
    EXPECT_EQ(lumora::PhotoLibraryAccess::isGranted(), granted);
    EXPECT_EQ(lumora::PhotoLibraryAccess::requestAuthorization(), granted);
  }
  EXPECT_EQ(PhotoLibraryError::denied().errorDescription(),
            lumora::PhotoLibraryAccess::denialHint());
}

TEST_F(PhotoLibrarySourceTest, fetchAllFillsMissingDatesFromEpochAndCreation) {
  const auto undated = addPhoto(std::nullopt, std::nullopt);
  const auto created = addPhoto(500.0, std::nullopt, 160, 120, true);
  const auto full = addPhoto(400.0, 450.5);
  const auto all = source::fetchAll();
  ASSERT_TRUE(all.hasValue());
  EXPECT_EQ(all.value(), (std::vector<LibraryAssetInfo>{
                             {undated, Date{0}, Date{0}, false, false},
                             {full, Date{450.5}, Date{400}, false, false},
                             {created, Date{500}, Date{500}, true, false},
                         }));
}

TEST_F(PhotoLibrarySourceTest, favouriteAndDeletionReachTheCatalogueAndSurviveARestart) {
  const auto liked = addPhoto(1.0);
  const auto removed = addPhoto(2.0);
  const auto removedFile = library()->fetchAssets({removed}).value().at(0).file;
  ASSERT_TRUE(source::setFavorite({liked, "GONE/L0/001"}, true).hasValue());
  ASSERT_TRUE(source::deleteAssets({removed}).hasValue());
  const auto after = reopenedStillImages();
  ASSERT_EQ(after.size(), 1u);
  EXPECT_EQ(after[0].localIdentifier, liked);
  EXPECT_TRUE(after[0].isFavorite);
  EXPECT_TRUE(std::filesystem::exists(removedFile));
  // Nothing to change is no error: an empty list, or only identifiers that are gone.
  EXPECT_TRUE(source::setFavorite({}, false).hasValue());
  EXPECT_TRUE(source::deleteAssets({removed, "GONE/L0/001"}).hasValue());
}

TEST_F(PhotoLibrarySourceTest, imagesAndNamesComeFromTheLibraryFiles) {
  const auto id = addPhoto(1.0, std::nullopt, 1600, 1200);
  const auto thumb = source::thumbnail(id, 128, source::kThumbnailTimeout);
  ASSERT_TRUE(thumb);
  EXPECT_EQ(thumb->width, 128);
  EXPECT_EQ(thumb->height, 96);
  const auto preview = source::previewImage(id, 100);
  ASSERT_TRUE(preview);
  EXPECT_EQ(preview->width, 256);
  EXPECT_EQ(source::originalFilename(id), QStringLiteral("photo-1.jpg"));
  EXPECT_FALSE(source::originalFilename("GONE/L0/001").has_value());
  EXPECT_FALSE(source::previewImage("GONE/L0/001", 100).has_value());
}

// The library decodes its files with libvips like the folder scan does, and must keep the
// same loaders away from them whichever side started libvips.
TEST_F(PhotoLibrarySourceTest, aFileOnlyAnUntrustedLoaderReadsIsRefusedAsInAFolder) {
  for (const auto &picture : fixtures::untrustedPictures()) {
    const auto file = m_dir.write(picture.name, picture.bytes);
    const auto decoded = lumora::imagedecoder::decodeFile(file.string(), 256);
    ASSERT_FALSE(decoded.hasValue()) << picture.name;
    EXPECT_EQ(decoded.error().kind, lumora::DecodeError::Kind::unsupportedFormat);

    auto added =
        library()->addAsset({file, std::nullopt, platform::MediaType::image, false, 1.0, 1.0});
    ASSERT_TRUE(added.hasValue()) << picture.name;
    const auto &id = added->localIdentifier;
    EXPECT_FALSE(source::thumbnail(id, 256, source::kThumbnailTimeout).has_value()) << picture.name;
    EXPECT_FALSE(source::previewImage(id, 256).has_value()) << picture.name;
  }
}

TEST_F(PhotoLibrarySourceTest, damagedCatalogueGivesTheLibraryErrorAndIsLeftAsItIs) {
  const auto id = addPhoto(1.0);
  const auto catalogue = location() / "catalogue.sqlite";
  // Point the shared library elsewhere so its connection closes, then damage the file.
  ::setenv("LUMORA_PHOTO_LIBRARY", m_dir.file("Other").c_str(), 1);
  (void)library();
  const std::string garbage(8192, '\x33');
  m_dir.write("Library/catalogue.sqlite", garbage);
  ::setenv("LUMORA_PHOTO_LIBRARY", location().c_str(), 1);

  const auto all = source::fetchAll();
  ASSERT_FALSE(all.hasValue());
  EXPECT_EQ(all.error().kind, PhotoLibraryError::Kind::libraryFailure);
  EXPECT_EQ(all.error().cause.kind, platform::LibraryError::Kind::corruptCatalogue);
  EXPECT_TRUE(all.error().errorDescription().contains(QStringLiteral("损坏")));
  EXPECT_FALSE(source::setFavorite({id}, true).hasValue());
  EXPECT_FALSE(source::deleteAssets({id}).hasValue());
  EXPECT_FALSE(source::thumbnail(id, 64, 1.0).has_value());
  EXPECT_FALSE(source::originalFilename(id).has_value());
  std::ifstream in(catalogue, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), garbage);
}

} // namespace
