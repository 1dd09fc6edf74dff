#include "export/export_handler.h"

#include <chrono>
#include <memory>

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

namespace {

// Reads a number from 1 to `most` without leading zeros at the front of `text`; 0 if none.
int TakeNumber(std::string_view& text, int most) {
  int value = 0;
  size_t digits = 0;
  while (digits < text.size() && digits < 2 && text[digits] >= '0' && text[digits] <= '9') {
    value = value * 10 + (text[digits] - '0');
    ++digits;
  }
  if (digits == 0 || text[0] == '0' || value > most) return 0;
  text.remove_prefix(digits);
  return value;
}

bool TakeText(std::string_view& text, std::string_view expected) {
  if (!text.starts_with(expected)) return false;
  text.remove_prefix(expected.size());
  return true;
}

}  // namespace

bool IsWorkbookName(std::string_view name) {
  return TakeNumber(name, 12) > 0 && TakeText(name, "月") && TakeNumber(name, 31) > 0 &&
         TakeText(name, "日.xls") && name.empty();
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

void ExportCurrentDataInBackground(app::App& app, std::function<void()> ended) {
  const auto started = app.clock().Steady();
  auto snapshot = std::make_shared<const GridSnapshot>(app.main_window().高级表格1);
  // The export belongs to no load target: nothing overtakes it. It counts as work in flight
  // until its result is shown.
  app::LoadGenerations& loads = app.loads();
  loads.BeginWork();
  const bool started_work = app.workers().Start([&app, &loads, snapshot,
                                                 path = TodaysWorkbookPath(app).string(), started,
                                                 ended] {
    std::string failure = WriteWorkbook(*snapshot, path);
    app.ui().Post([&app, &loads, failure = std::move(failure), started, ended] {
      if (!failure.empty()) app.dialogs().MessageBox(failure);
      const auto elapsed =
          std::chrono::duration_cast<std::chrono::seconds>(app.clock().Steady() - started).count();
      app.main_window().标签6.SetCaption("导出时间" + base::IntToText(elapsed) + "秒");
      loads.EndWork();
      if (ended) ended();
    });
  });
  if (!started_work) {
    loads.EndWork();
    if (ended) ended();
  }
}

void InstallExport(app::App& app) {
  app.main_window().导出当前数据钮.on_click = [&app] { ExportCurrentDataClick(app); };
}

}  // namespace exporter
