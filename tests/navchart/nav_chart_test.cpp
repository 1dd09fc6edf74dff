// The NAV history window against the simulated portal: the kept history, the offline note, the
// table of the shown period, the user's trades on the chart and the export.

#include "navchart/nav_chart.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "app/app_fixture.h"
#include "base/decimal.h"
#include "export/xls_probe.h"
#include "positions/positions.h"
#include "positions/positions_store.h"
#include "sim/server.h"
#include "support/recording_canvas.h"

namespace {

using navchart::NavChart;

class NavChartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::PortalSimOptions options;
    options.market.funds = 12;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    app_test::PointPortalAt(dir_.path(), sim_->BaseUrl());
    Restart();
  }

  // A new program over the same folders.
  void Restart() {
    // The loads end before the feature whose state they use goes.
    if (program_) app().workers().StopAndJoin();
    feature_.reset();
    program_.reset();
    program_ = std::make_unique<app_test::Program>(dir_.path());
    ledger_ = std::make_unique<positions::PositionsStore>(positions::LedgerPath(app().paths()));
    feature_ = std::make_unique<NavChart>(app(), *ledger_, [] { return std::nullopt; });
    feature_->Install();
    window().净值画板.SetCanvas(std::make_unique<test_support::RecordingCanvas>(784, 300));
  }
  app::App& app() { return program_->app; }
  app::NavChartWindow& window() { return app().nav_chart_window(); }
  ui::Grid& table() { return window().净值表格; }
  const sim::Fund& Fund(int i) { return sim_->market().funds()[static_cast<size_t>(i)]; }
  void Open(int i) {
    feature_->Open({Fund(i).code, Fund(i).name});
    program_->Settle();
  }
  size_t HistoryRequests() {
    const auto requests = sim_->requests().Snapshot();
    return static_cast<size_t>(std::count_if(requests.begin(), requests.end(), [](const auto& r) {
      return r.path.starts_with("/pingzhongdata/");
    }));
  }
  // The fund with the longest history.
  int OldestFund() {
    int oldest = 0;
    for (int i = 1; i < static_cast<int>(sim_->market().funds().size()); ++i) {
      if (Fund(i).inception_date < Fund(oldest).inception_date) oldest = i;
    }
    return oldest;
  }
  std::string Title(int i) { return "净值走势 - " + Fund(i).name + "(" + Fund(i).code + ")"; }
  // The newest row shows the NAV the fund's main page shows.
  void ExpectNewestRowIsTheMainPages(int i) {
    ASSERT_GT(table().RowCount(), 20);
    EXPECT_EQ(Fund(i).nav_date, table().Text(1, app::kNavDay));
    EXPECT_EQ(base::FormatScaled(std::llround(Fund(i).unit_nav * 10000), 4),
              table().Text(1, app::kNavUnit));
    EXPECT_LT(table().Text(2, app::kNavDay), table().Text(1, app::kNavDay));
  }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<positions::PositionsStore> ledger_;  // the positions' handle in the program
  std::unique_ptr<app_test::Program> program_;
  std::unique_ptr<NavChart> feature_;
  void TearDown() override {
    if (program_) app().workers().StopAndJoin();
  }
};

TEST_F(NavChartTest, ASecondOpeningOnTheSameDaySendsNoRequest) {
  Open(1);
  EXPECT_EQ(Title(1), window().Title());
  ExpectNewestRowIsTheMainPages(1);
  EXPECT_EQ(1u, HistoryRequests());
  window().Close();
  Open(1);
  // The program started again the same day reads the kept history as well.
  Restart();
  Open(1);
  EXPECT_EQ(Title(1), window().Title());
  ExpectNewestRowIsTheMainPages(1);
  EXPECT_EQ(1u, HistoryRequests());
  // 刷新 asks in any case.
  window().刷新钮.Click();
  program_->Settle();
  EXPECT_EQ(2u, HistoryRequests());
}

TEST_F(NavChartTest, AFailedRequestShowsTheKeptHistoryWithTheTimeItArrived) {
  const base::DateTime arrived = program_->clock.Now();
  Open(2);
  const int rows = table().RowCount();
  sim::FaultOptions faults;
  faults.fail_targets = {"/pingzhongdata/"};
  sim_->SetFaults(faults);
  Restart();
  program_->clock.Set({2021, 8, 23, 21, 0, 0});  // a later trading day's evening: not fresh
  Open(2);
  EXPECT_EQ(2u, HistoryRequests());
  EXPECT_EQ(Title(2) + "（离线数据 " + base::DateTimeText(arrived) + "）", window().Title());
  EXPECT_EQ(rows, table().RowCount());
  ExpectNewestRowIsTheMainPages(2);

  // Without a kept history a failure shows nothing and says so.
  Open(3);
  EXPECT_EQ(navchart::kNoHistoryText, window().净值状态.Caption());
  EXPECT_EQ(1, table().RowCount());
}

