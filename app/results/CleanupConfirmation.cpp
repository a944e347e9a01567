#include "app/results/CleanupConfirmation.h"

#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/texts/Localized.h"

#include <QMessageBox>

namespace lumora::CleanupConfirmation {
namespace {

constexpr char kConfirmName[] = "cleanupConfirm";

} // namespace

QMessageBox *make(QWidget *parent, const QString &title, const QString &message,
                  const QString &confirmTitle) {
  auto *box = new QMessageBox(parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  box->setIcon(QMessageBox::NoIcon);
  auto *confirm = new ThemedButton(confirmTitle, ThemedButton::Style::prominent,
                                   ThemedButton::Size::regular);
  confirm->setObjectName(QString::fromLatin1(kConfirmName));
  confirm->setTint(Theme::of(parent).red);
  auto *cancel = new ThemedButton(Localized::string("取消"), ThemedButton::Style::bordered,
                                  ThemedButton::Size::regular);
  box->addButton(confirm, QMessageBox::DestructiveRole);
  box->addButton(cancel, QMessageBox::RejectRole);
  box->setEscapeButton(cancel);
  box->setDefaultButton(cancel);
  setTexts(*box, title, message, confirmTitle);
  return box;
}

void setTexts(QMessageBox &box, const QString &title, const QString &message,
              const QString &confirmTitle) {
  box.setWindowTitle(title);
  box.setText(title);
  box.setInformativeText(message);
  if (QAbstractButton *confirm = confirmButton(box)) {
    confirm->setText(confirmTitle);
  }
}

QAbstractButton *confirmButton(const QMessageBox &box) {
  return box.findChild<QAbstractButton *>(QString::fromLatin1(kConfirmName));
}

} // namespace lumora::CleanupConfirmation
