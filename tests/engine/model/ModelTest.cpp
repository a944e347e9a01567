#include "engine/model/CuratorError.h"
#include "engine/model/DeleteReceipt.h"
#include "engine/model/GroupSort.h"
#include "engine/model/PhotoGroup.h"
#include "engine/model/ScanTypes.h"
#include "engine/model/SimilarityScale.h"

#include "engine/util/Numeric.h"

#include <gtest/gtest.h>
#include <limits>

using namespace lumora;

namespace {

PhotoItem photo(const std::string &id, float score, float sharpness, bool utility = false,
                std::int64_t size = 1000) {
  return PhotoItem(id, QUrl::fromLocalFile(QString::fromStdString(id)), score, utility, sharpness,
                   size, Date{100}, {}, std::nullopt, std::nullopt, false);
}

} // namespace

TEST(PhotoItem, missingCaptureDateFallsBackToModified) {
  const PhotoItem item = photo("/p/a.jpg", 0, 0);
  EXPECT_EQ(item.captureDate, item.modified);
  EXPECT_EQ(item.fileName(), QStringLiteral("a.jpg"));
  EXPECT_FALSE(item.isFromLibrary());
}

TEST(PhotoItem, displayedScoreAndTierUseTheUnroundedValue) {
  EXPECT_EQ(photo("a", -1, 0).displayScoreText(), "0.0");
  EXPECT_EQ(photo("a", -1, 0).tier(), ScoreTier::poor);
  EXPECT_EQ(photo("a", 0.5f, 0).tier(), ScoreTier::good);
  EXPECT_EQ(photo("a", 0, 0).displayScoreText(), "5.0");
  EXPECT_EQ(photo("a", 0, 0).tier(), ScoreTier::fair);
  // The float nearest 0.7 displays as 8.5 but stays below the great bound.
  EXPECT_EQ(photo("a", 0.7f, 0).displayScoreText(), "8.5");
  EXPECT_EQ(photo("a", 0.7f, 0).tier(), ScoreTier::good);
  EXPECT_EQ(photo("a", std::nanf(""), 0).tier(), ScoreTier::poor);
}

TEST(PhotoItem, libraryPhotoHasFixedNameAndCopiesChangeOneField) {
  PhotoItem item("lib:X", QUrl("photo://asset/X"), 0, false, 0, 0, Date{1}, {1.f, 0.f}, "X",
                 Date{2}, false);
  EXPECT_EQ(item.fileName(), QStringLiteral("图库照片"));
  EXPECT_TRUE(item.isFromLibrary());
  PhotoItem favourite = item.withFavorite(true);
  EXPECT_TRUE(favourite.isFavorite);
  favourite.isFavorite = false;
  EXPECT_EQ(favourite, item);
  EXPECT_TRUE(item.droppingFeature().feature.empty());
  EXPECT_EQ(PhotoItemHash{}(item), PhotoItemHash{}(item.withFavorite(false)));
}

TEST(PhotoGroup, emptyAndSingleGroups) {
  const PhotoGroup empty("g", {});
  EXPECT_FALSE(empty.best().has_value());
  EXPECT_EQ(empty.bestID, "g");
  EXPECT_EQ(empty.deltaFromBest(photo("a", 1, 0)), 0);
  const PhotoGroup single("a", {photo("a", 0.2f, 10)});
  EXPECT_EQ(single.bestReason(), SelectionReason::single());
  EXPECT_EQ(single.reclaimableBytes(), 0);
  EXPECT_FALSE(single.isCleanupCandidate());
}

TEST(PhotoGroup, reclaimableBytesSkipTheBest) {
  const PhotoGroup group(
      "a", {photo("a", 0, 0, false, 5), photo("b", 0, 0, false, 7), photo("c", 0, 0, false, 11)});
  EXPECT_EQ(group.reclaimableBytes(), 18);
  EXPECT_EQ(group.bestID, "a");
  EXPECT_DOUBLE_EQ(group.deltaFromBest(group.items[1]), 0);
}

TEST(PhotoGroup, reclaimableBytesSaturateAndIgnoreNegativeSizes) {
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  EXPECT_EQ(PhotoGroup("a", {photo("a", 0, 0), photo("b", 0, 0, false, kMax),
                             photo("c", 0, 0, false, kMax)})
                .reclaimableBytes(),
            kMax);
  EXPECT_EQ(
      PhotoGroup("a", {photo("a", 0, 0), photo("b", 0, 0, false, -50), photo("c", 0, 0, false, 7)})
          .reclaimableBytes(),
      7);
  EXPECT_EQ(numeric::truncatedInt(9.21e18), static_cast<std::int64_t>(9.21e18));
  EXPECT_EQ(numeric::truncatedInt(9.3e18), kMax);
  EXPECT_EQ(numeric::truncatedInt(-9.3e18), std::numeric_limits<std::int64_t>::min());
}

