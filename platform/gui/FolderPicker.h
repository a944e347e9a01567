#pragma once

#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

/// What the folder picker shows.
struct FolderPickerOptions {
  QString title;
  /// The label of the confirming button.
  QString prompt;
  /// Where the dialog starts; the user's home when empty.
  QUrl startDirectory;
};

/// Opens a window-modal dialog for choosing one existing folder (no files, no new folders,
/// symbolic links resolved) and returns at once; `done` gets the chosen folder, or none on
/// cancel, on the GUI thread. No nested event loop runs. A folder dialog has no line for an
/// explanation, so the store's message is not shown.
void pickFolder(QWidget *parent, const FolderPickerOptions &options,
                std::function<void(std::optional<QUrl>)> done);

} // namespace platform
