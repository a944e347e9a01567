#include "app/store/texts/Texts.h"
#include "app/store/texts/Localized.h"

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <utility>
#include <vector>

using namespace lumora;

namespace {

class TextsTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() { ASSERT_TRUE(localized::installTranslations()); }
};

struct TableEntry {
  QString source;
  QString translation;
};

// The table's source file: read back so that a translator's slip (a lost "%d", an
// unfinished entry) fails here rather than in front of the user.
std::vector<TableEntry> tableEntries() {
  QFile file(QStringLiteral(PINDLE_TRANSLATIONS_DIR "/pindle_zh_CN.ts"));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  std::vector<TableEntry> entries;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) {
      continue;
    }
    if (xml.name() == u"source") {
      entries.push_back({xml.readElementText(), {}});
    } else if (xml.name() == u"translation" && !entries.empty()) {
      EXPECT_TRUE(xml.attributes().value(QStringLiteral("type")).isEmpty()) << "unfinished";
      entries.back().translation = xml.readElementText();
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return entries;
}

QStringList placeholders(const QString &text) {
  static const QRegularExpression pattern(QStringLiteral("%(?:d|@|\\.\\d{1,2}f)"));
  QStringList found;
  for (const auto &match : pattern.globalMatch(text)) {
    found << match.captured();
  }
  return found;
}

} // namespace

TEST_F(TextsTest, countTextsUseTheSingularOnlyForExactlyOne) {
  // Each builder's keys must match the table byte for byte, or the English shows.
  const std::vector<std::pair<std::function<QString(std::int64_t)>, QString>> plurals = {
      {texts::cleanedText, "已清理 %1 张照片"},
      {texts::restoredText, "已恢复 %1 张照片"},
      {texts::deletedText, "已删除 %1 张照片"},
      {texts::similarPhotoCountText, "%1 张相似照片"},
      {texts::cleanupMoreText, "清理其余 %1 张"},
      {texts::keepBestLibraryText, "保留最佳，将 %1 张移到「最近删除」"},
      {texts::keepBestTrashText, "保留最佳，将 %1 张移到废纸篓"},
      {texts::moveToRecentlyDeletedText, "将 %1 张照片移到「最近删除」"},
      {texts::groupCountText, "%1 组"},
      {texts::photoCountText, "%1 张照片"},
  };
  for (const auto &[build, text] : plurals) {
    for (std::int64_t count : {1, 0, 2, -1, 1234}) {
      EXPECT_EQ(build(count), text.arg(count)); // 1234 without digit grouping
    }
  }
}

TEST_F(TextsTest, missingEntriesFallBackToTheDefaultOrTheKey) {
  EXPECT_EQ(localized::string("no.such.key", "默认文本"), QStringLiteral("默认文本"));
  EXPECT_EQ(localized::string("表里没有的文本…"), QStringLiteral("表里没有的文本…"));
  EXPECT_EQ(localized::format("no.such.%d", "共 %d 张 · %@", {3, QStringLiteral("好")}),
            QStringLiteral("共 3 张 · 好"));
}

TEST_F(TextsTest, similarityHintBandsAreExclusiveAbove) {
  const QString strict = QStringLiteral("严格：只合并几乎相同的连拍帧");
  const QString recommended = QStringLiteral("推荐：同一次拍摄的多张");
  const QString loose = QStringLiteral("宽松：同一场景的不同时段");
  const QString veryLoose = QStringLiteral("很宽松：可能误合并不同内容，慎用");
  const std::vector<std::pair<float, QString>> cases = {
      {0.2399f, strict},
      {0.24f, recommended},
      {0.30f, recommended},
      {0.32f, loose},
      {0.4199f, loose},
      {0.42f, veryLoose},
      {std::numeric_limits<float>::quiet_NaN(), veryLoose},
  };
  for (const auto &[threshold, text] : cases) {
    EXPECT_EQ(texts::similarityHint(threshold), text) << threshold;
  }
}

