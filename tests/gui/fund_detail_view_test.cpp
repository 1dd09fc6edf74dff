// A fund and a stock picked in the watchlist on the shown main window: the fund's row, its
// holdings and caption; the stock's shareholder page in the page panel.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <chrono>

#include "app/app_fixture.h"
#include "funds/watchlist.h"
#include "shell/bind_events.h"
#include "sim/fund_detail.h"
#include "sim/server.h"
#include "ui/qt/window_view.h"

namespace {

void ClickRow(QTableView* table, int row) {
  const QRect cell = table->visualRect(table->model()->index(row, 1));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
}

TEST(FundDetailViewTest, WatchlistFundShowsItsRowAndHoldingsAndAStockItsShareholderPage) {
  sim::PortalSimOptions options;
  options.market.funds = 60;
  sim::PortalSim portal(options);
  ASSERT_GT(portal.Start(), 0);
  test_support::TempDir dir;
  app_test::PointPortalAt(dir.path(), portal.BaseUrl());
  app_test::Program f(dir.path());
  app::App& app = f.app;
  shell::Features features;
  shell::BindEvents(app, features);
  ui::WindowView view(app.main_window());
  view.show();

  const sim::Fund& fund = portal.market().funds()[0];
  const sim::FundDetail detail = sim::DetailOf(portal.market(), fund);
  const sim::Stock& stock = detail.holdings[0].stock;
  for (const auto& [code, name, type] :
       {std::tuple{fund.code, fund.name, "基金"}, std::tuple{stock.code, stock.name, "股票"}}) {
    funds::AddToWatchlist(*features.funds, funds::WatchlistEntry{code, name}, type);
  }
  QCoreApplication::processEvents();
  auto* list = qobject_cast<QTableView*>(view.ControlWidget("超级列表框2"));
  ASSERT_NE(nullptr, list);

  ClickRow(list, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (app.main_window().高级表格5.Text(1, 1) != stock.code &&
         std::chrono::steady_clock::now() < deadline) {
    f.ui.PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(20));
    QCoreApplication::processEvents();
  }
  QCoreApplication::processEvents();
  const QAbstractItemModel* funds =
      qobject_cast<QTableView*>(view.ControlWidget("高级表格1"))->model();
  EXPECT_EQ(fund.code, funds->data(funds->index(0, 1)).toString().toStdString());
  EXPECT_EQ(detail.size, funds->data(funds->index(0, 14)).toString().toStdString());
  const QAbstractItemModel* holdings =
      qobject_cast<QTableView*>(view.ControlWidget("高级表格5"))->model();
  EXPECT_EQ(stock.name, holdings->data(holdings->index(0, 0)).toString().toStdString());
  EXPECT_EQ(detail.holdings[0].share,
            holdings->data(holdings->index(0, 2)).toString().toStdString());
  EXPECT_EQ(fund.name, qobject_cast<QLabel*>(view.ControlWidget("标签1"))->text().toStdString());
  EXPECT_TRUE(view.ControlWidget("超文本浏览框1")->isHidden());

  ClickRow(list, 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(portal.BaseUrl() + "/gdhs/detail/" + stock.code + ".html",
            app.main_window().超文本浏览框1.Url());
  EXPECT_FALSE(view.ControlWidget("超文本浏览框1")->isHidden());
  EXPECT_FALSE(view.ControlWidget("外形框1")->isHidden());
  EXPECT_EQ(fund.code, app.main_window().高级表格1.Text(1, 1));  // the fund grid stays
}

}  // namespace
