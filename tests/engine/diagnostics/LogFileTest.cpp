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

// Varied bytes, so that a cut at the wrong offset shows.
QByteArray pattern(qsizetype size) {
  QByteArray bytes(size, '\0');
  for (qsizetype i = 0; i < size; ++i) {
    bytes[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
  }
  return bytes;
}

QByteArray lineOf(qsizetype length) { return QByteArray(length - 1, 'x') + '\n'; }

} // namespace

TEST(LogFile, lineEndingExactlyAtTheLimitIsAppendedOneByteMoreTrims) {
  testsupport::TempDir dir;
  const QByteArray old = pattern(524200);
  const auto path = dir.write("diagnostics.log", old.toStdString());
  const QString name = QString::fromStdString(path.string());

  EXPECT_EQ(logfile::append(name, lineOf(88)), QString());
  EXPECT_EQ(readAll(path), old + lineOf(88));

  dir.write("diagnostics.log", old.toStdString());
  EXPECT_EQ(logfile::append(name, lineOf(100)), QString());
  const QByteArray trimmed = readAll(path);
  ASSERT_EQ(trimmed.size(), 262244);
  EXPECT_EQ(trimmed, old.right(logfile::kKeptBytes) + lineOf(100));
}

TEST(LogFile, missingFileIsCreatedAndOversizedOneCutToItsTail) {
  testsupport::TempDir dir;
  const QString name = QString::fromStdString(dir.file("diagnostics.log").string());
  EXPECT_EQ(logfile::append(name, "one\n"), QString());
  EXPECT_EQ(readAll(dir.file("diagnostics.log")), QByteArray("one\n"));

  const QByteArray old = pattern(3 * 1024 * 1024);
  dir.write("diagnostics.log", old.toStdString());
  EXPECT_EQ(logfile::append(name, "new\n"), QString());
  EXPECT_EQ(readAll(dir.file("diagnostics.log")), old.right(logfile::kKeptBytes) + "new\n");
}
