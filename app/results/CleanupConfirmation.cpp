#include "app/results/CleanupConfirmation.h"

#include "app/shell/components/WindowCentring.h"
#include "app/shell/theme/Theme.h"
#include "app/shell/theme/ThemedButton.h"
#include "app/store/texts/Localized.h"

#include <QGridLayout>
#include <QMessageBox>

namespace lumora::cleanupconfirmation {
namespace {

constexpr char kConfirmName[] = "cleanupConfirm";
constexpr int kMinimumWidth = 380;

} // namespace

QMessageBox *make(QWidget *parent, const QString &title, const QString &message,
                  const QString &confirmTitle) {
  auto *box = new QMessageBox(parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  box->setIcon(QMessageBox::NoIcon);
  WindowCentring::attach(box);
  // A dialog is a window of its own and inherits no palette: take the scheme of its place.
  if (parent != nullptr) {
    box->setPalette(parent->palette());
  }
  auto *confirm =
      new ThemedButton(confirmTitle, ThemedButton::Style::prominent, ThemedButton::Size::regular);
  confirm->setObjectName(QString::fromLatin1(kConfirmName));
  confirm->setTint(Theme::of(parent).red);
  auto *cancel = new ThemedButton(localized::string("取消"), ThemedButton::Style::bordered,
                                  ThemedButton::Size::regular);
  box->addButton(confirm, QMessageBox::DestructiveRole);
  box->addButton(cancel, QMessageBox::RejectRole);
  box->setEscapeButton(cancel);
  box->setDefaultButton(cancel);
  // The box builds its layout anew when it first gets a message: give it one now, so the
  // spacer below stays.
  setTexts(*box, title, message.isEmpty() ? QStringLiteral(" ") : message, confirmTitle);
  // Wide enough that a file name and the line after it do not wrap word by word. (A style
  // sheet would do it too, but it would override the palette.)
  if (auto *grid = qobject_cast<QGridLayout *>(box->layout())) {
    grid->addItem(new QSpacerItem(kMinimumWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
  }
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

} // namespace lumora::cleanupconfirmation
