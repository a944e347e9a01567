#include "app/store/images/ThumbnailLoader.h"
#include "app/store/services/ImageDecode.h"
#include "app/store/services/LumoraEngineClient.h"
#include "engine/core/LumoraEngine.h"
#include "engine/library/PhotoLibrarySource.h"
#include "platform/core/imaging/VipsImage.h"
#include "tests/engine/library/LibraryTestEnvironment.h"
#include "tests/store/support/FakeEngineClient.h"
#include "tests/store/support/ImageCacheTestSupport.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>

using namespace lumora;
using imagecachetest::photo;
using imagecachetest::waitFor;
using platform::VipsImagePtr;

namespace {

// Writes a width × height image, left half red and right half blue; the format follows
// the file name's suffix.
void writeHalves(const std::filesystem::path &path, int width, int height) {
  ASSERT_TRUE(testsupport::writeImage(path, width, height, [width](int x, int) {
    return x < width / 2 ? testsupport::Rgb{255, 0, 0} : testsupport::Rgb{0, 0, 255};
  })) << path;
}

// The same as a JPEG tagged with an EXIF orientation, so that it shows turned.
void writeTurnedJpeg(const std::filesystem::path &path, int width, int height, int orientation) {
  const std::filesystem::path plain = path.string() + ".plain.png";
  writeHalves(plain, width, height);
  const VipsImagePtr image(vips_image_new_from_file(plain.c_str(), nullptr));
  ASSERT_TRUE(image);
  VipsImagePtr tagged;
  ASSERT_EQ(vips_copy(image.get(), tagged.out(), nullptr), 0);
  vips_image_set_int(tagged.get(), VIPS_META_ORIENTATION, orientation);
  ASSERT_EQ(vips_image_write_to_file(tagged.get(), path.c_str(), nullptr), 0)
      << vips_error_buffer();
}

// The store's producer over an engine that is never asked for a folder photo.
ImageProducer folderProducer() {
  return ThumbnailLoader::producer(std::make_shared<storetest::FakeEngineClient>());
}

QImage decodeNow(const std::filesystem::path &path, int maxPixel) {
  return folderProducer()(photo(path.string()), maxPixel);
}

bool isReddish(QRgb pixel) { return qRed(pixel) > 200 && qBlue(pixel) < 60; }
bool isBluish(QRgb pixel) { return qBlue(pixel) > 200 && qRed(pixel) < 60; }

} // namespace

TEST(ThumbnailLoaderDecode, shrinksOnLoadAndAppliesOrientation) {
  testsupport::TempDir dir;
  writeTurnedJpeg(dir.file("turned.jpg"), 400, 200, 6); // shown turned 90° clockwise
  const QImage upright = decodeNow(dir.file("turned.jpg"), 100);
  ASSERT_FALSE(upright.isNull());
  EXPECT_EQ(upright.size(), QSize(50, 100));
  EXPECT_TRUE(isReddish(upright.pixel(25, 5))); // the left half is now on top
  EXPECT_TRUE(isBluish(upright.pixel(25, 95)));

  for (const char *name :
       {"wide.jpg", "wide.png", "wide.webp", "wide.tif", "wide.gif", "wide.bmp"}) {
    writeHalves(dir.file(name), 400, 200);
    const QImage wide = decodeNow(dir.file(name), 160);
    // JPEG stops at the eighth of its size that fits (3/8: 150 of 400), the others resample.
    EXPECT_EQ(wide.size(), std::string(name) == "wide.jpg" ? QSize(150, 75) : QSize(160, 80))
        << name;
    // GIF always decodes with an alpha band.
    EXPECT_EQ(wide.format(), std::string(name) == "wide.gif" ? QImage::Format_ARGB32_Premultiplied
                                                             : QImage::Format_RGB32)
        << name;
    EXPECT_TRUE(isReddish(wide.pixel(10, wide.height() / 2))) << name;
    EXPECT_TRUE(isBluish(wide.pixel(wide.width() - 10, wide.height() / 2))) << name;
  }

  // Never enlarged; a size of zero or less gives nothing.
  EXPECT_EQ(decodeNow(dir.file("wide.png"), 1400).size(), QSize(400, 200));
  EXPECT_TRUE(decodeNow(dir.file("wide.png"), 0).isNull());
  EXPECT_TRUE(decodeNow(dir.file("wide.png"), -5).isNull());
}

TEST(ThumbnailLoaderDecode, pathIsUsedExactlyAsItsBytes) {
  testsupport::TempDir dir;
  // A trailing "[...]" is part of the name, never load options for another file.
  writeHalves(dir.file("c.png"), 80, 40);
  std::filesystem::rename(dir.file("c.png"), dir.file("c.png[shrink=2]"));
  EXPECT_EQ(decodeNow(dir.file("c.png[shrink=2]"), 1400).size(), QSize(80, 40));
  writeHalves(dir.file("d.png"), 80, 40);
  EXPECT_TRUE(decodeNow(dir.file("d.png[page=0]"), 1400).isNull());

  writeHalves(dir.file("\xff\xfe.png"), 60, 30);
  EXPECT_EQ(decodeNow(dir.file("\xff\xfe.png"), 1400).size(), QSize(60, 30));
}

