// Test main for suites that need Qt Gui (offscreen): isolates the environment first.
#include "tests/support/TestEnvironment.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
  testsupport::isolateEnvironment();
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
