#include "app/store/services/QaMarkers.h"
#include "engine/diagnostics/Diagnostics.h"
#include "tests/support/TempDir.h"

#include <QElapsedTimer>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lumora {
namespace {

class QaMarkersTest : public ::testing::Test {
protected:
  QString path() const { return QFile::decodeName(dir.file("marker").c_str()); }
  QByteArray native() const { return QFile::encodeName(path()); }

  static QString logText() {
    QFile file(Diagnostics::directory() + QStringLiteral("/diagnostics.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

  // Reads the marker as a folder, within a second and without growing the process by more
  // than 64 MB, and checks the one log line that names the reason.
  void expectRefused(const QString &reason) {
    const double before = Diagnostics::currentResidentMB();
    const qsizetype linesBefore = logText().count(QStringLiteral("[qa] marker "));
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(qamarkers::folder(path()), std::nullopt) << reason.toStdString();
    EXPECT_LT(clock.elapsed(), 1000) << reason.toStdString();
    EXPECT_LT(Diagnostics::currentResidentMB() - before, 64) << reason.toStdString();
    const QString log = logText();
    EXPECT_GE(log.count(QStringLiteral("[qa] marker ")), linesBefore + 1);
    EXPECT_TRUE(log.contains(path() + QStringLiteral(" ignored: ") + reason))
        << reason.toStdString();
  }

  testsupport::TempDir dir;
};

TEST_F(QaMarkersTest, OwnRegularFileNamesItsFolderTrimmed) {
  dir.write("marker", " /photos/trip\n");
  EXPECT_EQ(qamarkers::folder(path()), QStringLiteral("/photos/trip"));
  EXPECT_TRUE(qamarkers::present(path()));
  QFile::remove(path());
  EXPECT_EQ(qamarkers::folder(path()), std::nullopt);
  EXPECT_FALSE(qamarkers::present(path()));
  EXPECT_FALSE(logText().contains(path()));
}

TEST_F(QaMarkersTest, FifoIsRefusedWithoutBlocking) {
  ASSERT_EQ(::mkfifo(native().constData(), 0600), 0);
  expectRefused(QStringLiteral("a FIFO"));
  EXPECT_FALSE(qamarkers::present(path()));
}

TEST_F(QaMarkersTest, SparseGigabyteIsRefusedUnread) {
  const int fd = ::open(native().constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, qint64(1) << 30), 0);
  ::close(fd);
  expectRefused(QStringLiteral("larger than 4096 bytes"));
}

TEST_F(QaMarkersTest, SymlinkToADeviceIsRefused) {
  ASSERT_EQ(::symlink("/dev/zero", native().constData()), 0);
  expectRefused(QStringLiteral("a symbolic link"));
  EXPECT_FALSE(qamarkers::present(path()));
}

TEST_F(QaMarkersTest, AnotherUsersMarkerIsRefused) {
  dir.write("marker", "/photos/trip\n");
  if (::geteuid() != 0) {
    GTEST_SKIP() << "only root can give a file to another user (chown)";
  }
  ASSERT_EQ(::chown(native().constData(), 65534, 65534), 0);
  expectRefused(QStringLiteral("owned by uid 65534"));
}

TEST_F(QaMarkersTest, TextThatIsNoAbsoluteUtf8PathIsRefused) {
  dir.write("marker", "/photos/\xff\xfe");
  expectRefused(QStringLiteral("not UTF-8"));
  dir.write("marker", "photos/trip");
  expectRefused(QStringLiteral("not an absolute path"));
  dir.write("marker", std::string(64, '\0'));
  expectRefused(QStringLiteral("not an absolute path"));
  dir.write("marker", " \n");
  EXPECT_EQ(qamarkers::folder(path()), std::nullopt);
}

} // namespace
} // namespace lumora