TEST(PhotoGroup, bestReasonThresholdsAreStrictAndPercentTruncates) {
  EXPECT_EQ(PhotoGroup("a", {photo("a", 0, 130), photo("b", 0, 100)}).bestReason(),
            SelectionReason::sharpest(30, 0));
  // A 0.2999 gain truncates to 29, not 30.
  EXPECT_EQ(PhotoGroup("a", {photo("a", 0, 129.99f), photo("b", 0, 100)}).bestReason(),
            SelectionReason::sharpest(29, 0));
  // Exactly 0.25 is not sharpest.
  EXPECT_EQ(PhotoGroup("a", {photo("a", 0, 125), photo("b", 0, 100)}).bestReason().kind,
            SelectionReason::Kind::sharperButClose);
  const auto score = PhotoGroup("a", {photo("a", 0.5f, 100), photo("b", 0.3f, 100)}).bestReason();
  EXPECT_EQ(score.kind, SelectionReason::Kind::highestScore);
  EXPECT_NEAR(score.gain, 1.0, 1e-6);
  EXPECT_EQ(PhotoGroup("a", {photo("a", 0.1f, 100), photo("b", 0.1f, 100)}).bestReason(),
            SelectionReason::combined(0));
  // Others at sharpness 1.0 or below never give a sharpness reason.
  EXPECT_EQ(PhotoGroup("a", {photo("a", 0, 500), photo("b", 0, 1.0f)}).bestReason().kind,
            SelectionReason::Kind::combined);
}

TEST(PhotoGroup, utilityAvoidedCountsOnlyForAPhotographBest) {
  EXPECT_EQ(PhotoGroup("a", {photo("a", 0, 0), photo("b", 0, 0, true), photo("c", 0, 0, true)})
                .bestReason()
                .utilityAvoided,
            2);
  EXPECT_EQ(
      PhotoGroup("a", {photo("a", 0, 0, true), photo("b", 0, 0, true)}).bestReason().utilityAvoided,
      0);
}

TEST(PhotoGroup, corruptSharpnessNeverOverflows) {
  const auto reason = PhotoGroup("a", {photo("a", 0, 3e38f), photo("b", 0, 1.5f)}).bestReason();
  EXPECT_EQ(reason.kind, SelectionReason::Kind::sharpest);
  EXPECT_GT(reason.percent, 0);
}

TEST(SimilarityScale, percentAndHintBands) {
  EXPECT_NEAR(SimilarityScale::similarityPercent(0.30f), 62.5, 1e-5);
  EXPECT_NEAR(SimilarityScale::similarityPercent(0.18f), 77.5, 1e-5);
  EXPECT_NEAR(SimilarityScale::similarityPercent(0.55f), 31.25, 1e-5);
  EXPECT_EQ(SimilarityScale::similarityPercent(0.9f), 0);
  EXPECT_EQ(SimilarityScale::hint(0.23f), QStringLiteral("严格：只合并几乎相同的连拍帧"));
  EXPECT_EQ(SimilarityScale::hint(0.24f), QStringLiteral("推荐：同一次拍摄的多张"));
  EXPECT_EQ(SimilarityScale::hint(0.32f), QStringLiteral("宽松：同一场景的不同时段"));
  EXPECT_EQ(SimilarityScale::hint(0.42f), QStringLiteral("很宽松：可能误合并不同内容，慎用"));
  EXPECT_EQ(SimilarityScale::hint(std::nanf("")),
            QStringLiteral("很宽松：可能误合并不同内容，慎用"));
}

TEST(ScanTypes, fractionAndRemainingAreBounded) {
  ScanProgress progress;
  EXPECT_EQ(progress.fraction(), 0);
  progress.total = 4;
  progress.done = 9;
  EXPECT_EQ(progress.fraction(), 1);
  ScanResult result;
  result.items = {photo("a", 0, 0), photo("b", 0, 0)};
  result.fileCount = 1;
  result.elapsed = 1;
  EXPECT_EQ(result.remainingCount(), 0);
  EXPECT_DOUBLE_EQ(result.msPerPhoto(), 500);
  EXPECT_EQ(ScanResult{}.msPerPhoto(), 0);
  EXPECT_EQ(ScanOptions::defaults().maxPixel, 512);
  EXPECT_EQ(ScanOptions::defaults().checkpointEvery, 250);
}

TEST(RawValues, roundTripAndRejectUnknown) {
  for (auto sort : groupsort::kAll) {
    EXPECT_EQ(groupsort::fromRawValue(groupsort::rawValue(sort)), sort);
  }
  for (auto tier : scoretier::kAll) {
    EXPECT_EQ(scoretier::fromRawValue(scoretier::rawValue(tier)), tier);
  }
  EXPECT_FALSE(groupsort::fromRawValue("Date").has_value());
  EXPECT_FALSE(scoretier::fromRawValue("").has_value());
}

TEST(DeleteReceipt, libraryOnlyReceiptCannotUndo) {
  DeleteReceipt receipt;
  receipt.libraryItemCount = 3;
  EXPECT_FALSE(receipt.canUndo());
  EXPECT_EQ(receipt.totalCount(), 3);
  receipt.trashedFiles.push_back({"/a", "/t/a"});
  EXPECT_TRUE(receipt.canUndo());
  EXPECT_EQ(receipt.undoHint(), QStringLiteral("已移入废纸篓"));
}

TEST(CuratorError, descriptionsNameThePlace) {
  EXPECT_EQ(CuratorError::noImagesFound(QUrl::fromLocalFile("/x/照片")).errorDescription(),
            QStringLiteral("在 /x/照片 里没有找到可分析的图片"));
  EXPECT_EQ(CuratorError::unreadable(QUrl::fromLocalFile("/x/a b.jpg")).errorDescription(),
            QStringLiteral("无法读取 a b.jpg"));
  EXPECT_EQ(CuratorError::cacheWriteFailed("disk").errorDescription(),
            QStringLiteral("缓存写入失败：disk"));
}
