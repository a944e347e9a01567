#include "app/detail/ConfirmDialog.h"

#include "app/store/texts/Localized.h"

#include <QMessageBox>
#include <QPushButton>

namespace lumora::ConfirmDialog {

QMessageBox *open(QWidget *parent, const QString &title, const QString &message,
                  const QString &destructiveText, std::function<void()> confirm) {
  auto *box = new QMessageBox(parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  box->setIcon(QMessageBox::Warning);
  box->setWindowTitle(title);
  box->setText(title);
  box->setInformativeText(message);
  QPushButton *destructive = box->addButton(destructiveText, QMessageBox::DestructiveRole);
  QPushButton *cancel = box->addButton(Localized::string("取消"), QMessageBox::RejectRole);
  box->setDefaultButton(cancel);
  box->setEscapeButton(cancel);
  QObject::connect(destructive, &QPushButton::clicked, box, [confirm] {
    if (confirm) {
      confirm();
    }
  });
  box->open();
  return box;
}

} // namespace lumora::ConfirmDialog
