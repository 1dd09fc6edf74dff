#include "funds/full_download.h"

#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/load.h"
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

// One fund of the detail phase: its row, the pages still to ask for, and the try this is.
struct FundItem {
  int row = 0;
  std::string code;
  unsigned pages = kAllProfilePages;
  int attempt = 1;
  ProfilePages earlier;  // the pages the tries before brought in
};

// One download as the UI thread sees it. Every step is a load of its own: the totals, the pages
// one after the other, then each fund's profile pages, five funds at a time in one fan-out; a
// failed fund is asked again after a wait. A row whose fund an earlier attempt today kept whole
// is filled from the cache and counts as done without a request.
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
  int finished = 0;    // rows done, complete or not
  int incomplete = 0;  // rows without a fund, or with a page that failed every try
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

void ShowProgress(const Download& p) {
  p.app.main_window().SetTitle(p.page_title + "，详情" + base::IntToText(p.finished) + "/" +
                               base::IntToText(p.total));
}

// The day's end is kept in the cache on a worker; the title and the time taken follow.
void EndDownload(const DownloadPtr& d) {
  app::StartLoad(
      d->app, d->ticket,
      [&cache = d->app.cache(), day = d->day, incomplete = d->incomplete] {
        MarkDownloadEnd(cache, day, incomplete);
        return true;
      },
      [d](bool) {
        app::MainWindow& main = d->app.main_window();
        main.SetTitle(d->incomplete == 0
                          ? std::string("加载完毕")
                          : "加载完毕（" + base::IntToText(d->incomplete) + "支基金未能完整加载）");
        const auto seconds =
            std::chrono::duration_cast<std::chrono::seconds>(d->app.clock().Steady() - d->started)
                .count();
        main.标签5.SetCaption("加载时间" + base::IntToText(seconds) + "秒");
        Finish(d, true);
      },
      Dropped(d));
}

// The next row that needs its fund asked for. A row its pages did not fill has no fund to ask
// about: it counts as done and incomplete.
std::optional<FundItem> NextFund(Download& p) {
  while (p.next_row < p.total) {
    const int row = ++p.next_row;
    if (p.kept_rows[static_cast<size_t>(row)]) continue;
    std::string code = ShownCode(p.app, row);
    if (code.empty()) {
      ++p.finished;
      ++p.incomplete;
      continue;
    }
    return FundItem{row, std::move(code), kAllProfilePages, 1, {}};
  }
  return std::nullopt;
}

// Each fund's profile pages, five funds at a time; a fund with a failed page is asked again for
// that page up to twice.
void StartWorkers(const DownloadPtr& d) {
  if (!Going(*d)) {
    Finish(d, false);
    return;
  }
  ShowProgress(*d);
  app::LoadEachFrom<FundItem>(
      d->app, d->ticket, [d] { return NextFund(*d); }, kMaxDetailWorkers,
      [&app = d->app, ticket = d->ticket, day = d->day](const FundItem& fund) {
        ProfileJob job;
        job.row = fund.row;
        job.code = fund.code;
        job.pages = fund.pages;
        job.earlier = fund.earlier;
        job.keep_day = day;
        return FetchProfilePages(app, ticket, job, [] { return true; });
      },
      [d](const FundItem& fund, DetailOutcome outcome) -> std::optional<app::EachRetry<FundItem>> {
        std::optional<app::EachRetry<FundItem>> retry;
        if (outcome.failed != 0 && fund.attempt < kRequestTries) {
          retry = app::EachRetry<FundItem>{kRetryWaits[static_cast<size_t>(fund.attempt) - 1],
                                           FundItem{fund.row, fund.code, outcome.failed,
                                                    fund.attempt + 1, std::move(outcome.pages)}};
        } else {
          ++d->finished;
          if (outcome.failed != 0) ++d->incomplete;
        }
        ShowProgress(*d);
        return retry;
      },
      [d](bool completed) {
        if (!completed) {
          Finish(d, false);
          return;
        }
        ShowProgress(*d);
        EndDownload(d);
      });
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

// The funds kept whole today are read from the cache on a worker.
void StartDetails(const DownloadPtr& d) {
  d->kept_rows.assign(static_cast<size_t>(d->total) + 1, false);
  app::StartLoad(
      d->app, d->ticket, [&cache = d->app.cache(), day = d->day] { return cache.LoadDetails(day); },
      [d](std::map<std::string, std::string> details) {
        if (details.empty()) {
          StartWorkers(d);
          return;
        }
        FillKeptRows(
            d, std::make_shared<const std::map<std::string, std::string>>(std::move(details)), 1);
      },
      Dropped(d));
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
  // Only today's kept funds can fill a row; an earlier day's would only take room.
  ListFetch prune_then_fetch = [&app = d->app, day = d->day](const std::string& url) {
    app.cache().PruneDetails(day);
    return FetchList(app, url);
  };
  AskListAnswer(
      d->app, d->ticket, std::move(prune_then_fetch), portal::AllFundsTotalsUrl(d->app.portal()),
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
  ReadFundTotals(d);
}

void LoadAllFunds(app::App& app) {
  if (app::RefuseWhileBusy(app, app::LoadTarget::kFundGrid)) return;
  // The click holds the grid while its checks run, as the download it may start will: a second
  // click or a list meanwhile is refused, and nothing overtakes the checks.
  app.loads().SetBusy(app::LoadTarget::kFundGrid, true);
  PassDownloadGuard(app, [&app](bool passed) {
    app.loads().SetBusy(app::LoadTarget::kFundGrid, false);
    if (!passed) return;
    app::MainWindow& main = app.main_window();
    for (ui::Button* button :
         {&main.选择板块钮, &main.五星基金钮, &main.小功能钮, &main.导出当前数据钮}) {
      button->SetEnabled(false);
    }
    // A download that failed or was cut short leaves no workbook, which would close the day.
    DownloadAllFunds(app, [&app](bool completed) {
      if (completed) exporter::ExportCurrentDataInBackground(app);
    });
  });
}

void InstallFullDownload(app::App& app) {
  app.main_window().导出所有数据钮.on_click = [&app] { LoadAllFunds(app); };
}

}  // namespace funds
