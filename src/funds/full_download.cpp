#include "funds/full_download.h"

#include <chrono>
#include <deque>
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

// Rows filled from the cache in one turn of the event loop.
constexpr int kKeptRowsPerTurn = 2000;
// A request that failed is asked again up to twice, after these waits.
constexpr int kRequestTries = 3;
const std::vector<std::chrono::milliseconds> kRetryWaits = {std::chrono::milliseconds(1000),
                                                            std::chrono::milliseconds(3000)};

// Pages of one row that failed and wait to be asked again.
struct Retry {
  int row = 0;
  unsigned pages = 0;
  int attempt = 0;       // the try this will be
  ProfilePages earlier;  // the pages the tries before brought in
};

// One download as the UI thread sees it. Every step is a load of its own: the totals, the pages
// one after the other, then each fund's profile pages, five funds at a time. A fund's end is
// counted on the UI thread, which starts the next fund at once, so a free slot never waits. A
// retry waits on the timer and then takes a slot like any other fund. A row whose fund an
// earlier attempt today kept whole is filled from the cache and counts as done without a request.
struct Download {
  Download(app::App& a, std::string d, std::function<void(bool)> e)
      : app(a), day(std::move(d)), ended(std::move(e)) {}
  app::App& app;
  app::LoadTicket ticket;
  std::string day;
  std::function<void(bool completed)> ended;
  std::chrono::steady_clock::time_point started;
  int total = 0;  // funds the totals answer counts
  int pages = 0;  // pages it counts
  std::string page_title;
  std::vector<bool> kept_rows;  // by row: filled from the cache
  int next_row = 0;
  int running = 0;     // funds whose pages are being asked for
  int finished = 0;    // rows done, complete or not
  int incomplete = 0;  // rows without a fund, or with a page that failed every try
  std::deque<Retry> due;
  bool over = false;
};
using DownloadPtr = std::shared_ptr<Download>;

bool Going(const Download& d) {
  return !d.over && d.app.loads().IsCurrent(d.ticket) && !d.app.workers().Stopping();
}

void Finish(const DownloadPtr& d, bool completed) {
  if (d->over) return;
  d->over = true;
  d->app.loads().SetBusy(app::LoadTarget::kFundGrid, false);
  d->app.loads().EndWork();
  if (d->ended) d->ended(completed);
}

// The code of a row as the download's list pages wrote it.
std::string ShownCode(app::App& app, int row) { return app.shown_funds().CodeAt(app.loads(), row); }

std::function<void()> Dropped(const DownloadPtr& d) {
  return [d] { Finish(d, false); };
}

// A list answer of the portal when it arrived with its marks; nothing for a failed transfer, an
// error status or an answer that is no list.
ListAnswer FetchList(app::App& app, const std::string& url) {
  ListAnswer answer;
  std::optional<portal::FundListPage> list = portal::FetchFundListPage(url, &app.transfers());
  if (list && list->marked) answer.page = std::move(list);
  return answer;
}

ListFetch ListFetcher(app::App& app) {
  return [&app](const std::string& url) { return FetchList(app, url); };
}

void StartWorkers(const DownloadPtr& d);

void OnFundEnded(const DownloadPtr& d, int row, int attempt, DetailOutcome outcome) {
  if (outcome.failed != 0 && attempt < kRequestTries) {
    Retry retry{row, outcome.failed, attempt + 1, std::move(outcome.pages)};
    ui::MessagePumpingDelay(d->app.ui(), kRetryWaits[attempt - 1].count(), 0,
                            [d, retry = std::move(retry)] {
                              d->due.push_back(retry);
                              StartWorkers(d);
                            });
  } else {
    ++d->finished;
    if (outcome.failed != 0) ++d->incomplete;
  }
  StartWorkers(d);
}

// Starts the load of `pages` of `row`.
void StartFund(const DownloadPtr& d, int row, unsigned pages, int attempt, ProfilePages earlier) {
  ++d->running;
  ProfileJob job;
  job.row = row;
  job.code = ShownCode(d->app, row);
  job.pages = pages;
  job.earlier = std::move(earlier);
  job.keep_day = d->day;
  LoadProfilePages(d->app, d->ticket, std::move(job), {},
                   [d, row, attempt](std::optional<DetailOutcome> outcome) {
                     --d->running;
                     if (!outcome) {
                       Finish(d, false);
                       return;
                     }
                     OnFundEnded(d, row, attempt, std::move(*outcome));
                   });
}

void EndDownload(const DownloadPtr& d) {
  app::MainWindow& main = d->app.main_window();
  MarkDownloadEnd(d->app.cache(), d->day, d->incomplete);
  main.SetTitle(d->incomplete == 0
                    ? std::string("加载完毕")
                    : "加载完毕（" + base::IntToText(d->incomplete) + "支基金未能完整加载）");
  const auto seconds =
      std::chrono::duration_cast<std::chrono::seconds>(d->app.clock().Steady() - d->started)
          .count();
  main.标签5.SetCaption("加载时间" + base::IntToText(seconds) + "秒");
  Finish(d, true);
}

