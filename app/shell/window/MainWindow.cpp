#include "app/shell/window/MainWindow.h"

#include "app/shell/components/AppMark.h"
#include "app/store/texts/Localized.h"

#include <QApplication>
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
}

void MainWindow::showEvent(QShowEvent *event) {
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
