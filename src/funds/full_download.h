#pragma once

// The full download: every page of the portal's complete fund list into the fund grid, then
// the profile columns of every fund from at most five workers at a time, then today's
// workbook. The fund grid is busy meanwhile, so the loaders that would refill it refuse.

#include <functional>

#include "app/app.h"
#include "funds/fund_profile.h"

namespace funds {

inline constexpr int kMaxDetailWorkers = 5;

// Click handler of 导出所有数据钮: the daily guard, the four list and tool buttons disabled for
// good, the download and, when it completed, the export. A click while a download runs, or
// while an earlier click's checks run, is refused with the busy message and counts no attempt.
void LoadAllFunds(app::App& app);

// The download without the guard and the export: the page phase (title "正在加载第" + page +
// "页"), the detail phase (the title adds how many funds are done of how many), and at the end
// the title "加载完毕", or "加载完毕（" + n + "支基金未能完整加载）" when n funds are missing
// or lack a page after every try, and 标签5 "加载时间" + seconds + "秒". Every request runs on
// a worker, at most five funds at a time; the UI thread serves the user throughout. A request
// that fails (transfer, error status, an answer without its marks) is asked again up to twice,
// 1 s and then 3 s later, on the timer; a retry of a fund's pages takes a worker slot like any
// other. A download resumes: each fund whose four pages came in is kept in the cache under the
// calendar day, so that a later attempt that day (after a kill, a crash or a failed attempt)
// fills those rows from the cache, counts them as done and asks the portal only for the others.
// Other days' funds are dropped at the start, and how the download ended is noted for the daily
// guard. `ended` runs on the UI thread at the end: false when no fund could be listed (title
// "加载失败，请重试"), when a load took the grid over, or when the program is ending; nothing is
// written after that.
void DownloadAllFunds(app::App& app, std::function<void(bool completed)> ended);

// Attaches 导出所有数据钮.
void InstallFullDownload(app::App& app);

}  // namespace funds
