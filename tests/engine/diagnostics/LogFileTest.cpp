#include "engine/diagnostics/LogFile.h"

#include "tests/support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

QByteArray readAll(const std::filesystem::path &path) {
  QFile file(QString::fromStdString(path.string()));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Distinct bytes everywhere, so a cut at the wrong offset shows.
QByteArray pattern(qsizetype size) {
  QByteArray bytes(size, '\0');
  for (qsizetype i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
  }
  return bytes;
}

QByteArray lineOf(qsizetype length) { return QByteArray(length - 1, 'x') + '\n'; }

QString pathString(const std::filesystem::path &path) {
  return QString::fromStdString(path.string());
}

} // namespace

TEST(LogFile, missingFileIsCreatedWithTheLine) {
  testsupport::TempDir dir;
  logfile::append(pathString(dir.file("diagnostics.log")), "[t] [app] one\n");
  EXPECT_EQ(readAll(dir.file("diagnostics.log")), QByteArray("[t] [app] one\n"));
}

TEST(LogFile, lineEndingExactlyAtTheLimitIsAppendedOneByteMoreTrims) {
  testsupport::TempDir dir;
  const QByteArray old = pattern(524200);
  const auto path = dir.write("diagnostics.log", old.toStdString());

  logfile::append(pathString(path), lineOf(88));
  EXPECT_EQ(readAll(path), old + lineOf(88));

  dir.write("diagnostics.log", old.toStdString());
  logfile::append(pathString(path), lineOf(100));
  const QByteArray trimmed = readAll(path);
  ASSERT_EQ(trimmed.size(), 262244);
  EXPECT_EQ(trimmed, old.right(logfile::kKeptBytes) + lineOf(100));
}

TEST(LogFile, oversizedFileWrittenElsewhereIsCutToItsTail) {
  testsupport::TempDir dir;
  const QByteArray old = pattern(3 * 1024 * 1024);
  const auto path = dir.write("diagnostics.log", old.toStdString());
  logfile::append(pathString(path), "new\n");
  EXPECT_EQ(readAll(path), old.right(logfile::kKeptBytes) + "new\n");
}

TEST(LogFile, shortFileWithALongLineKeepsAllOfIt) {
  // The whole file is shorter than the kept tail: nothing of it is lost.
  testsupport::TempDir dir;
  const QByteArray old = pattern(1000);
  const auto path = dir.write("diagnostics.log", old.toStdString());
  const QByteArray huge = lineOf(logfile::kMaxBytes);
  logfile::append(pathString(path), huge);
  EXPECT_EQ(readAll(path), old + huge);
}

TEST(LogFile, unwritableLocationDropsTheLineQuietly) {
  testsupport::TempDir dir;
  logfile::append(pathString(dir.file("missing-folder/diagnostics.log")), "line\n");
  EXPECT_FALSE(std::filesystem::exists(dir.file("missing-folder")));
}
