#include "funds/download_guard.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "app/load.h"
#include "base/encoding.h"
#include "base/files.h"
#include "base/text.h"
#include "export/export_handler.h"
#include "funds/download_resume.h"

namespace funds {

namespace {

// The record is a dozen bytes; a larger file is not one, and reading it whole could take long.
constexpr std::streamsize kRecordReadLimit = 4096;

// The guard file's text; empty when it is missing or cannot be read.
std::string ReadRecord(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return {};
  std::string bytes(kRecordReadLimit, '\0');
  in.read(bytes.data(), kRecordReadLimit);
  bytes.resize(static_cast<size_t>(in.gcount()));
  return base::GbkToUtf8(bytes);
}

// A failure is not reported: the download runs all the same, as the limit only keeps the
// portal from being asked too often.
void WriteRecord(const std::filesystem::path& file, const std::string& text) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  base::ReplaceFile(file, base::Utf8ToGbk(text), base::FileMode::KeepExisting(0644));
}

}  // namespace

int NextDownloadAttempt(std::string_view record, std::string_view today) {
  const long long first_day = base::Find(record, "日");
  const std::string saved = std::string(record.substr(0, first_day > 0 ? first_day - 1 : 0)) + "日";
  if (saved != today) return 0;
  // A tampered number must not overflow the attempt.
  const double number = std::clamp(base::ToNumber(base::TextRightOfLast(record, "日")), -1e6, 1e6);
  return static_cast<int>(number) + 1;
}

namespace {

enum class GuardVerdict { kPassed, kDownloaded, kNoAttemptsLeft };

// What the checks read, taken on the UI thread when the button is clicked.
struct GuardInputs {
  std::filesystem::path workbook;
  std::string day;    // the calendar day of the cache's download notes
  std::string today;  // the guard file's date text
  std::filesystem::path file;
};

// Worker: the checks, and the attempt written when they pass.
GuardVerdict CheckGuard(store::Cache& cache, const GuardInputs& in) {
  // A workbook whose download left funds incomplete may be redone: the next attempt asks only
  // for those funds.
  if (base::FileExists(in.workbook.string()) && !LastDownloadIncomplete(cache, in.day)) {
    return GuardVerdict::kDownloaded;
  }
  const int attempt = NextDownloadAttempt(ReadRecord(in.file), in.today);
  if (attempt >= kDownloadAttemptsPerDay) return GuardVerdict::kNoAttemptsLeft;
  WriteRecord(in.file, in.today + base::IntToText(attempt));
  return GuardVerdict::kPassed;
}

}  // namespace

void PassDownloadGuard(app::App& app, std::function<void(bool passed)> then) {
  GuardInputs in{exporter::TodaysWorkbookPath(app), CalendarDay(app.clock().Now()),
                 exporter::TodaysDateText(app), app.paths().guard_file};
  auto done = std::make_shared<std::function<void(bool)>>(std::move(then));
  app::StartLoad(
      app, app.loads().Current(app::LoadTarget::kFundGrid),
      [&cache = app.cache(), in = std::move(in)] { return CheckGuard(cache, in); },
      [&app, done](GuardVerdict verdict) {
        switch (verdict) {
          case GuardVerdict::kDownloaded:
            app.dialogs().MessageBox("你已经下载过数据了，请勿重复下载");
            break;
          case GuardVerdict::kNoAttemptsLeft:
            app.main_window().导出所有数据钮.SetEnabled(false);
            app.dialogs().MessageBox("不要在下了亲");
            break;
          case GuardVerdict::kPassed:
            break;
        }
        (*done)(verdict == GuardVerdict::kPassed);
      },
      [done] { (*done)(false); });
}

void SeedGuardFile(app::App& app) {
  const std::filesystem::path& guard = app.paths().guard_file;
  std::error_code error;
  if (std::filesystem::exists(guard, error) || error) return;
  std::filesystem::create_directories(guard.parent_path(), error);
  base::ReplaceFile(guard, base::Utf8ToGbk("10月30日0"), base::FileMode::KeepExisting(0644));
}

}  // namespace funds
