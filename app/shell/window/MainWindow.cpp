#include "app/shell/window/MainWindow.h"

#include "app/shell/components/AppMark.h"
#include "app/store/texts/Localized.h"

#include <QEvent>

namespace lumora {

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent) {
  setWindowTitle(Localized::string("Pindle"));
  setWindowIcon(AppMark::applicationIcon());
  setMinimumSize(kMinimumSize);
  resize(kDefaultSize);
}

void MainWindow::setContent(QWidget *content) {
  content->setMinimumSize(kMinimumSize);
  setCentralWidget(content);
  if (!m_painted) {
    content->installEventFilter(this);
  }
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
  if (!m_painted && watched == centralWidget() && event->type() == QEvent::Paint) {
    m_painted = true;
    watched->removeEventFilter(this);
    // After this paint has been delivered.
    QMetaObject::invokeMethod(this, &MainWindow::firstFramePainted, Qt::QueuedConnection);
  }
  return QMainWindow::eventFilter(watched, event);
}

} // namespace lumora
