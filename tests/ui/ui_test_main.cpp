// Runs the widget tests under one QApplication. Without a platform chosen in the environment
// the offscreen one is used, so the tests need no display; set QT_QPA_PLATFORM=xcb under Xvfb to
// watch them on a real server.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
