#include "export/export_handler.h"

#include <algorithm>

#include "app/app.h"
#include "export/grid_export.h"
#include "net/text.h"

namespace exporter {

namespace {

// Days since 1970-01-01 of a proleptic Gregorian date.
long long DaysFromCivil(int year, int month, int day) {
  year -= month <= 2;
  const long long era = (year >= 0 ? year : year - 399) / 400;
  const long long yoe = year - era * 400;
  const long long doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

long long Seconds(const net::DateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
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
