// The positions window as the user drives it: the main window's button, typing into the boxes,
// the buttons, a row picked in the grid, against the simulated portal.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <chrono>

#include "app/app_fixture.h"
#include "base/decimal.h"
#include "net/http_fetch.h"
#include "portal/fund_page.h"
#include "positions/ledger.h"
#include "shell/bind_events.h"
#include "sim/server.h"
#include "ui/qt/window_view.h"

namespace {

template <class W>
W* Find(ui::WindowView& view, const char* name) {
  auto* widget = qobject_cast<W*>(view.ControlWidget(name));
  EXPECT_NE(nullptr, widget) << name;
  return widget;
}

// With FUNDVIEW_SCREENSHOTS naming a directory, the window is saved there for a look.
void Save(QWidget& widget, const char* name) {
  QCoreApplication::processEvents();
  const char* dir = std::getenv("FUNDVIEW_SCREENSHOTS");
  if (dir != nullptr && *dir != '\0') widget.grab().save(QString(dir) + "/" + name);
}

class PositionsWindowViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::PortalSimOptions options;
    options.market.funds = 60;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    app_test::PointPortalAt(dir_.path(), sim_->BaseUrl());
    program_ = std::make_unique<app_test::Program>(dir_.path());
    shell::BindEvents(app(), features_);
    main_view_ = std::make_unique<ui::WindowView>(app().main_window());
    positions_view_ = std::make_unique<ui::WindowView>(app().positions_window());
    main_view_->show();
  }
  void TearDown() override {
    positions_view_.reset();
    main_view_.reset();
  }
  app::App& app() { return program_->app; }

  void WaitForRefresh() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (app().positions_window().持仓状态.Caption().rfind("已刷新", 0) != 0 &&
           std::chrono::steady_clock::now() < deadline) {
      program_->ui.PumpEvents();
      QTest::qWait(10);
    }
    ASSERT_EQ(0u, app().positions_window().持仓状态.Caption().rfind("已刷新", 0));
  }
  void Type(const char* box, const std::string& text) {
    auto* edit = Find<QLineEdit>(*positions_view_, box);
    edit->clear();
    QTest::keyClicks(edit, QString::fromStdString(text));
  }
  void Click(const char* button) {
    QTest::mouseClick(Find<QPushButton>(*positions_view_, button), Qt::LeftButton);
    program_->Settle();
  }
  portal::FundSummary SummaryOf(const std::string& code) {
    net::TransferControl control;
    return portal::FetchFundSummary(app().portal(), code, &control).value_or(portal::FundSummary{});
  }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<app_test::Program> program_;
  shell::Features features_;
  std::unique_ptr<ui::WindowView> main_view_;
  std::unique_ptr<ui::WindowView> positions_view_;
};

TEST_F(PositionsWindowViewTest, BuysSellsAndRefreshesByClicksAndKeys) {
  QTest::mouseClick(Find<QPushButton>(*main_view_, "持仓钮"), Qt::LeftButton);
  ASSERT_TRUE(positions_view_->isVisible());
  EXPECT_EQ(QString("我的持仓"), positions_view_->windowTitle());
  EXPECT_EQ(QString("基金代码"), Find<QLineEdit>(*positions_view_, "代码框")->placeholderText());
  WaitForRefresh();

  // One fund bought below its NAV, one above, one at it: up, down and flat.
  const auto& funds = sim_->market().funds();
  for (int i = 0; i < 3; ++i) {
    const portal::FundSummary summary = SummaryOf(funds[i].code);
    const std::int64_t nav = *base::ParsePositive(summary.unit_nav, 4);
    const std::int64_t offset = i == 0 ? -1000 : i == 1 ? 1000 : 0;
    Type("代码框", funds[i].code);
    Type("份额框", "1000");
    Type("净值框", base::FormatScaled(nav + offset, 4));
    Click("买入钮");
  }
  EXPECT_TRUE(program_->dialogs.shown.empty());
  Click("刷新持仓钮");
  WaitForRefresh();
  ui::Grid& grid = app().positions_window().持仓表格;
  ASSERT_EQ(5, grid.RowCount());
  EXPECT_EQ(ui::Rgb(255, 0, 0), grid.TextColour(1, app::kPosHeldProfit));
  EXPECT_EQ(ui::Rgb(0, 128, 0), grid.TextColour(2, app::kPosHeldProfit));
  EXPECT_EQ("0.00", grid.Text(3, app::kPosHeldProfit));
  EXPECT_EQ("+100.00", grid.Text(1, app::kPosHeldProfit));
  EXPECT_EQ("-100.00", grid.Text(2, app::kPosHeldProfit));
  EXPECT_EQ("0.00", grid.Text(4, app::kPosHeldProfit));
  Save(*positions_view_, "positions_window.png");
  Save(*main_view_, "main_window_positions.png");
  EXPECT_EQ(0u, app().main_window().持仓标签.Caption().rfind("当日收益 ", 0));
  EXPECT_EQ(QString::fromStdString(app().main_window().持仓标签.Caption()),
            Find<QLabel>(*main_view_, "持仓标签")->text());

  // A click on the second fund's row, then a sale of part of it.
  auto* table = Find<QTableView>(*positions_view_, "持仓表格");
  const QRect cell = table->visualRect(table->model()->index(1, 0));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  ASSERT_EQ(2, grid.CurrentRow());
  Type("份额框", "400");
  Type("净值框", "1");
  Click("卖出钮");
  EXPECT_EQ("600.00", grid.Text(2, app::kPosShares));
  Type("份额框", "601");
  Click("卖出钮");
  EXPECT_EQ(std::vector<std::string>{"卖出份额超过持有份额（持有600.00份）"},
            program_->dialogs.shown);
}

}  // namespace