TEST(ThumbnailLoaderDecode, badFilesGiveNoImage) {
  testsupport::TempDir dir;
  writeHalves(dir.file("good.jpg"), 300, 200);
  std::ifstream in(dir.file("good.jpg"), std::ios::binary);
  const std::string jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

  EXPECT_TRUE(decodeNow(dir.write("empty.jpg", ""), 160).isNull());
  EXPECT_TRUE(decodeNow(dir.write("notes.jpg", "not an image at all\n"), 160).isNull());
  EXPECT_TRUE(decodeNow(dir.write("header.jpg", jpeg.substr(0, 20)), 160).isNull());
  // Formats libvips reads but that are no photos: a text matrix and a CSV table.
  EXPECT_TRUE(decodeNow(dir.write("m.mat", "2 2\n1 2\n3 4\n"), 160).isNull());
  EXPECT_TRUE(decodeNow(dir.write("t.csv", "1,2\n3,4\n"), 160).isNull());
  EXPECT_TRUE(decodeNow(dir.file("missing.jpg"), 160).isNull());
  EXPECT_TRUE(decodeNow(dir.path(), 160).isNull());
  ASSERT_EQ(::mkfifo(dir.file("pipe.jpg").c_str(), 0600), 0);
  EXPECT_TRUE(decodeNow(dir.file("pipe.jpg"), 160).isNull()); // returns instead of blocking

  // A cut-off JPEG may show what arrived; it must not crash or come out the wrong size.
  const QImage truncated = decodeNow(dir.write("cut.jpg", jpeg.substr(0, jpeg.size() / 2)), 150);
  EXPECT_TRUE(truncated.isNull() || truncated.size() == QSize(150, 100));
}

namespace {
class ThumbnailLoaderLibrary : public testsupport::LibraryTestEnvironment {
protected:
  static PhotoItem libraryPhoto(const std::string &localIdentifier) {
    PhotoItem item = photo(PhotoLibrarySource::itemID(localIdentifier));
    item.localIdentifier = localIdentifier;
    return item;
  }
};
} // namespace

TEST_F(ThumbnailLoaderLibrary, libraryPhotosComeFromTheEnginesPhotoLibrary) {
  const std::string id = addPhoto(1000.0, std::nullopt, 400, 300);
  const auto client = [](EngineServices services) {
    return std::make_shared<LumoraEngineClient>(
        std::make_shared<LumoraEngine>(std::nullopt, std::move(services)));
  };
  const ImageProducer produce = ThumbnailLoader::producer(client({}));
  const QImage image = produce(libraryPhoto(id), 160);
  ASSERT_FALSE(image.isNull());
  EXPECT_NEAR(double(image.width()) / image.height(), 4.0 / 3.0, 0.05);
  EXPECT_EQ(image.format(), QImage::Format_RGB32);

  // A library photo never falls back to a file named like its id.
  EXPECT_TRUE(produce(libraryPhoto("gone"), 160).isNull());
  // The library is the engine's: an engine without one gives no library thumbnail.
  EXPECT_TRUE(
      ThumbnailLoader::producer(client({.library = nullptr}))(libraryPhoto(id), 160).isNull());
}

TEST(ThumbnailLoaderDecode, picturesBecomePaintingFormats) {
  platform::DecodedImage rgba{2, 1, 4, {255, 0, 0, 255, 0, 0, 255, 0}};
  const QImage withAlpha = imagedecode::toQImage(rgba);
  ASSERT_EQ(withAlpha.format(), QImage::Format_ARGB32_Premultiplied);
  EXPECT_EQ(withAlpha.pixel(0, 0), qRgba(255, 0, 0, 255));
  EXPECT_EQ(qAlpha(withAlpha.pixel(1, 0)), 0);

  const QImage opaque = imagedecode::toQImage(platform::DecodedImage{1, 2, 3, {1, 2, 3, 4, 5, 6}});
  ASSERT_EQ(opaque.format(), QImage::Format_RGB32);
  EXPECT_EQ(opaque.pixel(0, 1), qRgb(4, 5, 6));

  EXPECT_TRUE(imagedecode::toQImage(platform::DecodedImage{}).isNull());
  EXPECT_TRUE(
      imagedecode::toQImage(platform::DecodedImage{2, 2, 3, {1, 2, 3}}).isNull()); // too short
  EXPECT_TRUE(imagedecode::toQImage(platform::DecodedImage{1, 1, 2, {1, 2}}).isNull());
}

TEST(ThumbnailLoader, cachesEachSizeUnderItsOwnKey) {
  testsupport::TempDir dir;
  ThumbnailLoader loader(folderProducer());
  EXPECT_EQ(loader.cache().name(), QStringLiteral("Lumora.ThumbnailCache"));
  EXPECT_EQ(loader.cache().countLimit(), 900);
  EXPECT_EQ(loader.cache().totalCostLimit(), 96 * 1024 * 1024);

  const PhotoItem item = photo(dir.file("a.png").string());
  QObject context;
  ThumbnailPtr small;
  ThumbnailPtr large;
  writeHalves(dir.file("a.png"), 2000, 1000);
  loader.thumbnail(item, 160, &context, [&](const ThumbnailPtr &t) { small = t; });
  loader.thumbnail(item, 1400, &context, [&](const ThumbnailPtr &t) { large = t; });
  ASSERT_TRUE(waitFor([&] { return small && large; }));
  EXPECT_EQ(small->image().size(), QSize(160, 80));
  EXPECT_EQ(large->image().size(), QSize(1400, 700));
  EXPECT_EQ(loader.cache().count(), 2);
  EXPECT_EQ(loader.cache().totalCost(), small->cost() + large->cost());
  EXPECT_EQ(loader.cached(item, 160), small);

  loader.clearCache();
  EXPECT_EQ(loader.cache().count(), 0);
  // Still shown (held here) and the file unchanged: the same image, not a new decode.
  EXPECT_EQ(loader.cached(item, 160), small);
  loader.clearCache();
  small.reset();
  large.reset();
  EXPECT_EQ(loader.cached(item, 160), nullptr);
  EXPECT_EQ(loader.cache().count(), 0);
}
