#pragma once

#include "app/results/GridKeyView.h"
#include "app/results/ResultsGrid.h"
#include "app/results/ResultsView.h"
#include "tests/results/support/GridFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <vector>

namespace gridtest {

/// A window holding one results view that records the keys the view lets through
/// (modifier keys pressed on their own aside).
class KeyRecordingWindow : public QWidget {
public:
  std::vector<int> passedKeys;

protected:
  void keyPressEvent(QKeyEvent *event) override {
    const int key = event->key();
    if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt) {
      passedKeys.push_back(key);
    }
    event->accept();
  }
};

/// A results view over the fixture's store in an active window of the given size.
class GridViewFixture : public GridFixture {
protected:
  lumora::ResultsView &showView(int width = 1150, int height = 780) {
    m_window = std::make_unique<KeyRecordingWindow>();
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new lumora::ResultsView(store(), nullptr, m_window.get());
    layout->addWidget(m_view);
    m_window->resize(width, height);
    m_window->show();
    QApplication::setActiveWindow(m_window.get());
    waitFor([this] { return m_window->isActiveWindow(); }, 2000);
    spin(100); // past the scroll reset that the first groups start

    return *m_view;
  }
  KeyRecordingWindow &window() { return *m_window; }
  lumora::ResultsView &view() { return *m_view; }
  lumora::ResultsGrid &grid() { return m_view->grid(); }
  QScrollBar &scrollBar() { return *grid().verticalScrollBar(); }
  /// Waits until the grid's scroll position stops moving (animations settled).
  bool waitForScrollAt(int position, int timeoutMs = 60000) {
    return waitFor([&] { return scrollBar().value() == position; }, timeoutMs);
  }

private:
  std::unique_ptr<KeyRecordingWindow> m_window;
  lumora::ResultsView *m_view = nullptr;
};

} // namespace gridtest