void StartWorkers(const DownloadPtr& d) {
  Download& p = *d;
  if (!Going(p)) {
    Finish(d, false);
    return;
  }
  while (p.running < kMaxDetailWorkers) {
    if (!p.due.empty()) {
      Retry retry = std::move(p.due.front());
      p.due.pop_front();
      StartFund(d, retry.row, retry.pages, retry.attempt, std::move(retry.earlier));
      continue;
    }
    while (p.next_row < p.total && p.kept_rows[static_cast<size_t>(p.next_row) + 1]) ++p.next_row;
    if (p.next_row >= p.total) break;
    const int row = ++p.next_row;
    // A row its pages did not fill has no fund to ask about.
    if (ShownCode(p.app, row).empty()) {
      ++p.finished;
      ++p.incomplete;
      continue;
    }
    StartFund(d, row, kAllProfilePages, 1, {});
  }
  p.app.main_window().SetTitle(p.page_title + "，详情" + base::IntToText(p.finished) + "/" +
                               base::IntToText(p.total));
  if (p.finished >= p.total) EndDownload(d);
}

// Fills the rows whose fund the cache holds whole for the download's day, a stretch of rows a
// turn of the event loop, then starts the funds' loads.
void FillKeptRows(const DownloadPtr& d,
                  const std::shared_ptr<const std::map<std::string, std::string>>& kept, int from) {
  Download& p = *d;
  if (!Going(p)) {
    Finish(d, false);
    return;
  }
  ui::Grid& grid = p.app.main_window().高级表格1;
  const int to = std::min(p.total, from + kKeptRowsPerTurn - 1);
  for (int row = from; row <= to; ++row) {
    const auto found = kept->find(ShownCode(p.app, row));
    if (found == kept->end()) continue;
    const std::optional<ProfileColumns> columns = DecodeProfileColumns(found->second);
    if (!columns) continue;
    WriteProfileColumns(grid, row, *columns);
    p.kept_rows[static_cast<size_t>(row)] = true;
    ++p.finished;
  }
  if (to < p.total) {
    p.app.ui().Post([d, kept, to] { FillKeptRows(d, kept, to + 1); });
    return;
  }
  StartWorkers(d);
}

void StartDetails(const DownloadPtr& d) {
  d->kept_rows.assign(static_cast<size_t>(d->total) + 1, false);
  auto kept = std::make_shared<const std::map<std::string, std::string>>(
      d->app.cache().LoadDetails(d->day));
  if (kept->empty()) {
    StartWorkers(d);
  } else {
    FillKeptRows(d, kept, 1);
  }
}

// Fills the grid page by page up to the answer's page count, whatever a page holds; a page that
// fails every try adds no rows, and rows beyond the grid's end are not written.
void LoadPages(const DownloadPtr& d) {
  app::MainWindow& main = d->app.main_window();
  ui::Grid& grid = main.高级表格1;
  PagedList list;
  list.pages = d->pages;
  list.page_url = [&app = d->app](int page) { return portal::AllFundsPageUrl(app.portal(), page); };
  list.fetch = ListFetcher(d->app);
  list.retry_waits = kRetryWaits;
  list.colour = false;
  list.last_row = grid.RowCount() - 1;
  list.before_page = [d, &main](int page) {
    d->page_title = "正在加载第" + base::IntToText(page) + "页";
    main.SetTitle(d->page_title);
  };
  list.done = [d, &main](int, const OfflineSince&) {
    if (ShownCode(d->app, 1).empty()) {
      main.SetTitle("加载失败，请重试");
      Finish(d, false);
      return;
    }
    StartDetails(d);
  };
  list.dropped = Dropped(d);
  LoadListPages(d->app, d->ticket, grid, std::move(list));
}

// The totals of the full list: 标签5 (count + "支基金"), 标签6 (pages + "页") and the grid's row
// count (one row per fund under the header).
void ReadFundTotals(const DownloadPtr& d) {
  AskListAnswer(
      d->app, d->ticket, ListFetcher(d->app), portal::AllFundsTotalsUrl(d->app.portal()),
      kRetryWaits,
      [d](ListAnswer totals) {
        app::MainWindow& main = d->app.main_window();
        d->total = totals.page ? BoundedCount(totals.page->datacount, kMaxListFunds) : 0;
        // A page may hold fewer records than asked for: every page the answer counts is asked.
        d->pages = totals.page ? ListPageCount(*totals.page) : 0;
        main.标签5.SetCaption(base::IntToText(d->total) + "支基金");
        main.标签6.SetCaption(base::IntToText(d->pages) + "页");
        main.高级表格1.SetRowCount(d->total + 1);
        d->started = d->app.clock().Steady();
        LoadPages(d);
      },
      Dropped(d));
}

}  // namespace

void DownloadAllFunds(app::App& app, std::function<void(bool completed)> ended) {
  auto d = std::make_shared<Download>(app, CalendarDay(app.clock().Now()), std::move(ended));
  app::LoadGenerations& loads = app.loads();
  loads.SetBusy(app::LoadTarget::kFundGrid, true);
  loads.BeginWork();
  d->ticket = loads.Start(app::LoadTarget::kFundGrid);
  app.main_window().高级表格1.ResetToDesign();
  // Only today's kept funds can fill a row; an earlier day's would only take room.
  app.cache().PruneDetails(d->day);
  ReadFundTotals(d);
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
  DownloadAllFunds(app, [&app](bool completed) {
    if (completed) exporter::ExportCurrentDataClick(app);
  });
}

void InstallFullDownload(app::App& app) {
  app.main_window().导出所有数据钮.on_click = [&app] { LoadAllFunds(app); };
}

}  // namespace funds
