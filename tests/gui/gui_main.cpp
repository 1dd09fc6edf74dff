// Entry of the widget tests: one QApplication for the whole program, on the offscreen
// platform unless the environment chose another. The offscreen platform gets three screens:
// a 1920 x 1080 desktop (the primary), a 1366 x 768 laptop and an 800 x 600 one. A page is
// shown by this build tree's page program unless the environment names another.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFont>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (!platform || std::string(platform) == "offscreen") {
    setenv("QT_QPA_PLATFORM", "offscreen:configfile=" FUNDVIEW_GUI_SCREENS, 1);
  }
  setenv("FUNDVIEW_PAGE_PROGRAM", FUNDVIEW_PAGE_PROGRAM, 0);
  QApplication application(argc, argv);
  QApplication::setFont(QFont("Noto Sans CJK SC", 9));
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
