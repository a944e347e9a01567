// The detail and the preview over the real engine: generated photos, the test's own Trash.
#include "app/detail/DetailGrid.h"
#include "app/detail/DetailMissingView.h"
#include "app/detail/DetailTile.h"
#include "app/detail/GroupDetailView.h"
#include "app/detail/PhotoPreviewView.h"
#include "app/detail/PreviewStage.h"
#include "app/shell/components/FavoriteStarButton.h"
#include "app/shell/components/HeroOverlay.h"
#include "engine/favorites/FavoriteStore.h"
#include "tests/shell/support/FilmedFrames.h"
#include "tests/store/support/EngineStoreFixture.h"
#include "tests/support/ImageFixtures.h"
#include "tests/support/TestEnvironment.h"

#include <QAbstractButton>
#include <QSet>
#include <filesystem>

using namespace lumora;
using namespace storetest;
namespace fs = std::filesystem;

namespace {

void confirm(QMessageBox *box) {
  for (QAbstractButton *button : box->buttons()) {
    if (box->buttonRole(button) == QMessageBox::DestructiveRole) {
      button->click();
    }
  }
}

/// How many distinct colours a 20 × 20 patch in the middle of the tile's picture holds: a
/// photo many, the plain placeholder one.
int coloursInTheMiddle(QWidget *tile) {
  const QImage image = tile->grab().toImage();
  QSet<QRgb> colours;
  for (int y = image.height() / 2 - 10; y < image.height() / 2 + 10; ++y) {
    for (int x = image.width() / 2 - 10; x < image.width() / 2 + 10; ++x) {
      colours.insert(image.pixel(x, y));
    }
  }
  return static_cast<int>(colours.size());
}

} // namespace

class DetailEndToEnd : public EngineStoreFixture {
protected:
  /// The detail of `group`, shown in `host`.
  GroupDetailView *showDetail(QWidget &host, const PhotoGroup &group) {
    host.resize(1150, 780);
    store().openDetail(group);
    auto *detail = new GroupDetailView(store(), group.id, nullptr, &host);
    detail->setGeometry(host.rect());
    host.show();
    return detail;
  }
};

