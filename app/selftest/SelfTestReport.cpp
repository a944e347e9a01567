#include "app/selftest/SelfTestReport.h"

#include "engine/diagnostics/Diagnostics.h"
#include "platform/core/files/AtomicWrite.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
#include <optional>

namespace lumora::selftestreport {

QString interactionReport(const std::optional<QString> &failure) {
  if (!failure) {
    return QStringLiteral("SELFTEST_UI_PASS\n");
  }
  return QStringLiteral("SELFTEST_UI_FAIL: ") + *failure + QLatin1Char('\n');
}

QString segmentText(const MotionSegment &segment) {
  return segment.name + QStringLiteral("(animated=") + QString::number(segment.animated) +
         QStringLiteral(" settle=") + QString::number(segment.settleMs) +
         QStringLiteral("ms maxJump=") + QString::number(segment.maxJump, 'f', 1) +
         QStringLiteral("% blank=") + QString::number(segment.blank) + QLatin1Char(')');
}

QString motionReport(const QStringList &failures, const std::vector<MotionSegment> &segments,
                     const QStringList &notes) {
  if (!failures.isEmpty()) {
    QStringList lines;
    for (const QString &failure : failures) {
      lines << QStringLiteral("SELFTEST_MOTION_FAIL: ") + failure;
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
  }
  QStringList parts;
  for (const MotionSegment &segment : segments) {
    parts << segmentText(segment);
  }
  QString report = QStringLiteral("SELFTEST_MOTION_PASS ") + parts.join(QLatin1Char(' '));
  if (!notes.isEmpty()) {
    report += QLatin1Char('\n') + notes.join(QLatin1Char('\n'));
  }
  return report + QLatin1Char('\n');
}

QString outputDirectory() {
  const QString explicitFolder = qEnvironmentVariable("PINDLE_SELFTEST_OUT");
  if (!explicitFolder.isEmpty()) {
    return explicitFolder;
  }
  return QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) +
         QStringLiteral("/Pindle/selftest");
}

namespace {

/// Writes `data` to `path` atomically, logging a failure; the error when it was not written.
std::optional<QString> writeReport(const QString &path, const QByteArray &data) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  const auto written = platform::atomicwrite::replaceOwnFile(
      QFile::encodeName(path).toStdString(),
      std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
  if (written) {
    return std::nullopt;
  }
  Diagnostics::log(QStringLiteral("selftest"),
                   QStringLiteral("report not written: %1").arg(written.error()));
  return written.error();
}

/// Writes the report to `path`; when it cannot, says so on standard error, since a harness
/// reading that file would otherwise take whatever an earlier run (or someone else) left
/// there for this run's report.
void writeOrWarn(const QString &path, const QByteArray &data) {
  if (const std::optional<QString> error = writeReport(path, data)) {
    const QByteArray line = QStringLiteral("self-test report not written to %1 (%2); that file "
                                           "does not hold this run's report\n")
                                .arg(path, *error)
                                .toLocal8Bit();
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
  }
}

} // namespace

bool writeAtomically(const QString &path, const QByteArray &data) {
  return !writeReport(path, data).has_value();
}

void publish(const QString &report, const QString &fileName, const QString &logPath) {
  const QByteArray bytes = report.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
  std::fflush(stdout);
  writeOrWarn(outputDirectory() + QLatin1Char('/') + fileName, bytes);
  writeOrWarn(logPath, bytes);
}

} // namespace lumora::selftestreport
