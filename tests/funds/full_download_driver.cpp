// A program over the test directories under ROOT that points its portal at URL, clicks
// 导出所有数据钮 once and ends: exit code 0 when the download ended with "加载完毕", 1 when it
// ended otherwise, 2 on bad arguments. Tests run it as a child process to kill it mid-download.

#include <cstdio>

#include "app/app_fixture.h"
#include "funds/full_download.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: full_download_driver ROOT URL\n");
    return 2;
  }
  app_test::PointPortalAt(argv[1], argv[2]);
  app_test::Program program(argv[1]);
  funds::InstallFullDownload(program.app);
  program.app.main_window().导出所有数据钮.Click();
  program.Settle();
  const std::string title = program.app.main_window().Title();
  return title == "加载完毕" ? 0 : 1;
}