TEST_F(DetailEndToEnd, thePreviewDeletesOnePhotoAndTheDetailCleansUpTheRest) {
  writeBurst("beach-", 1, 4, 1'700'000'000, 320, 240);
  writeBurst("city-", 13, 1, 1'700'007'200, 320, 240);
  store().chooseFolder();
  ASSERT_TRUE(waitForReady());
  ASSERT_EQ(store().groups().size(), 1u);
  const PhotoGroup group = store().groups()[0];
  ASSERT_EQ(group.count(), 4);

  QWidget host;
  GroupDetailView *detail = showDetail(host, group);

  // The preview shows the decoded photo and deletes it after its confirmation.
  store().openPreview(group, group.items[3].id);
  auto *preview = new PhotoPreviewView(store(), &host);
  preview->setGeometry(host.rect());
  preview->show();
  ASSERT_TRUE(waitFor([&] { return preview->stage()->content() == PreviewStage::Content::image; }));
  preview->askToDelete();
  confirm(preview->deleteConfirmation());
  ASSERT_TRUE(waitFor([&] { return !store().previewContext(); }));
  EXPECT_FALSE(fs::exists(group.items[3].url.toLocalFile().toStdString()));
  EXPECT_EQ(testsupport::trashedFileCount(), 1u);
  ASSERT_TRUE(waitFor([&] { return detail->grid()->tiles().size() == 3; }));

  // The clean-up keeps the best photo; the emptied group's detail closes.
  detail->askToCleanup();
  confirm(detail->confirmation());
  ASSERT_TRUE(waitFor([&] { return !store().detailGroupID(); }));
  EXPECT_EQ(testsupport::trashedFileCount(), 3u);
  EXPECT_TRUE(fs::exists(group.items[0].url.toLocalFile().toStdString()));
  EXPECT_TRUE(store().groups().empty());
  EXPECT_TRUE(detail->missingView()->isVisible());
}

// The best photo's card image is in the cache when its detail opens: the best tile shows it
// from its first frame (the hero zoom lands on a photo, not an empty box) until its own
// sharper thumbnail arrives; a photo the cards never loaded shows the placeholder meanwhile.
TEST_F(DetailEndToEnd, aThumbnailTheCardsLoadedStandsInUntilTheTilesOwnArrives) {
  writeBurst("beach-", 1, 3, 1'700'000'000, 320, 240);
  store().chooseFolder();
  ASSERT_TRUE(waitForReady());
  ASSERT_EQ(store().groups().size(), 1u);
  const PhotoGroup group = store().groups()[0];
  const int cardSize = DetailTile::kStandInSizes.front();
  bool loaded = false;
  QObject context;
  store().thumbnails().thumbnail(group.items[0], cardSize, &context,
                                 [&](const ThumbnailPtr &) { loaded = true; });
  ASSERT_TRUE(waitFor([&] { return loaded; }));
  QWidget host;
  GroupDetailView *detail = showDetail(host, group);
  DetailTile *best = detail->grid()->tile(group.items[0].id);
  DetailTile *other = detail->grid()->tile(group.items[1].id);
  ASSERT_TRUE(best && other);
  EXPECT_GT(coloursInTheMiddle(best), 20);
  EXPECT_EQ(coloursInTheMiddle(other), 1);
  ASSERT_TRUE(waitFor([&] { return coloursInTheMiddle(other) > 20; }));
}

// The tile's own photo, sharper than the small stand-in it shows meanwhile (as after the
// zoom lands), fades in over it: on a standing clock the tile still shows the stand-in when
// its photo comes, and no frame after carries more than a third of the change.
TEST_F(DetailEndToEnd, theTilesOwnPhotoFadesInOverItsStandInAndLooksAsTheZoomLandedIt) {
  // Fine grain: a small stand-in shows it as an even grey, the tile's own as a texture.
  for (int i = 0; i < 3; ++i) {
    const fs::path path = photosFolder() / ("grain-" + std::to_string(i) + ".png");
    ASSERT_TRUE(testsupport::writeImage(path, 1600, 1200, [](int x, int y) {
      const auto hash =
          (static_cast<unsigned>(x) * 73856093u) ^ (static_cast<unsigned>(y) * 19349663u);
      const auto level = static_cast<std::uint8_t>(40 + hash % 180);
      return testsupport::Rgb{level, level, level};
    }));
    testsupport::setModified(path, 1'700'000'000 + i);
  }
  store().chooseFolder();
  ASSERT_TRUE(waitForReady());
  ASSERT_EQ(store().groups().size(), 1u);
  const PhotoGroup group = store().groups()[0];
  bool loaded = false;
  QObject context;
  store().thumbnails().thumbnail(group.items[0], DetailTile::kStandInSizes.back(), &context,
                                 [&](const ThumbnailPtr &) { loaded = true; });
  ASSERT_TRUE(waitFor([&] { return loaded; }));
  filmtest::ManualClock clock;
  QWidget host;
  GroupDetailView *detail = showDetail(host, group);
  DetailTile *best = detail->grid()->tile(group.items[0].id);
  ASSERT_NE(best, nullptr);
  const qint64 standIn = best->heroPhoto().cacheKey();
  std::vector<QImage> frames{best->grab().toImage()};
  ASSERT_TRUE(waitFor([&] { return best->heroPhoto().cacheKey() != standIn; }));
  for (int t = 0; t <= 300; t += 20) {
    frames.push_back(best->grab().toImage());
    QCoreApplication::processEvents();
    clock.advanceBy(20);
  }
  const QRect middle = frames.front().rect().adjusted(30, 30, -30, -30);
  EXPECT_GT(filmtest::difference(frames.front(), frames.back(), middle), 0.0);
  EXPECT_LE(filmtest::largestStep(frames, middle), 1.0 / 3.0);

  // The zoom's photo landed on the tile looks as the tile then shows it: its fine detail
  // shrunk alike, not turned into grain the moment the tile takes over.
  auto *overlay = new HeroOverlay(&host);
  const HeroOverlay::Side side{HeroOverlay::frameIn(&host, best), HeroOverlay::frameIn(&host, best),
                               best->heroCorners(), QPixmap()};
  overlay->hold({QStringLiteral("hero"), best->heroPhoto(), side, side});
  overlay->setProgress(1);
  const double landed = filmtest::contrast(overlay->grab(side.rect).toImage(), middle);
  const double shown = filmtest::contrast(frames.back(), middle);
  EXPECT_NEAR(shown, landed, 0.2 * landed);
}

TEST_F(DetailEndToEnd, aStarThatCannotBeSavedStaysAsItWasAndTheUserIsTold) {
  writeBurst("beach-", 1, 2, 1'700'000'000, 320, 240);
  store().chooseFolder();
  ASSERT_TRUE(waitForReady());
  ASSERT_EQ(store().groups().size(), 1u);
  const PhotoGroup group = store().groups()[0];
  QWidget host;
  GroupDetailView *detail = showDetail(host, group);
  DetailTile *tile = detail->grid()->tile(group.items[1].id);
  ASSERT_NE(tile, nullptr);

  // A folder holding a file in the lock file's place: the favourites file cannot be written.
  const fs::path lock = FavoriteStore::defaultURL().native() + ".lock";
  fs::create_directories(lock / "kept");
  tile->starButton()->click();
  ASSERT_TRUE(waitFor([&] { return store().alert().has_value(); }));
  EXPECT_EQ(store().alert()->title, QStringLiteral("收藏没能保存"));
  EXPECT_TRUE(store().alert()->message.startsWith(QStringLiteral("收藏文件被锁定")));
  spin(50);
  EXPECT_FALSE(tile->starButton()->isFavorite());
  EXPECT_FALSE(store().items()[1].isFavorite || store().items()[0].isFavorite);
}
