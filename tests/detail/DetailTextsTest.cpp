// The detail's and the preview's source-worded texts.
#include "app/detail/DetailTexts.h"
#include "app/detail/PreviewTexts.h"
#include "app/store/texts/Localized.h"
#include "tests/store/support/StoreTestSupport.h"

#include <gtest/gtest.h>

using namespace lumora;
using Source = AppStoreTypes::SourceKind;

namespace {

PhotoItem libraryItem(const std::string &id) {
  return PhotoItem("lib:" + id, QUrl(QStringLiteral("photo://asset/") + QString::fromStdString(id)),
                   0.4f, false, 0, 0, Date{100}, {}, id, Date{100}, false);
}

class DetailTexts : public ::testing::Test {
protected:
  DetailTexts() { localized::installTranslations(); }
};

} // namespace

TEST_F(DetailTexts, subtitlesLeaveOutTheBytesWhenNothingIsFreed) {
  const PhotoGroup library("lib:a", {libraryItem("a"), libraryItem("b")});
  EXPECT_EQ(lumora::detailtexts::headerSubtitle(library).count(QStringLiteral(" · ")), 1);
  EXPECT_EQ(
      lumora::detailtexts::actionSubtitle(library, Source::library).count(QStringLiteral(" · ")),
      1);
  const PhotoGroup folder = storetest::group("/p/a", 3, 2'000'000);
  const QString subtitle = lumora::detailtexts::headerSubtitle(folder);
  EXPECT_EQ(subtitle.count(QStringLiteral(" · ")), 2);
  EXPECT_TRUE(subtitle.contains(QStringLiteral("共 3 张"))) << subtitle.toStdString();
  EXPECT_TRUE(subtitle.contains(QStringLiteral("可释放 4"))) << subtitle.toStdString();
}

TEST_F(DetailTexts, confirmationsAreWordedByTheSourceAndNameLibraryPhotosLiterally) {
  const PhotoGroup folder = storetest::group("/p/a", 2);
  EXPECT_EQ(lumora::detailtexts::cleanupTitle(1, Source::folder),
            QStringLiteral("清理这 1 张照片？"));
  EXPECT_EQ(lumora::detailtexts::cleanupTitle(3, Source::library),
            QStringLiteral("把 3 张照片移入「最近删除」？"));
  EXPECT_EQ(lumora::detailtexts::cleanupConfirmButton(Source::folder),
            QStringLiteral("移入废纸篓"));
  EXPECT_EQ(lumora::detailtexts::cleanupConfirmButton(Source::library),
            QStringLiteral("移入「最近删除」"));
  EXPECT_EQ(
      lumora::detailtexts::cleanupMessage(folder, Source::folder),
      QStringLiteral("会保留「a0」，其余 1 张移到废纸篓，之后可以在文件管理器的废纸篓里恢复。"));
  const PhotoGroup library("lib:a", {libraryItem("a"), libraryItem("b")});
  const QString kept = lumora::detailtexts::cleanupMessage(library, Source::library);
  EXPECT_TRUE(kept.startsWith(QStringLiteral("会保留「图库照片」"))) << kept.toStdString();
  // Our library keeps the files: no text promises a 30-day restore.
  for (const QString &text :
       {kept, lumora::detailtexts::deleteMessage(libraryItem("b"), Source::library),
        lumora::detailtexts::deletionHint(Source::library),
        lumora::detailtexts::actionSubtitle(library, Source::library),
        previewtexts::deleteMessage(libraryItem("b"), QStringLiteral("IMG_1.HEIC"),
                                    Source::library)}) {
    EXPECT_FALSE(text.contains(QStringLiteral("30"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("Finder"))) << text.toStdString();
  }
  EXPECT_EQ(lumora::detailtexts::deleteMessage(folder.items[1], Source::folder),
            QStringLiteral("「a1」会移到废纸篓，可以在文件管理器里恢复。"));
  EXPECT_EQ(previewtexts::deleteTitle(Source::library),
            QStringLiteral("把这张照片移入「最近删除」？"));
  EXPECT_EQ(previewtexts::deleteTitle(Source::folder), QStringLiteral("删除这张照片？"));
  EXPECT_TRUE(
      previewtexts::deleteMessage(libraryItem("b"), QStringLiteral("IMG_1.HEIC"), Source::library)
          .startsWith(QStringLiteral("「IMG_1.HEIC」")));
}

TEST_F(DetailTexts, tileLabelsCarryFocusAndBestPrefixes) {
  PhotoItem best = storetest::photo("/p/x.jpg");
  best.score = 0.66f; // 8.3, good
  EXPECT_EQ(lumora::detailtexts::tileAccessibleName(best, true, true),
            QStringLiteral("已选中该组，本组最佳，照片，8.3 分，不错"));
  PhotoItem poor = storetest::photo("/p/y.jpg");
  poor.score = -0.2f; // 4.0, poor
  EXPECT_EQ(lumora::detailtexts::tileAccessibleName(poor, false, false),
            QStringLiteral("照片，4.0 分，较差"));
  EXPECT_TRUE(lumora::detailtexts::tileToolTip(libraryItem("z"))
                  .startsWith(QStringLiteral("图库照片 · 美学分")));
}
