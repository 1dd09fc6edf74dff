#pragma once

// The positions window over a real ledger file against the simulated portal: a program started
// again over the same folders, and the steps a user takes.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "app/app_fixture.h"
#include "net/http_fetch.h"
#include "portal/fund_page.h"
#include "positions/positions.h"
#include "positions/positions_store.h"
#include "sim/server.h"

namespace positions_test {

using positions::PositionsStore;

class PositionsWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::PortalSimOptions options;
    options.market.funds = 40;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    app_test::PointPortalAt(dir_.path(), sim_->BaseUrl());
    Restart();
  }

  // A new program over the same folders, its start-up steps run.
  void Restart() {
    Stop();
    program_ = std::make_unique<app_test::Program>(dir_.path());
    positions_ = std::make_unique<positions::Positions>(app());
    positions_->Install();
    for (const app::StartupStep& step : app().startup_steps()) step.run(app());
    program_->Settle();
  }
  // The program's loads end before the feature whose state they use goes.
  void Stop() {
    if (program_) program_->app.workers().StopAndJoin();
    positions_.reset();
    program_.reset();
  }
  void TearDown() override { Stop(); }
  app::App& app() { return program_->app; }
  app::PositionsWindow& window() { return app().positions_window(); }
  ui::Grid& grid() { return window().持仓表格; }
  std::vector<std::string>& shown() { return program_->dialogs.shown; }
  const sim::Fund& Fund(int i) { return sim_->market().funds()[i]; }

  // Opens the window and waits for its first refresh to end.
  void Open() {
    window().Show();
    WaitForRefresh();
  }
  void WaitForRefresh() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (window().持仓状态.Caption().rfind("已刷新", 0) != 0 &&
           std::chrono::steady_clock::now() < deadline) {
      program_->ui.PumpEventsUntil(std::chrono::steady_clock::now() +
                                   std::chrono::milliseconds(10));
    }
    ASSERT_EQ(0u, window().持仓状态.Caption().rfind("已刷新", 0)) << window().持仓状态.Caption();
  }
  void Enter(const std::string& code, const std::string& shares, const std::string& price,
             const std::string& day = "") {
    window().代码框.SetText(code);
    window().份额框.SetText(shares);
    window().净值框.SetText(price);
    window().日期框.SetText(day);
  }
  // Clicks `button` with these fee and amount, and waits for what it starts.
  void Press(ui::Button& button, const std::string& fee = "", const std::string& amount = "") {
    window().费用框.SetText(fee);
    window().金额框.SetText(amount);
    button.Click();
    program_->Settle();
  }
  size_t StoredRecords() {
    return PositionsStore(positions::LedgerPath(app().paths())).Records().size();
  }
  size_t MainPageRequests(const std::string& code) {
    size_t count = 0;
    for (const sim::RecordedRequest& request : sim_->requests().Snapshot()) {
      if (request.path == "/" + code + ".html") ++count;
    }
    return count;
  }
  portal::FundSummary SummaryOf(const std::string& code) {
    net::TransferControl control;
    return portal::FetchFundSummary(app().portal(), code, &control).value_or(portal::FundSummary{});
  }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<app_test::Program> program_;
  std::unique_ptr<positions::Positions> positions_;
};

}  // namespace positions_test
