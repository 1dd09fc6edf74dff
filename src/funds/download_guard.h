#pragma once

// The daily limit of the full download: none once today's workbook exists (unless the day's last
// download left funds incomplete), and at most four attempts a calendar day, counted in the guard
// file as today's date text followed by the attempt number ("8月10日2", GBK, no line end).

#include <string>
#include <string_view>

#include "app/app.h"

namespace funds {

inline constexpr int kDownloadAttemptsPerDay = 4;

// The attempt a click would be, from the guard file's text and today's date text: 0 when the
// file speaks of another day (or of none), else the number after its last "日" plus one.
int NextDownloadAttempt(std::string_view record, std::string_view today);

// Runs the checks of one click of 导出所有数据钮. When the download may run, DownloadAttempt
// and the guard file hold this attempt and the result is true. Otherwise the user has been told
// why, and the guard file is as it was; after the last attempt of the day the button is
// disabled.
bool PassDownloadGuard(app::App& app);

// Start-up: a missing guard file is seeded with a record of no day ("10月30日0"); a failure is
// ignored.
void SeedGuardFile(app::App& app);

}  // namespace funds
