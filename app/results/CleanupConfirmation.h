#pragma once

#include <QString>

class QAbstractButton;
class QMessageBox;
class QWidget;

/// The confirmation every clean-up passes through: a window-modal message box whose main
/// text is the title, with the destructive button first and "取消" as the reject button. The
/// caller opens it with `open()` and connects to the destructive button's `clicked`. GUI
/// thread.
namespace lumora::cleanupconfirmation {

/// A new box, deleted when it closes; nothing is shown yet.
[[nodiscard]] QMessageBox *make(QWidget *parent, const QString &title, const QString &message,
                                const QString &confirmTitle);
/// Rewrites the texts of a box `make` built.
void setTexts(QMessageBox &box, const QString &title, const QString &message,
              const QString &confirmTitle);
/// The destructive button of a box `make` built.
[[nodiscard]] QAbstractButton *confirmButton(const QMessageBox &box);

} // namespace lumora::cleanupconfirmation
