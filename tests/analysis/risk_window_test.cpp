// 风险指标 as the user meets it: opened by its button, then following the chart as funds are
// picked, compared and removed and the period buttons are pressed, against the simulated portal.

#include "analysis/risk_window.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "sim/fund_detail.h"
#include "sim/server.h"
#include "sim/yield_compare.h"

namespace {

class RiskWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::PortalSimOptions options;
    options.market.funds = 60;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    app_test::PointPortalAt(dir_.path(), sim_->BaseUrl());
    program_ = std::make_unique<app_test::Program>(dir_.path());
    shell::BindEvents(app(), features_);
    main().单选框1.Click();
    program_->Settle();
  }
  app::App& app() { return program_->app; }
  app::MainWindow& main() { return app().main_window(); }
  ui::Grid& grid() { return app().figures_window().指标表格; }

  // A click on a fund row, as the user picks a fund; its code.
  std::string Pick(int row) {
    main().高级表格1.SetCurrentRow(row);
    main().高级表格1.on_cell_event(row, 0);
    program_->Settle();
    return main().高级表格1.Text(row, 1);
  }
  void Press(int period_button) {
    main().PeriodButton(period_button)->Click();
    program_->Settle();
  }
  // Name, period and interval return of each row. The simulated series start at 0 %, so the
  // interval return is the last yield the portal sent.
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    for (int row = 1; row < grid().RowCount(); ++row) {
      rows.push_back(grid().Text(row, app::kFigName) + " " + grid().Text(row, app::kFigPeriod) +
                     " " + grid().Text(row, app::kFigReturn));
    }
    return rows;
  }
  std::string Expected(const std::string& code, const char* period) {
    const sim::Fund* fund = sim::FindFund(sim_->market(), code);
    const std::vector<sim::YieldPoint> series = sim::YieldSeries(sim_->market(), {fund}, period);
    char last[32];
    std::snprintf(last, sizeof last, "%.2f%%", series.back().yields[0] + 0.0);
    return fund->name + " " + analysis::PeriodText(period) + " " + last;
  }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<app_test::Program> program_;
  shell::Features features_;
};

TEST_F(RiskWindowTest, FollowsWhatTheChartDrawsNewestFirst) {
  main().指标钮.Click();
  app::FiguresWindow& window = app().figures_window();
  ASSERT_TRUE(window.Visible());
  EXPECT_EQ("风险指标", window.Title());
  EXPECT_EQ(1, grid().RowCount());  // nothing drawn yet
  EXPECT_EQ("无风险利率1.50%", window.指标说明.Caption());

  const std::string first = Pick(2);
  EXPECT_EQ(std::vector<std::string>{Expected(first, "year")}, Rows());
  main().菜单.Choose(0);  // 加入对比: the chart keeps its picture, and so does the window
  EXPECT_EQ(std::vector<std::string>{Expected(first, "year")}, Rows());
  const std::string second = Pick(5);
  EXPECT_EQ((std::vector<std::string>{Expected(second, "year"), Expected(first, "year")}), Rows());
  for (int row : {1, 2}) {
    EXPECT_EQ('%', grid().Text(row, app::kFigAnnualReturn).back());
    EXPECT_EQ('-', grid().Text(row, app::kFigDrawdown).front());
    EXPECT_NE(std::string::npos, grid().Text(row, app::kFigDrawdownSpan).find("至2021-"));
    EXPECT_NE("--", grid().Text(row, app::kFigSharpe));
  }
  Press(2);
  EXPECT_EQ((std::vector<std::string>{Expected(second, "month"), Expected(first, "month")}),
            Rows());

  // Two period buttons at once: the later one's drawing is the one shown.
  main().按钮3.Click();
  main().按钮6.Click();
  program_->Settle();
  EXPECT_EQ((std::vector<std::string>{Expected(second, "twoyear"), Expected(first, "twoyear")}),
            Rows());

  // 删除对比, then a redraw: the compared fund's row goes with its line.
  main().高级表格2.SetCurrentRow(1);
  main().菜单1.Choose(0);
  app().config().Write(analysis::kRiskFreeSection, analysis::kRiskFreeKey, "2.5");
  Press(1);
  EXPECT_EQ(std::vector<std::string>{Expected(second, "week")}, Rows());
  EXPECT_EQ("--", grid().Text(1, app::kFigAnnualReturn));  // a week is too short
  EXPECT_EQ("无风险利率2.50%", window.指标说明.Caption());

  // Closed and opened again: the last drawing, at once.
  window.Close();
  EXPECT_EQ(1, grid().RowCount());
  main().指标钮.Click();
  EXPECT_EQ(std::vector<std::string>{Expected(second, "week")}, Rows());
  EXPECT_TRUE(program_->dialogs.shown.empty());
}

}  // namespace
