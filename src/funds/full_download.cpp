#include "funds/full_download.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>

#include "base/text.h"
#include "export/export_handler.h"
#include "funds/download_guard.h"
#include "funds/fund_guide.h"
#include "funds/fund_profile.h"
#include "funds/fund_rows.h"
#include "net/http_fetch.h"
#include "net/portal.h"

namespace funds {

namespace {

constexpr int kPageSize = 20;
constexpr int kSlotWaitMs = 20;

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

// A count from the list answer within [0, limit]; anything that is not a number counts 0.
int Bounded(double value, int limit) {
  if (!std::isfinite(value) || value < 0) return 0;
  return static_cast<int>(std::min(value, static_cast<double>(limit)));
}

bool StillOurs(app::App& app, const app::LoadTicket& ticket) {
  return app.loads().IsCurrent(ticket) && !app.workers().Stopping();
}

// Fills the grid page by page; a page that fails adds no rows. Leaves the last page's title in
// `title`. False when the download must stop.
bool LoadPages(app::App& app, const app::LoadTicket& ticket, std::string* title) {
  ui::Grid& grid = app.main_window().高级表格1;
  int offset = 0;
  for (int page = 1; page <= app.globals.AllFundsPages; ++page) {
    *title = "正在加载第" + base::IntToText(page) + "页";
    app.main_window().SetTitle(*title);
    const script::JsonObject list =
        ParseFundGuideResponse(net::HttpGet(net::AllFundsPageUrl(app.portal(), page),
                                            &app.transfers(), net::kFundListMaxBytes)
                                   .text);
    if (!StillOurs(app, ticket)) return false;
    const int count = std::min(list.GetCount("datas"), kPageSize);
    for (int j = 1; j <= count; ++j) {
      WriteFundRow(grid, offset + j, list.GetText("datas[" + base::IntToText(j - 1) + "]"));
    }
    offset += count;
  }
  return true;
}

// The detail phase as the UI thread sees it. Workers hand their end to the UI thread, which
// counts it and starts the next row at once, so a free slot never waits for a timer.
struct DetailPhase {
  DetailPhase(app::App& a, const app::LoadTicket& t, std::string title)
      : app(a), ticket(t), total(a.globals.AllFundsTotal), page_title(std::move(title)) {}
  app::App& app;
  app::LoadTicket ticket;
  int total;
  std::string page_title;
  int next_row = 0;
  int finished = 0;  // rows done, with or without a worker
  bool ended = false;
};

bool Going(const DetailPhase& phase) { return !phase.ended && StillOurs(phase.app, phase.ticket); }

void OnWorkerFinished(const std::shared_ptr<DetailPhase>& phase);

void StartWorkers(const std::shared_ptr<DetailPhase>& phase) {
  DetailPhase& p = *phase;
  std::atomic<int>& running = p.app.globals.LoadThreadCount;
  const ui::Grid& grid = p.app.main_window().高级表格1;
  while (Going(p) && p.next_row < p.total && running.load() < kMaxDetailWorkers) {
    const int row = ++p.next_row;
    // A row its page did not fill has no fund to ask about.
    if (grid.Text(row, 1).empty()) {
      ++p.finished;
      continue;
    }
    running.fetch_add(1);
    if (!StartDetailWorker(p.app, row, [phase] { OnWorkerFinished(phase); })) {
      running.fetch_sub(1);
      ++p.finished;
    }
  }
  if (Going(p)) {
    p.app.main_window().SetTitle(p.page_title + "，详情" + base::IntToText(p.finished) + "/" +
                                 base::IntToText(p.total));
  }
}

void OnWorkerFinished(const std::shared_ptr<DetailPhase>& phase) {
  if (!Going(*phase)) return;
  ++phase->finished;
  StartWorkers(phase);
}

// Ends when every row is done, however its pages went. False when the download must stop.
bool LoadDetails(app::App& app, const app::LoadTicket& ticket, std::string page_title) {
  auto phase = std::make_shared<DetailPhase>(app, ticket, std::move(page_title));
  StartWorkers(phase);
  while (phase->finished < phase->total) {
    if (!Going(*phase)) break;
    ui::MessagePumpingDelay(app.ui(), kSlotWaitMs, 0);
  }
  const bool complete = phase->finished >= phase->total && Going(*phase);
  // Workers still running report to a phase that is over.
  phase->ended = true;
  return complete;
}

}  // namespace

bool ReadFundTotals(app::App& app, const app::LoadTicket& ticket) {
  const script::JsonObject totals = ParseFundGuideResponse(
      net::HttpGet(net::AllFundsTotalsUrl(app.portal()), &app.transfers(), net::kFundListMaxBytes)
          .text);
  if (!StillOurs(app, ticket)) return false;
  const int total = Bounded(totals.GetNumber("datacount"), kMaxDownloadFunds);
  // Pages beyond the count would only ask for rows the grid does not have.
  const int pages = std::min(Bounded(totals.GetNumber("allPages"), kMaxDownloadFunds),
                             (total + kPageSize - 1) / kPageSize);
  app.globals.AllFundsTotal = total;
  app.globals.AllFundsPages = pages;
  app.main_window().标签5.SetCaption(base::IntToText(total) + "支基金");
  app.main_window().标签6.SetCaption(base::IntToText(pages) + "页");
  app.main_window().高级表格1.SetRowCount(total + 1);
  return true;
}

bool StartDetailWorker(app::App& app, int row, std::function<void()> on_finished) {
  return app.workers().Start(
      [&app, job = DetailJobForRow(app, row), on_finished = std::move(on_finished)] {
        try {
          LoadFundDetailsForRow(app, job);
        } catch (...) {
          // Thrown before the row's last step: its slot is given back here instead.
          app.globals.LoadThreadCount.fetch_sub(1);
        }
        app.ui().Post(on_finished);
      });
}

bool DownloadAllFunds(app::App& app) {
  const BusyGrid busy(app.loads());
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kFundGrid);
  app::MainWindow& main = app.main_window();
  main.高级表格1.ResetToDesign();
  if (!ReadFundTotals(app, ticket)) return false;
  const auto started = app.clock().Steady();
  std::string page_title;
  if (!LoadPages(app, ticket, &page_title)) return false;
  if (main.高级表格1.Text(1, 1).empty()) {
    main.SetTitle("加载失败，请重试");
    return false;
  }
  if (!LoadDetails(app, ticket, std::move(page_title))) return false;
  main.SetTitle("加载完毕");
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