TEST_F(TextsTest, reasonTextsFillOnlyTheirOwnValues) {
  EXPECT_EQ(texts::reasonHeadline(SelectionReason::sharpest(42, 0)),
            QStringLiteral("本组最清晰（清晰度比其他高约 42%）"));
  EXPECT_EQ(texts::reasonHeadline(SelectionReason::highestScore(1.26, 0)),
            QStringLiteral("本组美学分最高（比第 2 名高 1.3 分）"));
  EXPECT_EQ(texts::reasonHeadline(SelectionReason::sharperButClose(30, 0.4, 0)),
            QStringLiteral("更清晰，分数接近（+0.4 分）"));
  // A sharper best photo may score a little lower: the sign shows once, and a gain that
  // rounds to nothing reads +0.0 rather than -0.0.
  const std::vector<std::pair<double, QString>> signs{
      {-0.3, QStringLiteral("更清晰，分数接近（-0.3 分）")},
      {-1.26, QStringLiteral("更清晰，分数接近（-1.3 分）")},
      {-0.04, QStringLiteral("更清晰，分数接近（+0.0 分）")},
      {0.0, QStringLiteral("更清晰，分数接近（+0.0 分）")},
      {0.26, QStringLiteral("更清晰，分数接近（+0.3 分）")},
  };
  for (const auto &[gain, text] : signs) {
    EXPECT_EQ(texts::reasonHeadline(SelectionReason::sharperButClose(20, gain, 0)), text) << gain;
  }
  EXPECT_EQ(texts::reasonHeadline(SelectionReason::single()), QStringLiteral("本组只有一张"));
  EXPECT_TRUE(texts::reasonDetailLines(SelectionReason::sharpest(10, 0)).isEmpty());
  EXPECT_TRUE(texts::reasonDetailLines(SelectionReason::combined(-2)).isEmpty());
  EXPECT_EQ(texts::reasonDetailLines(SelectionReason::combined(2)),
            QStringList{QStringLiteral("组内有 2 张更像截图/文档，已优先避开")});
}

TEST_F(TextsTest, everyTableEntryIsCompiledInAndKeepsItsPlaceholders) {
  static const QRegularExpression dottedKey(QStringLiteral("^[a-z]+(\\.[A-Za-z0-9]+)+$"));
  const std::vector<TableEntry> entries = tableEntries();
  ASSERT_GT(entries.size(), 20U);
  for (const TableEntry &entry : entries) {
    SCOPED_TRACE(entry.source.toStdString());
    EXPECT_EQ(localized::string(entry.source.toUtf8().constData()), entry.translation);
    if (!dottedKey.match(entry.source).hasMatch()) {
      EXPECT_EQ(placeholders(entry.translation), placeholders(entry.source));
    }
  }
  // The folder error messages name the folder through exactly one "%@".
  for (const char *key : {"error.folder.empty.message", "error.folder.unreadable.message"}) {
    EXPECT_EQ(placeholders(localized::string(key)), QStringList{QStringLiteral("%@")}) << key;
  }
}

TEST_F(TextsTest, noTranslationNamesAnotherPlatformsProducts) {
  const QStringList foreign = {"macOS",       "Finder", "访达",       "iCloud",   "Apple",
                               "「照片」App", "⌘",      "系统设置 ›", "~/Library"};
  for (const TableEntry &entry : tableEntries()) {
    for (const QString &word : foreign) {
      EXPECT_FALSE(entry.translation.contains(word)) << entry.translation.toStdString();
    }
  }
}

// Our library never empties "Recently Deleted" and offers no way back from it: no text may
// promise recovery within a time, and every text that named one says where the file stays.
TEST_F(TextsTest, libraryDeletionTextsShareOneTrueWording) {
  const QString stays = QStringLiteral("照片文件会一直留在图库文件夹里");
  int promises = 0;
  for (const TableEntry &entry : tableEntries()) {
    SCOPED_TRACE(entry.source.toStdString());
    EXPECT_FALSE(entry.translation.contains(QStringLiteral("30 天")));
    if (entry.source.contains(QStringLiteral("30 天"))) {
      ++promises;
      EXPECT_TRUE(entry.translation.contains(stays));
    }
  }
  EXPECT_GE(promises, 8);
}
