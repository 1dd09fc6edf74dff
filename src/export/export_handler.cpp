#include "export/export_handler.h"

#include <algorithm>
#include <chrono>

#include "app/app.h"
#include "base/date_time.h"
#include "base/text.h"
#include "export/grid_export.h"

namespace exporter {

namespace {

long long Seconds(const base::DateTime& t) {
  const std::chrono::sys_days day = std::chrono::year{t.year} / t.month / t.day;
  return day.time_since_epoch().count() * 86400LL + t.hour * 3600 + t.minute * 60 + t.second;
}

}  // namespace

void ExportCurrentDataClick(app::App& app) {
  const base::DateTime started = app.clock().Now();
  const std::string day = base::TextBetween(base::DateTimeText(started), "年", "日");
  const std::filesystem::path path = app.paths().run_dir / (day + "日.xls");
  ExportGrid(nullptr, &app.main_window().高级表格1, path.string(), app.dialogs());
  // A clock set back during the export must not show a negative time.
  const long long elapsed = std::max(0LL, Seconds(app.clock().Now()) - Seconds(started));
  app.main_window().标签6.SetCaption("导出时间" + base::IntToText(elapsed) + "秒");
}

void InstallExport(app::App& app) {
  app.main_window().导出当前数据钮.on_click = [&app] { ExportCurrentDataClick(app); };
}

}  // namespace exporter
