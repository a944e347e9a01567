#include "engine/diagnostics/LoggedName.h"
#include "engine/diagnostics/Diagnostics.h"
#include "engine/favorites/FavoriteStore.h"
#include "engine/imaging/ImageLoader.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

using namespace lumora;

QString logText() {
  QFile file(Diagnostics::logURL().toLocalFile());
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(LoggedNameTest, NamesTheFileAloneAndKeepsEveryByte) {
  EXPECT_EQ(logline::fileName("/home/someone/Pictures/secret.jpg"), QStringLiteral("secret.jpg"));
  EXPECT_EQ(logline::fileName("/home/someone/假期/"), QStringLiteral("假期"));
  EXPECT_EQ(logline::fileName("plain.png"), QStringLiteral("plain.png"));
  EXPECT_EQ(logline::fileName("/"), QStringLiteral("/"));
  EXPECT_EQ(logline::fileName("/home/someone/bad\xff name.jpg"), QStringLiteral("bad%FF name.jpg"));
}

TEST(LoggedNameTest, LinesAboutTheUsersPhotosCarryNoFolder) {
  Diagnostics::clear();
  testsupport::TempDir folder;
  const std::filesystem::path broken = folder.write("secret.jpg", "not a picture");
  EXPECT_FALSE(ImageLoader::load(broken.string(), 256).has_value());
  (void)FavoriteStore::encode({folder.file("odd\xfe.jpg").string()});
  const QString text = logText();
  EXPECT_TRUE(text.contains(QStringLiteral("skipped secret.jpg: "))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("(path is not UTF-8): odd%FE.jpg\n")));
  EXPECT_FALSE(text.contains(QString::fromStdString(folder.path().string())));
}

} // namespace
