#include "app/info/shared/DiagnosticsExporter.h"
#include "app/store/texts/Localized.h"
#include "engine/diagnostics/Diagnostics.h"
#include "tests/support/TempDir.h"

#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace lumora;

namespace {

QByteArray readAll(const QString &path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

/// The log's lines under "ui" that mention the export.
QStringList exportLogLines() {
  QStringList found;
  const QString log = QString::fromUtf8(readAll(Diagnostics::logURL().toLocalFile()));
  for (const QString &line : log.split(QLatin1Char('\n'))) {
    if (line.contains(QStringLiteral("[ui] diagnostics export"))) {
      found << line.section(QStringLiteral("[ui] "), 1);
    }
  }
  return found;
}

/// The report without its time and memory lines, which may change between two reads.
std::string steadyPart(const QString &report) {
  static const QRegularExpression changing(QStringLiteral("^(时间|当前常驻): .*$"),
                                           QRegularExpression::MultilineOption);
  return QString(report).remove(changing).toStdString();
}

class DiagnosticsExporterTest : public ::testing::Test {
protected:
  DiagnosticsExporterTest() {
    localized::installTranslations();
    Diagnostics::clear();
  }

  /// A chooser that answers `path` and records what it was asked.
  DiagnosticsExporter::Chooser answering(std::optional<QString> path) {
    return [this, path](QWidget *, const DiagnosticsExporter::SaveRequest &request) {
      requests.push_back(request);
      return path;
    };
  }

  QString target(const std::string &name) const {
    return QString::fromStdString(temp.file(name).string());
  }

  testsupport::TempDir temp;
  std::vector<DiagnosticsExporter::SaveRequest> requests;
};

} // namespace

TEST_F(DiagnosticsExporterTest, exportWritesTheReportAsUtf8WithoutBomAndLogsOnce) {
  Diagnostics::log(QStringLiteral("scan"), QStringLiteral("一行中文日志"));
  const QString expected = Diagnostics::exportText();
  const QString path = target("诊断 导出.txt");

  EXPECT_EQ(DiagnosticsExporter::exportToUserPickedFile(nullptr, answering(path)), path);

  const QByteArray bytes = readAll(path);
  ASSERT_FALSE(bytes.isEmpty());
  EXPECT_FALSE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(steadyPart(QString::fromUtf8(bytes)), steadyPart(expected));
  EXPECT_TRUE(bytes.contains(QStringLiteral("一行中文日志").toUtf8()));
  EXPECT_EQ(exportLogLines(), QStringList{QStringLiteral("diagnostics exported")});
  ASSERT_EQ(requests.size(), 1U);
  EXPECT_EQ(requests[0].proposedName, QStringLiteral("Pindle-诊断.txt"));
}

TEST_F(DiagnosticsExporterTest, aFailureLeavesNoFileAndLogsItsCodeWhileACancelLogsNothing) {
  EXPECT_EQ(DiagnosticsExporter::exportToUserPickedFile(nullptr, answering(std::nullopt)),
            std::nullopt);
  EXPECT_TRUE(exportLogLines().isEmpty());

  // A folder that does not exist fails for every user, root included.
  const QString path = target("missing/Pindle-诊断.txt");
  const auto direct = DiagnosticsExporter::writeText(path, QStringLiteral("x"));
  ASSERT_FALSE(direct.hasValue());

  EXPECT_EQ(DiagnosticsExporter::exportToUserPickedFile(nullptr, answering(path)), std::nullopt);

  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(std::filesystem::is_empty(temp.path()));
  EXPECT_EQ(exportLogLines(),
            QStringList{QStringLiteral("diagnostics export failed domain=QFileDevice code=%1")
                            .arg(static_cast<int>(direct.error()))});
}

TEST_F(DiagnosticsExporterTest, theRealSaveDialogProposesTheNameWithTitleAndButton) {
  const auto dialog =
      DiagnosticsExporter::makeSaveDialog(nullptr, DiagnosticsExporter::saveRequest());
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("导出诊断信息"));
  EXPECT_EQ(dialog->labelText(QFileDialog::Accept), QStringLiteral("导出"));
  EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
  EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("txt"));
  EXPECT_EQ(dialog->nameFilters(), QStringList{QStringLiteral("纯文本文件 (*.txt)")});
  EXPECT_FALSE(dialog->testOption(QFileDialog::ReadOnly));
  ASSERT_FALSE(dialog->selectedFiles().isEmpty());
  EXPECT_TRUE(dialog->selectedFiles().constFirst().endsWith(QStringLiteral("/Pindle-诊断.txt")));
}
