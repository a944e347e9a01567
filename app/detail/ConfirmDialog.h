#pragma once

#include <QString>
#include <functional>

class QMessageBox;
class QWidget;

/// The window-modal confirmations of the detail and the preview, built like every clean-up's
/// confirmation: the title as the main text, the message under it, one destructive button
/// and "取消".
namespace lumora::confirmdialog {

/// Opens the dialog over `parent`'s window without blocking (`QMessageBox::open`); `confirm`
/// runs when the destructive button is chosen. The box deletes itself when closed.
QMessageBox *open(QWidget *parent, const QString &title, const QString &message,
                  const QString &destructiveText, std::function<void()> confirm);

} // namespace lumora::confirmdialog
