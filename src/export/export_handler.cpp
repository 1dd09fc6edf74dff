#include "export/export_handler.h"

#include <chrono>

#include "app/app.h"
#include "base/date_time.h"
#include "base/text.h"
#include "export/grid_export.h"

namespace exporter {

std::string TodaysDateText(app::App& app) {
  return base::TextBetween(base::DateTimeText(app.clock().Now()), "年", "日") + "日";
}

std::filesystem::path TodaysWorkbookPath(app::App& app) {
  return app.paths().workbook_dir / (TodaysDateText(app) + ".xls");
}

void ExportCurrentDataClick(app::App& app) {
  // The file is named by the wall clock; the time taken comes from the steady clock, so a
  // clock set during the export neither adds an hour nor goes negative.
  const auto started = app.clock().Steady();
  const std::filesystem::path path = TodaysWorkbookPath(app);
  ExportGrid(nullptr, &app.main_window().高级表格1, path.string(), app.dialogs());
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::seconds>(app.clock().Steady() - started).count();
  app.main_window().标签6.SetCaption("导出时间" + base::IntToText(elapsed) + "秒");
}

void InstallExport(app::App& app) {
  app.main_window().导出当前数据钮.on_click = [&app] { ExportCurrentDataClick(app); };
}

}  // namespace exporter
