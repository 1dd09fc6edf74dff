#include "navchart/nav_chart.h"

#include <filesystem>
#include <utility>

#include "app/load.h"
#include "base/date_time.h"
#include "base/text.h"
#include "export/export_handler.h"
#include "export/grid_export.h"
#include "portal/nav_history.h"
#include "positions/fund_history.h"
#include "positions/positions.h"
#include "positions/positions_store.h"
#include "store/cache.h"

namespace navchart {

namespace {

// The note the program's offline data carry in a title, as the main window's has it.
constexpr std::string_view kNoteStart = "（离线数据 ";
constexpr std::string_view kNoteEnd = "）";

// The user's trades in fund `code`, from the ledger when there is one; a missing ledger is not
// made.
std::vector<TradeMark> LedgerTrades(positions::PositionsStore& ledger, const std::string& code) {
  std::error_code error;
  if (ledger.Path().empty() || !std::filesystem::exists(ledger.Path(), error)) return {};
  return TradeMarksOf(ledger.Records(), code);
}

}  // namespace

LoadedHistory FetchHistory(app::App& app, positions::PositionsStore& ledger,
                           const std::string& code, bool ask) {
  LoadedHistory loaded;
  loaded.trades = LedgerTrades(ledger, code);
  positions::FundHistory fund = positions::FetchFundHistory(app, code, ask);
  loaded.history = std::move(fund.history);
  loaded.offline_since = std::move(fund.offline_since);
  return loaded;
}

std::filesystem::path NavWorkbookPath(app::App& app, const std::string& code) {
  return exporter::TodaysWorkbookPath(app).parent_path() /
         (std::string(kWorkbookPrefix) + code + ".xls");
}

NavChart::NavChart(app::App& app, positions::PositionsStore& ledger, WatchlistFund watchlist_fund)
    : app_(app), ledger_(ledger), watchlist_fund_(std::move(watchlist_fund)) {}

void NavChart::Install() {
  app::NavChartWindow& window = app_.nav_chart_window();
  for (int i = 0; i < app::kNavPeriodCount; ++i) {
    window.区间钮[static_cast<size_t>(i)].on_click = [this, i] {
      ShowPeriod(static_cast<app::NavPeriod>(i));
    };
  }
  window.刷新钮.on_click = [this] { Load(true); };
  window.导出钮.on_click = [this] { Export(); };
  window.净值画板.on_mouse_move = [this](int x, int) { TrackCursor(x); };
  window.on_destroyed = [this] { Closed(); };

  app::MainWindow& main = app_.main_window();
  if (ui::MenuItem* item = main.菜单.FindItem("净值走势")) {
    item->on_click = [this] {
      const std::optional<app::FundRef> fund = app_.MenuFund();
      if (!fund || fund->code.empty()) {
        app_.dialogs().MessageBox(kChooseFundText);
        return;
      }
      Open(*fund);
    };
  }
  if (ui::MenuItem* item = main.菜单3.FindItem("净值走势")) {
    item->on_click = [this] {
      const std::optional<app::FundRef> fund = watchlist_fund_ ? watchlist_fund_() : std::nullopt;
      if (!fund || fund->code.empty()) {
        app_.dialogs().MessageBox(kChooseFundText);
        return;
      }
      Open(*fund);
    };
  }
  // The positions window writes each held fund's code and name in the row's 基金代码 and 基金名称
  // columns; the total row has no code.
  app_.positions_window().持仓表格.on_double_click = [this](int row, int) {
    const ui::Grid& grid = app_.positions_window().持仓表格;
    const std::string& code = grid.Text(row, app::kPosCode);
    if (code.empty()) return;
    Open({code, grid.Text(row, app::kPosName)});
  };
}

void NavChart::Open(const app::FundRef& fund) {
  app::NavChartWindow& window = app_.nav_chart_window();
  if (fund.code != state_.fund.code) {
    state_.history.reset();
    state_.offline_since.clear();
    state_.marks.clear();
  }
  state_.fund = fund;
  // Opened again, the window comes to the front with the fund.
  if (window.Visible()) window.Raise();
  window.Show();
  ShowTitle();
  Redraw();
  Load(false);
}

void NavChart::Load(bool ask) {
  if (state_.fund.code.empty()) return;
  const app::LoadTicket ticket = app_.loads().Start(app::LoadTarget::kNavChart);
  state_.status = "正在加载净值…";
  app_.nav_chart_window().净值状态.SetCaption(state_.status);
  app::StartLoad(
      app_, ticket,
      [&app = app_, &ledger = ledger_, code = state_.fund.code, ask] {
        return FetchHistory(app, ledger, code, ask);
      },
      [this, fund = state_.fund](LoadedHistory loaded) { Applied(fund, std::move(loaded)); });
}

void NavChart::Applied(const app::FundRef& fund, LoadedHistory loaded) {
  if (!loaded.history) {
    // Nothing kept and nothing arrived: what is shown of the fund stays.
    state_.status = kNoHistoryText;
    app_.nav_chart_window().净值状态.SetCaption(state_.status);
    return;
  }
  state_.fund = fund;
  if (!loaded.history->name.empty()) state_.fund.name = loaded.history->name;
  state_.offline_since = std::move(loaded.offline_since);
  state_.marks = std::move(loaded.trades);
  const std::vector<TradeMark> events = EventMarksOf(loaded.history->points);
  state_.marks.insert(state_.marks.end(), events.begin(), events.end());
  state_.history = std::move(loaded.history);
  const std::vector<base::NavPoint>& points = state_.history->points;
  state_.status = "共" + base::IntToText(static_cast<long long>(points.size())) +
                  "个交易日，最新净值日期 " + points.back().day;
  app_.nav_chart_window().净值状态.SetCaption(state_.status);
  ShowTitle();
  Redraw();
}

void NavChart::ShowTitle() {
  std::string title = "净值走势 - " + state_.fund.name + "(" + state_.fund.code + ")";
  if (!state_.offline_since.empty()) {
    title += std::string(kNoteStart) + state_.offline_since + std::string(kNoteEnd);
  }
  app_.nav_chart_window().SetTitle(std::move(title));
}

void NavChart::ShowPeriod(app::NavPeriod period) {
  state_.period = period;
  Redraw();
}

void NavChart::Redraw() {
  app::NavChartWindow& window = app_.nav_chart_window();
  static const std::vector<base::NavPoint> kNone;
  const std::span<const base::NavPoint> shown =
      PeriodPoints(state_.history ? state_.history->points : kNone, state_.period);
  for (int i = 0; i < app::kNavPeriodCount; ++i) {
    // The chosen period's button is the one that cannot be clicked again.
    window.区间钮[static_cast<size_t>(i)].SetEnabled(static_cast<int>(state_.period) != i);
  }
  window.区间涨跌.SetCaption(PeriodChangeText(shown));
  const ui::Rect& rect = window.净值画板.Geometry();
  state_.plot = NavPlot(shown, rect.width, rect.height);
  if (ui::Canvas* canvas = window.净值画板.GetCanvas()) {
    if (!state_.picture) state_.picture = canvas->CreateLike();
    state_.plot.Draw(*state_.picture, state_.marks);
    state_.picture->CopyTo(*canvas);
    window.净值画板.Refresh();
  }
  ShowReadout(shown.empty() ? nullptr : &shown.back());
  FillTable();
}

void NavChart::FillTable() {
  ui::Grid& grid = app_.nav_chart_window().净值表格;
  static const std::vector<base::NavPoint> kNone;
  const std::vector<base::NavPoint>& points = state_.history ? state_.history->points : kNone;
  const std::span<const base::NavPoint> shown = PeriodPoints(points, state_.period);
  grid.SetRowCount(1);
  grid.SetRowCount(static_cast<int>(shown.size()) + 1);
  int row = 1;
  for (size_t i = shown.size(); i-- > 0; ++row) {
    const bool first = &shown[i] == &points.front();
    std::vector<std::string> cells = TableRow(shown[i], first);
    for (int column = 0; column < app::kNavTableColumnCount; ++column) {
      grid.SetText(row, column, std::move(cells[static_cast<size_t>(column)]));
    }
  }
}

void NavChart::TrackCursor(int x) {
  std::optional<size_t> index = state_.plot.IndexAt(x);
  if (!index || !state_.history) return;
  const std::span<const base::NavPoint> shown = PeriodPoints(state_.history->points, state_.period);
  if (*index >= shown.size()) return;
  // Where the column draws several days, a marked day among them is the one read out, so that
  // every mark can be read whatever the period.
  const auto [first, last] = state_.plot.IndicesAt(x);
  for (const TradeMark& mark : state_.marks) {
    const std::optional<size_t> at = state_.plot.MarkIndex(mark);
    if (at && *at >= first && *at <= last) {
      index = at;
      break;
    }
  }
  ShowReadout(&shown[*index]);
  app::NavChartWindow& window = app_.nav_chart_window();
  ui::Canvas* canvas = window.净值画板.GetCanvas();
  if (canvas == nullptr || !state_.picture) return;
  state_.picture->CopyTo(*canvas);
  state_.plot.DrawCursor(*canvas, *index);
  window.净值画板.Refresh();
}

void NavChart::ShowReadout(const base::NavPoint* point) {
  app::NavChartWindow& window = app_.nav_chart_window();
  if (point == nullptr) {
    window.日期读数.SetCaption("日期");
    window.单位净值读数.SetCaption("单位净值");
    window.累计净值读数.SetCaption("累计净值");
    window.日增长率读数.SetCaption("日增长率");
    window.分红送配读数.SetCaption("分红送配");
    return;
  }
  const bool first = state_.history && point == &state_.history->points.front();
  window.日期读数.SetCaption("日期 " + point->day);
  window.单位净值读数.SetCaption("单位净值 " + NavText(point->unit_nav));
  window.累计净值读数.SetCaption("累计净值 " + (point->accumulated_nav
                                                    ? NavText(*point->accumulated_nav)
                                                    : std::string("--")));
  const std::string growth = GrowthText(*point, first);
  window.日增长率读数.SetCaption("日增长率 " + (growth.empty() ? std::string("--") : growth));
  window.分红送配读数.SetCaption("分红送配 " + point->unit_money);
}

void NavChart::Export() {
  if (!state_.history) {
    app_.dialogs().MessageBox(kNothingToExportText);
    return;
  }
  // The table's texts as they are now; the workbook is written on a worker.
  auto snapshot = std::make_shared<const exporter::GridSnapshot>(app_.nav_chart_window().净值表格);
  const std::filesystem::path path = NavWorkbookPath(app_, state_.fund.code);
  app_.nav_chart_window().净值状态.SetCaption("正在导出 " + path.filename().string());
  app::StartStoreWrite(app_, [&app = app_, snapshot, path] {
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    std::string failure = exporter::WriteWorkbook(*snapshot, path.string());
    app.ui().Post([&app, failure = std::move(failure), path] {
      if (!failure.empty()) {
        app.dialogs().MessageBox(failure);
        return;
      }
      app.nav_chart_window().净值状态.SetCaption("已导出 " + path.string());
    });
  });
}

void NavChart::Closed() {
  app_.loads().Invalidate(app::LoadTarget::kNavChart);
  state_ = State{};
}

}  // namespace navchart
