#pragma once

#include "app/shell/root/ContentView.h"
#include "app/shell/window/MainWindow.h"
#include "tests/shell/root/RootTestSupport.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

namespace roottest {

/// The main window with its content over a real store and engine, offscreen.
/// The content is built on first use, so a test may prepare the store and the defaults
/// first (bootstrap runs when it is shown).
class RootViewTest : public ::testing::Test {
protected:
  ~RootViewTest() override { delete m_window; }

  lumora::ContentView &view(QSize size = QSize(1150, 780)) {
    if (!m_view) {
      m_window = new lumora::MainWindow;
      m_view = new lumora::ContentView(*rig.store, factory, m_window);
      m_window->setContent(m_view);
      m_window->resize(size);
      m_window->show();
      QApplication::setActiveWindow(m_window);
      spin(10);
    }
    return *m_view;
  }

  /// Resizes the window and lets the layouts follow.
  void resize(int width, int height) {
    m_window->resize(width, height);
    spin(10);
  }

  [[nodiscard]] QWidget *window() const { return m_window; }

  StoreRig rig;
  lumora::ScreenFactory factory;

private:
  lumora::MainWindow *m_window = nullptr;
  lumora::ContentView *m_view = nullptr;
};

} // namespace roottest