TEST_F(NavChartTest, TheTableShowsTheChosenPeriodNewestFirstWithItsChange) {
  const int fund = OldestFund();
  ASSERT_LT(Fund(fund).inception_date, "2018-01-01");
  Open(fund);
  const int year_rows = table().RowCount() - 1;
  EXPECT_FALSE(window().区间钮[static_cast<size_t>(app::NavPeriod::kYear1)].Enabled());
  window().区间钮[static_cast<size_t>(app::NavPeriod::kMonth1)].Click();
  const int month_rows = table().RowCount() - 1;
  EXPECT_GT(month_rows, 15);
  EXPECT_LT(month_rows, 25);
  EXPECT_GT(year_rows, 10 * month_rows);
  // The oldest row is the first trading day on or after the latest day less a month.
  const std::string latest = table().Text(1, app::kNavDay);
  const std::string first = navchart::PeriodFirstDay(latest, app::NavPeriod::kMonth1);
  EXPECT_GE(table().Text(month_rows, app::kNavDay), first);
  EXPECT_LE(table().Text(month_rows, app::kNavDay), base::DayText(*base::DayNumber(first) + 4));
  // 区间涨跌 from the table's own accumulated NAVs.
  const std::int64_t last = *base::ParsePositive(table().Text(1, app::kNavAccumulated), 4);
  const std::int64_t oldest =
      *base::ParsePositive(table().Text(month_rows, app::kNavAccumulated), 4);
  EXPECT_EQ("区间涨跌 " +
                base::FormatScaled(*base::RoundDivide((last - oldest) * 10000, oldest), 2) + "%",
            window().区间涨跌.Caption());
  window().区间钮[static_cast<size_t>(app::NavPeriod::kAll)].Click();
  EXPECT_GT(table().RowCount() - 1, year_rows);
  // The history's first day has no growth before it.
  EXPECT_EQ("", table().Text(table().RowCount() - 1, app::kNavGrowth));
}

TEST_F(NavChartTest, TheLedgersTradesAreMarkedOnTheUnitNavLine) {
  using positions::RecordKind;
  positions::PositionsStore ledger(positions::LedgerPath(app().paths()));
  const std::string code = Fund(5).code;
  ASSERT_TRUE(ledger.Add({"2021-08-02", code, "甲", RecordKind::kBuy, 10000, 10000, 0, 0}));
  // A Saturday's buy is drawn on the next trading day.
  ASSERT_TRUE(ledger.Add({"2021-08-07", code, "甲", RecordKind::kBuy, 10000, 10000, 0, 0}));
  ASSERT_TRUE(ledger.Add({"2021-08-16", code, "甲", RecordKind::kSell, 5000, 10000, 0, 0}));
  // A dividend the user recorded is no trade.
  ASSERT_TRUE(ledger.Add({"2021-08-17", code, "甲", RecordKind::kCashDividend, 0, 0, 0, 500}));
  ASSERT_TRUE(ledger.Add({"2021-08-03", Fund(6).code, "乙", RecordKind::kBuy, 100, 10000, 0, 0}));
  Open(5);
  const navchart::NavPlot& plot = feature_->state().plot;
  std::vector<std::string> marked;
  for (const navchart::TradeMark& mark : feature_->state().marks) {
    if (mark.kind == navchart::MarkKind::kEvent) continue;
    marked.push_back(table().Text(table().RowCount() - 1 - static_cast<int>(*plot.MarkIndex(mark)),
                                  app::kNavDay));
  }
  EXPECT_EQ((std::vector<std::string>{"2021-08-02", "2021-08-09", "2021-08-16"}), marked);
  // Drawn: lines in the buy colour and in the sale colour.
  const auto* canvas =
      static_cast<const test_support::RecordingCanvas*>(window().净值画板.GetCanvas());
  int buys = 0, sales = 0;
  for (const test_support::CanvasCall& call : canvas->picture()) {
    if (call.op != test_support::CanvasOp::kLine) continue;
    buys += call.state.pen_colour == navchart::kBuyColour;
    sales += call.state.pen_colour == navchart::kSaleColour;
  }
  EXPECT_GT(sales, 0);
  EXPECT_EQ(2 * sales, buys);
}

TEST_F(NavChartTest, EveryDividendDayCanBeReadOutUnderTheMouseOverTheWholeHistory) {
  // A fund that pays dividends (every third), with the longest history of them.
  int fund = 0;
  for (int i = 3; i < static_cast<int>(sim_->market().funds().size()); i += 3) {
    if (Fund(i).inception_date < Fund(fund).inception_date) fund = i;
  }
  Open(fund);
  window().区间钮[static_cast<size_t>(app::NavPeriod::kAll)].Click();
  std::set<std::string> paid;
  for (int row = 1; row < table().RowCount(); ++row) {
    if (!table().Text(row, app::kNavUnitMoney).empty())
      paid.insert(table().Text(row, app::kNavDay));
  }
  ASSERT_GE(paid.size(), 3u);
  // More days than the chart has columns.
  ASSERT_GT(table().RowCount(), 2 * window().净值画板.Geometry().width);
  std::set<std::string> read;
  for (int x = 0; x < window().净值画板.Geometry().width; ++x) {
    window().净值画板.MouseMove(x, 150);
    if (window().分红送配读数.Caption() != "分红送配 ") {
      read.insert(window().日期读数.Caption().substr(std::string("日期 ").size()));
    }
  }
  EXPECT_EQ(paid, read);
}

TEST_F(NavChartTest, ExportWritesTheTableBesideTheOtherWorkbooks) {
  Open(0);
  window().导出钮.Click();
  program_->Settle();
  const std::filesystem::path path = app().paths().workbook_dir / ("净值" + Fund(0).code + ".xls");
  ASSERT_TRUE(std::filesystem::exists(path));
  EXPECT_EQ("", export_test::FirstDifference(export_test::GridValues(table()),
                                             export_test::Values(export_test::ProbeXls(path))));
  EXPECT_EQ("已导出 " + path.string(), window().净值状态.Caption());
}

}  // namespace
