#include "export/export_handler.h"

#include <algorithm>
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

namespace {

// Rows of the fund grid copied in one turn of the event loop: about a millisecond's work.
constexpr int kSnapshotRowsPerTurn = 2000;

struct BackgroundExport {
  app::App& app;
  std::chrono::steady_clock::time_point started;
  std::string path;
  std::function<void()> ended;
  std::shared_ptr<GridSnapshot> snapshot;
  bool held = false;  // the fund grid was not busy before: the export marked it so
};

// The workbook written on a worker; the failure and the time taken shown on the UI thread.
void WriteInBackground(const std::shared_ptr<BackgroundExport>& e) {
  app::App& app = e->app;
  if (e->held) app.loads().SetBusy(app::LoadTarget::kFundGrid, false);
  const bool started = app.workers().Start([e] {
    std::string failure = WriteWorkbook(*e->snapshot, e->path);
    e->app.ui().Post([e, failure = std::move(failure)] {
      app::App& a = e->app;
      if (!failure.empty()) a.dialogs().MessageBox(failure);
      const auto elapsed =
          std::chrono::duration_cast<std::chrono::seconds>(a.clock().Steady() - e->started).count();
      a.main_window().标签6.SetCaption("导出时间" + base::IntToText(elapsed) + "秒");
      a.loads().EndWork();
      if (e->ended) e->ended();
    });
  });
  if (!started) {
    app.loads().EndWork();
    if (e->ended) e->ended();
  }
}

// Copies a stretch of rows, then the next in a later turn, then writes.
void CopyNextRows(const std::shared_ptr<BackgroundExport>& e, int from) {
  const ui::Grid& grid = e->app.main_window().高级表格1;
  const int to = std::min(e->snapshot->RowCount(), from + kSnapshotRowsPerTurn);
  e->snapshot->CopyRows(grid, from, to);
  if (to < e->snapshot->RowCount()) {
    e->app.ui().Post([e, to] { CopyNextRows(e, to); });
    return;
  }
  WriteInBackground(e);
}

}  // namespace

void ExportCurrentDataInBackground(app::App& app, std::function<void()> ended) {
  const ui::Grid& grid = app.main_window().高级表格1;
  auto e = std::make_shared<BackgroundExport>(BackgroundExport{
      app, app.clock().Steady(), TodaysWorkbookPath(app).string(), std::move(ended),
      std::make_shared<GridSnapshot>(grid.RowCount(), grid.ColumnCount()), false});
  // While its rows are copied the grid is held as the download held it: a load that would
  // refill it is refused, so the workbook shows one list. The export counts as work in flight
  // until its result is shown; it belongs to no load target, and nothing overtakes it.
  app::LoadGenerations& loads = app.loads();
  e->held = !loads.Busy(app::LoadTarget::kFundGrid);
  if (e->held) loads.SetBusy(app::LoadTarget::kFundGrid, true);
  loads.BeginWork();
  CopyNextRows(e, 0);
}

void InstallExport(app::App& app) {
  app.main_window().导出当前数据钮.on_click = [&app] { ExportCurrentDataClick(app); };
}

}  // namespace exporter
