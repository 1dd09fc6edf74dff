#include "funds/full_download.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "export/export_handler.h"
#include "funds/download_guard.h"
#include "funds/download_resume.h"
#include "funds/fund_profile.h"
#include "funds/fund_table.h"
#include "funds/paged_list.h"
#include "portal/fund_list.h"

namespace funds {

namespace {

constexpr int kSlotWaitMs = 20;
// Rows filled from the cache between two turns of the event loop.
constexpr int kKeptRowsPerTurn = 2000;
// A request that failed is asked again up to twice, after these waits.
constexpr int kRequestTries = 3;
constexpr std::chrono::milliseconds kRetryWaits[kRequestTries - 1] = {
    std::chrono::milliseconds(1000), std::chrono::milliseconds(3000)};

// Holds the fund grid busy for as long as it lives.
class BusyGrid {
 public:
  explicit BusyGrid(app::LoadGenerations& loads) : loads_(loads) {
    loads_.SetBusy(app::LoadTarget::kFundGrid, true);
  }
  ~BusyGrid() { loads_.SetBusy(app::LoadTarget::kFundGrid, false); }
  BusyGrid(const BusyGrid&) = delete;
  BusyGrid& operator=(const BusyGrid&) = delete;

 private:
  app::LoadGenerations& loads_;
};

bool StillOurs(app::App& app, const app::LoadTicket& ticket) {
  return app.loads().IsCurrent(ticket) && !app.workers().Stopping();
}

// A list answer of the portal, asked up to kRequestTries times while it fails (a failed
// transfer, an error status or an answer that is no list). Nothing when every try failed or
// when the download must stop (then StillOurs is false).
std::optional<portal::FundListPage> FetchList(app::App& app, const app::LoadTicket& ticket,
                                              const std::string& url) {
  for (int attempt = 1; attempt <= kRequestTries; ++attempt) {
    if (attempt > 1) {
      ui::MessagePumpingDelay(app.ui(), kRetryWaits[attempt - 2].count(), 0);
      if (!StillOurs(app, ticket)) return std::nullopt;
    }
    std::optional<portal::FundListPage> list = portal::FetchFundListPage(url, &app.transfers());
    if (!StillOurs(app, ticket)) return std::nullopt;
    if (list && list->marked) return list;
  }
  return std::nullopt;
}

// Fills the grid page by page up to the answer's page count, whatever a page holds; a page that
// fails every try adds no rows, and rows beyond the grid's end are not written. Leaves the last
// page's title in `title`. False when the download must stop.
bool LoadPages(app::App& app, const app::LoadTicket& ticket, std::string* title) {
  ui::Grid& grid = app.main_window().高级表格1;
  PagedList list;
  list.pages = app.globals.AllFundsPages;
  list.page_url = [&app](int page) { return portal::AllFundsPageUrl(app.portal(), page); };
  list.fetch = [&app, &ticket](const std::string& url) { return FetchList(app, ticket, url); };
  list.still_ours = [&app, &ticket] { return StillOurs(app, ticket); };
  list.colour = false;
  list.last_row = grid.RowCount() - 1;
  list.before_page = [&app, title](int page) {
    *title = "正在加载第" + base::IntToText(page) + "页";
    app.main_window().SetTitle(*title);
  };
  return LoadListPages(grid, list).has_value();
}

// Pages of one row that failed and wait to be asked again.
struct Retry {
  int row = 0;
  unsigned pages = 0;
  int attempt = 0;  // the try this will be
  std::chrono::steady_clock::time_point due;
  ProfilePages earlier;  // the pages the tries before brought in
};

// The detail phase as the UI thread sees it. Workers hand their end to the UI thread, which
// counts it and starts the next job at once, so a free slot never waits for a timer. A retry
// takes a slot like any other job. A row whose fund an earlier attempt today kept whole is filled
// from the cache and counts as done without a worker.
struct DetailPhase {
  DetailPhase(app::App& a, const app::LoadTicket& t, std::string title, std::string d)
      : app(a),
        ticket(t),
        total(a.globals.AllFundsTotal),
        page_title(std::move(title)),
        day(std::move(d)),
        kept_rows(static_cast<size_t>(total) + 1, false) {}
  app::App& app;
  app::LoadTicket ticket;
  int total;
  std::string page_title;
  std::string day;
  std::vector<bool> kept_rows;  // by row: filled from the cache
  int next_row = 0;
  int finished = 0;    // rows done, complete or not
  int incomplete = 0;  // rows without a fund, or with a page that failed every try
  std::vector<Retry> retries;
  bool ended = false;
};

bool Going(const DetailPhase& phase) { return !phase.ended && StillOurs(phase.app, phase.ticket); }

void StartWorkers(const std::shared_ptr<DetailPhase>& phase);

void OnWorkerFinished(const std::shared_ptr<DetailPhase>& phase, int row, int attempt,
                      DetailOutcome outcome) {
  DetailPhase& p = *phase;
  if (!Going(p)) return;
  if (outcome.failed != 0 && attempt < kRequestTries) {
    p.retries.push_back({row, outcome.failed, attempt + 1,
                         std::chrono::steady_clock::now() + kRetryWaits[attempt - 1],
                         std::move(outcome.pages)});
  } else {
    ++p.finished;
    if (outcome.failed != 0) ++p.incomplete;
  }
  StartWorkers(phase);
}

// Starts a worker for `pages` of `row`; false when none could start.
bool StartJob(const std::shared_ptr<DetailPhase>& phase, int row, unsigned pages, int attempt,
              ProfilePages earlier = {}) {
  std::atomic<int>& running = phase->app.globals.LoadThreadCount;
  running.fetch_add(1);
  DetailJob job = DetailJobForRow(phase->app, row, pages);
  job.earlier = std::move(earlier);
  job.keep_day = phase->day;
  if (StartDetailWorker(phase->app, std::move(job), [phase, row, attempt](DetailOutcome outcome) {
        OnWorkerFinished(phase, row, attempt, std::move(outcome));
      })) {
    return true;
  }
  running.fetch_sub(1);
  return false;
}

// The first retry that is due, taken out of the list.
std::optional<Retry> TakeDueRetry(DetailPhase& p) {
  const auto now = std::chrono::steady_clock::now();
  const auto due = std::find_if(p.retries.begin(), p.retries.end(),
                                [now](const Retry& r) { return r.due <= now; });
  if (due == p.retries.end()) return std::nullopt;
  const Retry retry = *due;
  p.retries.erase(due);
  return retry;
}

void StartWorkers(const std::shared_ptr<DetailPhase>& phase) {
  DetailPhase& p = *phase;
  const ui::Grid& grid = p.app.main_window().高级表格1;
  while (Going(p) && p.app.globals.LoadThreadCount.load() < kMaxDetailWorkers) {
    if (const std::optional<Retry> retry = TakeDueRetry(p)) {
      if (!StartJob(phase, retry->row, retry->pages, retry->attempt, retry->earlier)) {
        ++p.finished;
        ++p.incomplete;
      }
      continue;
    }
    while (p.next_row < p.total && p.kept_rows[static_cast<size_t>(p.next_row) + 1]) ++p.next_row;
    if (p.next_row >= p.total) break;
    const int row = ++p.next_row;
    // A row its pages did not fill has no fund to ask about.
    if (FundCodeAt(grid, row).empty() || !StartJob(phase, row, kAllProfilePages, 1)) {
      ++p.finished;
      ++p.incomplete;
    }
  }
  if (Going(p)) {
    p.app.main_window().SetTitle(p.page_title + "，详情" + base::IntToText(p.finished) + "/" +
                                 base::IntToText(p.total));
  }
}

// Fills the rows whose fund the cache holds whole for the phase's day. False when the download
// must stop.
bool FillKeptRows(DetailPhase& p) {
  const std::map<std::string, std::string> kept = p.app.cache().LoadDetails(p.day);
  if (kept.empty()) return true;
  ui::Grid& grid = p.app.main_window().高级表格1;
  for (int row = 1; row <= p.total; ++row) {
    if (row % kKeptRowsPerTurn == 0) {
      p.app.ui().PumpEvents();
      if (!Going(p)) return false;
    }
    const auto found = kept.find(FundCodeAt(grid, row));
    if (found == kept.end()) continue;
    const std::optional<ProfileColumns> columns = DecodeProfileColumns(found->second);
    if (!columns) continue;
    WriteProfileColumns(grid, row, *columns);
    p.kept_rows[static_cast<size_t>(row)] = true;
    ++p.finished;
  }
  return true;
}

// Ends when every row is done, however its pages went. The count of incomplete rows, or nothing
// when the download must stop.
std::optional<int> LoadDetails(app::App& app, const app::LoadTicket& ticket, std::string page_title,
                               std::string day) {
  auto phase = std::make_shared<DetailPhase>(app, ticket, std::move(page_title), std::move(day));
  if (!FillKeptRows(*phase)) return std::nullopt;
  StartWorkers(phase);
  while (phase->finished < phase->total && Going(*phase)) {
    ui::MessagePumpingDelay(app.ui(), kSlotWaitMs, 0);
    if (!phase->retries.empty()) StartWorkers(phase);
  }
  const bool complete = phase->finished >= phase->total && Going(*phase);
  // Workers still running report to a phase that is over.
  phase->ended = true;
  if (!complete) return std::nullopt;
  return phase->incomplete;
}

}  // namespace

bool ReadFundTotals(app::App& app, const app::LoadTicket& ticket) {
  const std::optional<portal::FundListPage> totals =
      FetchList(app, ticket, portal::AllFundsTotalsUrl(app.portal()));
  if (!StillOurs(app, ticket)) return false;
  const int total = totals ? BoundedCount(totals->datacount, kMaxListFunds) : 0;
  // A page may hold fewer records than asked for: every page the answer counts is asked.
  const int pages = totals ? ListPageCount(*totals) : 0;
  app.globals.AllFundsTotal = total;
  app.globals.AllFundsPages = pages;
  app.main_window().标签5.SetCaption(base::IntToText(total) + "支基金");
  app.main_window().标签6.SetCaption(base::IntToText(pages) + "页");
  app.main_window().高级表格1.SetRowCount(total + 1);
  return true;
}

bool StartDetailWorker(app::App& app, DetailJob job,
                       std::function<void(DetailOutcome)> on_finished) {
  return app.workers().Start([&app, job = std::move(job), on_finished = std::move(on_finished)] {
    DetailOutcome outcome{job.pages, job.earlier};
    try {
      outcome = LoadFundDetailsForRow(app, job);
    } catch (...) {
      // Thrown before the row's last step: its slot is given back here instead.
      app.globals.LoadThreadCount.fetch_sub(1);
    }
    app.ui().Post(
        [on_finished, outcome = std::move(outcome)]() mutable { on_finished(std::move(outcome)); });
  });
}

bool DownloadAllFunds(app::App& app) {
  const BusyGrid busy(app.loads());
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kFundGrid);
  app::MainWindow& main = app.main_window();
  main.高级表格1.ResetToDesign();
  const std::string day = CalendarDay(app.clock().Now());
  // Only today's kept funds can fill a row; an earlier day's would only take room.
  app.cache().PruneDetails(day);
  if (!ReadFundTotals(app, ticket)) return false;
  const auto started = app.clock().Steady();
  std::string page_title;
  if (!LoadPages(app, ticket, &page_title)) return false;
  if (FundCodeAt(main.高级表格1, 1).empty()) {
    main.SetTitle("加载失败，请重试");
    return false;
  }
  const std::optional<int> incomplete = LoadDetails(app, ticket, std::move(page_title), day);
  if (!incomplete) return false;
  MarkDownloadEnd(app.cache(), day, *incomplete);
  main.SetTitle(*incomplete == 0
                    ? std::string("加载完毕")
                    : "加载完毕（" + base::IntToText(*incomplete) + "支基金未能完整加载）");
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(app.clock().Steady() - started).count();
  main.标签5.SetCaption("加载时间" + base::IntToText(seconds) + "秒");
  return true;
}

void LoadAllFunds(app::App& app) {
  if (app.loads().Busy(app::LoadTarget::kFundGrid)) {
    app.dialogs().MessageBox(app::kBusyMessage);
    return;
  }
  if (!PassDownloadGuard(app)) return;
  app::MainWindow& main = app.main_window();
  for (ui::Button* button :
       {&main.选择板块钮, &main.五星基金钮, &main.小功能钮, &main.导出当前数据钮}) {
    button->SetEnabled(false);
  }
  // A download that failed or was cut short leaves no workbook, which would close the day.
  if (DownloadAllFunds(app)) exporter::ExportCurrentDataClick(app);
}

void InstallFullDownload(app::App& app) {
  app.main_window().导出所有数据钮.on_click = [&app] { LoadAllFunds(app); };
}

}  // namespace funds
