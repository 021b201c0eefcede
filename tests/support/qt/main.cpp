// The Qt views' tests run inside one QApplication (offscreen platform under CTest) and the
// program's start-up.
#include <QApplication>

#include <gtest/gtest.h>

#include "tests/support/ProgramEnvironment.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  // Listing the tests (CTest's discovery) also needs an application, display or not.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  ::testing::AddGlobalTestEnvironment(new orvane::testing::ProgramEnvironment);
  return RUN_ALL_TESTS();
}
