#include "export/export_handler.h"

#include <algorithm>
#include <chrono>

#include "app/app.h"
#include "export/grid_export.h"
#include "net/text.h"

namespace exporter {

namespace {

long long Seconds(const net::DateTime& t) {
  const std::chrono::sys_days day = std::chrono::year{t.year} / t.month / t.day;
  return day.time_since_epoch().count() * 86400LL + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

void ExportCurrentDataClick(app::App& app) {
  const net::DateTime started = app.clock().Now();
  const std::string day = net::TextBetween(net::DateTimeText(started), "年", "日");
  const std::filesystem::path path = app.paths().run_dir / (day + "日.xls");
  ExportGrid(nullptr, &app.main_window().高级表格1, path.string(), app.dialogs());
  // A clock set back during the export must not show a negative time.
  const long long elapsed = std::max(0LL, Seconds(app.clock().Now()) - Seconds(started));
  app.main_window().标签6.SetCaption("导出时间" + net::IntToText(elapsed) + "秒");
}

}  // namespace exporter
