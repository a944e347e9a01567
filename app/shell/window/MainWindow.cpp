#include "app/shell/window/MainWindow.h"

#include "app/shell/components/AppMark.h"
#include "app/store/texts/Localized.h"

#include <QApplication>
#include <QEvent>
#include <QShowEvent>

namespace lumora {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {
  setWindowTitle(localized::string("Pindle"));
  setWindowIcon(AppMark::applicationIcon());
  // The window's own minimum is left to its layout: the content's minimum plus the menu bar.
  // Its default size is set when it is first shown, unless it was sized before.
}

void MainWindow::setContent(QWidget *content) {
  content->setMinimumSize(kMinimumSize);
  setCentralWidget(content);
}

QSize MainWindow::sizeForContent(QSize content) const {
  const QWidget *menu = menuWidget();
  return content + QSize(0, menu != nullptr && !menu->isHidden() ? menu->sizeHint().height() : 0);
}

void MainWindow::showEvent(QShowEvent *event) {
  // Sent before the window is mapped, when the menus are in place: the default size is the
  // content's, so the menu bar's height comes on top of it.
  if (!testAttribute(Qt::WA_Resized) && !event->spontaneous()) {
    resize(sizeForContent(kDefaultSize));
  }
  // Any widget of the window may paint first (opaque children hide their parents from the
  // paint), so the first paint is caught application-wide until it comes.
  if (!m_painted) {
    qApp->installEventFilter(this);
  }
  QMainWindow::showEvent(event);
}

void MainWindow::raiseToFront() {
  if (isMinimized()) {
    showNormal();
  }
  show();
  raise();
  activateWindow();
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event) {
  if (!m_painted && event->type() == QEvent::Paint && watched->isWidgetType() &&
      static_cast<QWidget *>(watched)->window() == this) {
    m_painted = true;
    qApp->removeEventFilter(this);
    // After this paint has been delivered.
    QMetaObject::invokeMethod(this, &MainWindow::firstFramePainted, Qt::QueuedConnection);
  }
  return QMainWindow::eventFilter(watched, event);
}

} // namespace lumora
