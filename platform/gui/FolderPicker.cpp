#include "platform/gui/FolderPicker.h"

#include "platform/gui/DialogIcons.h"

#include <QDir>
#include <QFileDialog>

namespace platform {

void pickFolder(QWidget *parent, const FolderPickerOptions &options,
                std::function<void(std::optional<QUrl>)> done) {
  auto *dialog = new QFileDialog(parent, options.title);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->setFileMode(QFileDialog::Directory);
  // ReadOnly hides "new folder"; ShowDirsOnly keeps files out of the list.
  dialog->setOptions(QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly);
  dialog->setLabelText(QFileDialog::Accept, options.prompt);
  dialogicons::follow(dialog);
  dialog->setDirectory(options.startDirectory.isLocalFile() ? options.startDirectory.toLocalFile()
                                                            : QDir::homePath());
  QObject::connect(dialog, &QDialog::finished, dialog, [dialog, done](int result) {
    const QList<QUrl> chosen = dialog->selectedUrls();
    if (result == QDialog::Accepted && !chosen.isEmpty()) {
      done(chosen.front());
    } else {
      done(std::nullopt);
    }
  });
  dialog->open();
}

} // namespace platform
