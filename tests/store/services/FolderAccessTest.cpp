#include "app/store/services/FolderAccess.h"
#include "app/store/services/FolderBookmark.h"
#include "platform/core/AppDirectories.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <QSettings>
#include <filesystem>
#include <gtest/gtest.h>

using namespace lumora;
namespace fs = std::filesystem;

namespace {

QString qpath(const fs::path &path) { return QString::fromStdString(path.string()); }
QUrl folderUrl(const fs::path &path) { return QUrl::fromLocalFile(qpath(path)); }

// Same path, new inode: the old folder is kept aside so its inode cannot be reused.
void replaceFolder(const fs::path &folder) {
  fs::rename(folder, fs::path(folder.string() + "-old"));
  fs::create_directory(folder);
}

QVariant stored(const char *key) {
  return QSettings(QStringLiteral("Lumora"), QStringLiteral("Pindle"))
      .value(QString::fromLatin1(key));
}

// What the diagnostics log gained since the watch was made.
class LogWatch {
public:
  LogWatch() : m_start(read().size()) {}
  [[nodiscard]] QByteArray added() const { return read().mid(m_start); }

private:
  static QByteArray read() {
    QFile file(platform::appSupportDirectory() + QStringLiteral("/diagnostics.log"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
  }
  qsizetype m_start;
};

} // namespace

TEST(FolderBookmark, resolvesUntilThePathNamesAnotherFolderOrNone) {
  testsupport::TempDir temp;
  const fs::path kept = temp.path() / "照片 2024";
  const fs::path moved = temp.path() / "moved";
  const fs::path becameFile = temp.path() / "file";
  for (const auto &folder : {kept, moved, becameFile}) {
    fs::create_directory(folder);
  }
  const auto keptBlob = FolderBookmark::create(qpath(kept));
  const auto movedBlob = FolderBookmark::create(qpath(moved));
  const auto fileBlob = FolderBookmark::create(qpath(becameFile));
  ASSERT_TRUE(keptBlob && movedBlob && fileBlob);
  ASSERT_TRUE(FolderBookmark::resolve(*keptBlob));
  EXPECT_EQ(FolderBookmark::resolve(*keptBlob)->path, qpath(kept));
  EXPECT_FALSE(FolderBookmark::resolve(*keptBlob)->stale);

  replaceFolder(kept);
  fs::rename(moved, temp.path() / "elsewhere");
  fs::remove(becameFile);
  temp.write("file", "not a folder");
  ASSERT_TRUE(FolderBookmark::resolve(*keptBlob));
  EXPECT_TRUE(FolderBookmark::resolve(*keptBlob)->stale);
  EXPECT_FALSE(FolderBookmark::resolve(*movedBlob));
  EXPECT_FALSE(FolderBookmark::resolve(*fileBlob));
  EXPECT_FALSE(FolderBookmark::create(qpath(temp.path() / "missing")));
  EXPECT_FALSE(FolderBookmark::create(qpath(temp.path() / "file")));
}

TEST(FolderBookmark, damagedBlobsNeverResolve) {
  testsupport::TempDir temp;
  const auto blob = FolderBookmark::create(qpath(temp.path()));
  ASSERT_TRUE(blob);
  EXPECT_FALSE(FolderBookmark::resolve(QByteArray("garbage that is long enough to read")));
  EXPECT_FALSE(FolderBookmark::resolve(*blob + QByteArray("x")));
  for (qsizetype cut = 0; cut < blob->size(); ++cut) {
    EXPECT_FALSE(FolderBookmark::resolve(blob->left(cut))) << cut;
  }
  // A path length far beyond the data must fail, not allocate or read past the end.
  EXPECT_FALSE(FolderBookmark::resolve(blob->left(5) + QByteArray::fromHex("7ffffff0")));
}

class FolderAccessTest : public ::testing::Test {
protected:
  void SetUp() override {
    FolderAccess::clear();
    fs::create_directory(m_folder);
  }
  void TearDown() override { FolderAccess::clear(); }
  testsupport::TempDir m_temp;
  fs::path m_folder = m_temp.path() / "相册";
};

TEST_F(FolderAccessTest, aPickedFolderIsFoundAgainAtTheNextLaunch) {
  const LogWatch log;
  EXPECT_FALSE(FolderAccess::resolveAndAccess()); // first launch: nothing, quietly
  EXPECT_TRUE(log.added().isEmpty());

  EXPECT_EQ(FolderAccess::beginAccess(folderUrl(m_folder)), folderUrl(m_folder));
  EXPECT_EQ(stored(FolderAccess::kLastFolderPathKey).toString(), qpath(m_folder));
  const QByteArray blob = stored(FolderAccess::kBookmarkKey).toByteArray();
  EXPECT_EQ(FolderAccess::resolveAndAccess(), folderUrl(m_folder));
  EXPECT_EQ(FolderAccess::activeFolder(), folderUrl(m_folder));
  EXPECT_EQ(stored(FolderAccess::kBookmarkKey).toByteArray(), blob); // not stale: kept

  FolderAccess::clear();
  EXPECT_FALSE(FolderAccess::activeFolder());
  EXPECT_FALSE(stored(FolderAccess::kBookmarkKey).isValid());
  EXPECT_FALSE(stored(FolderAccess::kLastFolderPathKey).isValid());
}

TEST_F(FolderAccessTest, aReplacedFolderGetsAFreshBookmarkBeforeUse) {
  FolderAccess::store(folderUrl(m_folder));
  const QByteArray oldBlob = stored(FolderAccess::kBookmarkKey).toByteArray();
  replaceFolder(m_folder);
  EXPECT_EQ(FolderAccess::resolveAndAccess(), folderUrl(m_folder));
  const QByteArray newBlob = stored(FolderAccess::kBookmarkKey).toByteArray();
  EXPECT_NE(newBlob, oldBlob);
  ASSERT_TRUE(FolderBookmark::resolve(newBlob));
  EXPECT_FALSE(FolderBookmark::resolve(newBlob)->stale);
}

TEST_F(FolderAccessTest, aMovedFolderIsNotResolvedAndTheSettingsStay) {
  FolderAccess::store(folderUrl(m_folder));
  fs::rename(m_folder, m_temp.path() / "moved");
  const LogWatch log;
  EXPECT_FALSE(FolderAccess::resolveAndAccess());
  EXPECT_FALSE(FolderAccess::activeFolder());
  EXPECT_TRUE(log.added().contains("bookmark resolve failed"));
  EXPECT_TRUE(stored(FolderAccess::kBookmarkKey).isValid());
  EXPECT_EQ(stored(FolderAccess::kLastFolderPathKey).toString(), qpath(m_folder));
}

TEST_F(FolderAccessTest, aFolderThatCannotBeBookmarkedKeepsTheOldBookmark) {
  FolderAccess::store(folderUrl(m_folder));
  const QByteArray blob = stored(FolderAccess::kBookmarkKey).toByteArray();
  const LogWatch log;
  const QUrl missing = folderUrl(m_temp.path() / "missing");
  EXPECT_EQ(FolderAccess::beginAccess(missing), missing);
  EXPECT_TRUE(log.added().contains("bookmark store failed: "));
  EXPECT_EQ(stored(FolderAccess::kLastFolderPathKey).toString(), missing.toLocalFile());
  EXPECT_EQ(stored(FolderAccess::kBookmarkKey).toByteArray(), blob);
}
