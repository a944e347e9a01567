#include "app/detail/ConfirmDialog.h"

#include "app/results/CleanupConfirmation.h"
#include "app/shell/theme/Theme.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace lumora::confirmdialog {

QMessageBox *open(QWidget *parent, const QString &title, const QString &message,
                  const QString &destructiveText, std::function<void()> confirm) {
  QMessageBox *box = cleanupconfirmation::make(parent, title, message, destructiveText);
  // A dialog is a window of its own: it takes the scheme of the screen it asks about.
  Theme::setScheme(box, Theme::schemeOf(parent));
  QObject::connect(cleanupconfirmation::confirmButton(*box), &QAbstractButton::clicked, box,
                   [confirm] {
                     if (confirm) {
                       confirm();
                     }
                   });
  box->open();
  return box;
}

} // namespace lumora::confirmdialog
