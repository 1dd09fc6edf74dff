#pragma once

// The daily limit of the full download: none once today's workbook exists (unless the day's last
// download left funds incomplete), and at most four attempts a calendar day, counted in the guard
// file as today's date text followed by the attempt number ("8月10日2", GBK, no line end).

#include <functional>
#include <string>
#include <string_view>

#include "app/app.h"

namespace funds {

inline constexpr int kDownloadAttemptsPerDay = 4;

// The attempt a click would be, from the guard file's text and today's date text: 0 when the
// file speaks of another day (or of none), else the number after its last "日" plus one.
int NextDownloadAttempt(std::string_view record, std::string_view today);

// Runs the checks of one click of 导出所有数据钮 as a load: today's workbook, the cache's note of
// the day's last download and the guard file are read (and the attempt written) on a worker,
// then `then` runs on the UI thread. With true the download may run, and the guard file holds
// this attempt. With false the user has been told why, and the guard file is as it was (after
// the last attempt of the day the button is disabled); or the program is ending, and nothing was
// said. The load claims the fund grid as it stands, without overtaking a load that fills it.
void PassDownloadGuard(app::App& app, std::function<void(bool passed)> then);

// Start-up: a missing guard file is seeded with a record of no day ("10月30日0"); a failure is
// ignored.
void SeedGuardFile(app::App& app);

}  // namespace funds
