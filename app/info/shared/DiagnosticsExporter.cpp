#include "app/info/shared/DiagnosticsExporter.h"

#include "app/store/texts/Localized.h"
#include "engine/diagnostics/Diagnostics.h"
#include "platform/gui/DialogIcons.h"

#include <QDir>
#include <QFileDialog>
#include <QSaveFile>

namespace lumora::DiagnosticsExporter {

namespace {

const QString kCategory = QStringLiteral("ui");

} // namespace

SaveRequest saveRequest() {
  return {localized::string("diagnostics.saveTitle", "导出诊断信息"),
          localized::string("diagnostics.saveButton", "导出"),
          localized::string("diagnostics.filename", "Pindle-诊断.txt")};
}

std::unique_ptr<QFileDialog> makeSaveDialog(QWidget *parent, const SaveRequest &request) {
  auto dialog = std::make_unique<QFileDialog>(parent, request.title);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  dialog->setFileMode(QFileDialog::AnyFile);
  dialog->setLabelText(QFileDialog::Accept, request.acceptLabel);
  // Our own name for the type: the MIME database's is English ("plain text document") and
  // lists patterns of other programs' files (*.asc, *,v).
  dialog->setNameFilter(localized::string("diagnostics.fileType", "纯文本文件 (*.txt)"));
  dialog->setDefaultSuffix(QStringLiteral("txt"));
  // Creating a folder from the dialog stays possible: the dialog is not read-only.
  dialog->setOption(QFileDialog::ReadOnly, false);
  // In the user's home, not the folder the application was started from.
  dialog->setDirectory(QDir::homePath());
  dialog->selectFile(request.proposedName);
  platform::dialogicons::follow(dialog.get());
  return dialog;
}

std::optional<QString> chooseWithDialog(QWidget *parent, const SaveRequest &request) {
  const std::unique_ptr<QFileDialog> dialog = makeSaveDialog(parent, request);
  if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
    return std::nullopt;
  }
  return dialog->selectedFiles().constFirst();
}

Expected<void, QFileDevice::FileError> writeText(const QString &path, const QString &text) {
  QSaveFile file(path);
  // Unbuffered: each write reports its own failure (a full disk), which a buffered write
  // would only meet at commit.
  if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    return Unexpected(file.error());
  }
  // QString::toUtf8 writes no byte-order mark.
  const QByteArray bytes = text.toUtf8();
  if (file.write(bytes) != bytes.size()) {
    const QFileDevice::FileError error = file.error();
    file.cancelWriting();
    return Unexpected(error == QFileDevice::NoError ? QFileDevice::WriteError : error);
  }
  if (!file.commit()) {
    return Unexpected(file.error() == QFileDevice::NoError ? QFileDevice::WriteError
                                                           : file.error());
  }
  return {};
}

std::optional<QString> exportToUserPickedFile(QWidget *parent, const Chooser &chooser) {
  const std::optional<QString> path = chooser(parent, saveRequest());
  if (!path || path->isEmpty()) {
    return std::nullopt;
  }
  const auto written = writeText(*path, Diagnostics::exportText());
  if (!written) {
    Diagnostics::log(kCategory,
                     QStringLiteral("diagnostics export failed domain=QFileDevice code=") +
                         QString::number(static_cast<int>(written.error())));
    return std::nullopt;
  }
  Diagnostics::log(kCategory, QStringLiteral("diagnostics exported"));
  return path;
}

} // namespace lumora::DiagnosticsExporter
