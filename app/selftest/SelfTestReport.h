#pragma once

#include "app/selftest/MotionSegment.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

/// The self-tests' reports: their text, where the copies go, and how they are written.
namespace lumora::selftestreport {

/// "SELFTEST_UI_PASS\n", or one "SELFTEST_UI_FAIL: <failure>\n" line.
[[nodiscard]] QString interactionReport(const std::optional<QString> &failure);
/// One "SELFTEST_MOTION_FAIL: " line per failure; else the PASS line with the segments and
/// the notes on the lines after it.
[[nodiscard]] QString motionReport(const QStringList &failures,
                                   const std::vector<MotionSegment> &segments,
                                   const QStringList &notes);
/// "detail(animated=9 settle=412ms maxJump=12.3% blank=0)".
[[nodiscard]] QString segmentText(const MotionSegment &segment);

/// The developer output folder: $PINDLE_SELFTEST_OUT, else "Pindle/selftest" in the XDG
/// cache home.
[[nodiscard]] QString outputDirectory();

/// Prints the report to standard output and writes it, atomically and byte-exact, to
/// `fileName` in the output folder and to `logPath`. A file that cannot be written is named
/// on standard error; the exit code does not change.
void publish(const QString &report, const QString &fileName, const QString &logPath);

/// Writes `data` to `path` atomically; false when it could not be written. A symbolic
/// link, non-regular file or another user's file at `path` (the reports' /tmp paths) is
/// refused with a log line, never followed or written through.
bool writeAtomically(const QString &path, const QByteArray &data);

} // namespace lumora::selftestreport
