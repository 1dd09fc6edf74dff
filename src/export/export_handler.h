#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace app {
class App;
}

namespace exporter {

// Today's date as the workbook is named: month + "月" + day + "日" ("8月10日").
std::string TodaysDateText(app::App& app);
// The workbook today's export writes and the full download looks for: the workbook folder /
// (TodaysDateText + ".xls").
std::filesystem::path TodaysWorkbookPath(app::App& app);
// True for a file name of any day's workbook, as TodaysWorkbookPath names them ("12月9日.xls").
bool IsWorkbookName(std::string_view name);

// Exports the fund grid 高级表格1 to the workbook folder as month + "月" + day + "日.xls" (one
// file a day: a second export that day replaces it) and shows the time it took in 标签6 as
// "导出时间" + seconds + "秒", whatever the export's result. The click handler of
// 导出当前数据钮 and the last step of the full download.
void ExportCurrentDataClick(app::App& app);

// The same export at the end of the full download, which must not hold up the user-interface
// thread: the grid's texts are copied there, the workbook is written on a worker, and the
// message of a failure and the time taken are shown on the UI thread once it is written (they
// are lost only when the program ends meanwhile). `ended` runs on the UI thread after them.
void ExportCurrentDataInBackground(app::App& app, std::function<void()> ended = {});

// Attaches 导出当前数据钮 to the export.
void InstallExport(app::App& app);

}  // namespace exporter
