#pragma once

#include "engine/util/Expected.h"

#include <QFileDevice>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
class QWidget;

/// Saves the diagnostics report to a file the user picks. GUI thread only: the save dialog
/// runs modally, so the caller's action returns once the dialog is closed and the file is
/// written.
namespace lumora::DiagnosticsExporter {

/// What the save dialog shows.
struct SaveRequest {
  QString title;
  QString acceptLabel;
  QString proposedName;
};

/// Shows a save dialog for `request` and gives the chosen path, or none when the user
/// cancelled. The application uses `chooseWithDialog`; tests hand in their own.
using Chooser = std::function<std::optional<QString>(QWidget *parent, const SaveRequest &request)>;

/// The export's dialog texts from the string table.
[[nodiscard]] SaveRequest saveRequest();

/// A save dialog set up for `request`: plain-text files, the suffix "txt" added when the
/// name has none, new folders allowed. Not shown yet.
[[nodiscard]] std::unique_ptr<QFileDialog> makeSaveDialog(QWidget *parent,
                                                          const SaveRequest &request);

/// Runs `makeSaveDialog` modally.
[[nodiscard]] std::optional<QString> chooseWithDialog(QWidget *parent, const SaveRequest &request);

/// Writes `text` to `path` as UTF-8 without a byte-order mark, through a temporary file
/// that replaces the target only when everything was written: a failure leaves no file,
/// or the old one untouched.
[[nodiscard]] Expected<void, QFileDevice::FileError> writeText(const QString &path,
                                                               const QString &text);

/// Asks `chooser` for a file and writes the diagnostics report there. Logs under "ui"
/// "diagnostics exported", or the failure with its `QFileDevice::FileError` code; a cancel
/// writes and logs nothing. Gives the written path, or none after a cancel or a failure.
[[nodiscard]] std::optional<QString>
exportToUserPickedFile(QWidget *parent, const Chooser &chooser = chooseWithDialog);

} // namespace lumora::DiagnosticsExporter
