#pragma once

// A program whose portal is the simulated one (main site, API and search service), with the
// fund lists, the board window and the search installed, and a log of the main window's titles.

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_fixture.h"
#include "funds/board_ranking.h"
#include "funds/fund_lists.h"
#include "funds/fund_search.h"
#include "funds/ranking_lists.h"
#include "funds/watchlist.h"
#include "sim/server.h"

namespace lists_test {

// Every title the window takes, in order. `on_title` runs on each new one, so a test can act
// between the pages of a list.
class TitleLog : public ui::WindowObserver {
 public:
  explicit TitleLog(ui::Window& window) : window_(window) { window_.SetObserver(this); }
  ~TitleLog() override { window_.SetObserver(nullptr); }
  void WindowChanged() override {
    if (window_.Title() == last_) return;
    last_ = window_.Title();
    titles.push_back(last_);
    if (on_title) on_title(last_);
  }
  void RunModal() override {}

  std::vector<std::string> titles;
  std::function<void(const std::string&)> on_title;

 private:
  ui::Window& window_;
  std::string last_;
};

class ListsTest : public ::testing::Test {
 protected:
  explicit ListsTest(int funds = 500) {
    sim::PortalSimOptions options;
    options.market.funds = funds;
    sim_ = std::make_unique<sim::PortalSim>(options);
    EXPECT_GT(sim_->Start(), 0);
    UsePortal(sim_->BaseUrl());
  }

  // A new program whose settings point every portal service at `base`.
  void UsePortal(const std::string& base) {
    titles_.reset();
    fixture_.reset();
    funds_.reset();
    app_test::PointPortalAt(dir_.path(), base);
    fixture_ = std::make_unique<app_test::Program>(dir_.path());
    funds_ = std::make_unique<funds::Funds>(app());
    funds::InstallRankingLists(funds());
    funds::InstallBoardLists(funds());
    funds::InstallFundLists(funds());
    funds::InstallFundSearch(app());
    titles_ = std::make_unique<TitleLog>(main());
  }

  app::App& app() { return fixture_->app; }
  funds::Funds& funds() { return *funds_; }
  app::MainWindow& main() { return app().main_window(); }
  app::BoardWindow& board() { return app().board_window(); }
  ui::Grid& grid() { return main().高级表格1; }
  std::vector<std::string>& titles() { return titles_->titles; }
  std::vector<std::string>& shown() { return fixture_->dialogs.shown; }
  std::vector<std::string> Targets() {
    std::vector<std::string> targets;
    for (const sim::RecordedRequest& request : sim_->requests().Snapshot()) {
      targets.push_back(request.target);
    }
    return targets;
  }
  // Runs until every load has ended.
  void Settle() { fixture_->Settle(); }
  // Waits until the portal has received `count` requests since its log was last cleared, so a
  // click now comes while the last of them waits. A list's pages follow each other only through
  // the UI thread: `pump` runs its posted work meanwhile.
  void WaitForRequests(size_t count, bool pump = false) {
    while (sim_->requests().Count() < count) {
      if (pump) {
        ui().PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(1));
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      }
    }
  }
  test_support::ManualUiThread& ui() { return fixture_->ui; }
  // Data rows of the fund grid with a fund code, counted from row 1 to the first empty one.
  int FilledRows() {
    int row = 1;
    while (!grid().Text(row, 1).empty()) ++row;
    return row - 1;
  }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<funds::Funds> funds_;  // outlives the program's App
  std::unique_ptr<app_test::Program> fixture_;
  std::unique_ptr<TitleLog> titles_;
};

// Adds `fund` to the watchlist and picks it there, as a user would; its loads start.
inline void OpenFromWatchlist(funds::Funds& funds, const sim::Fund& fund) {
  funds::AddToWatchlist(funds, funds::WatchlistEntry{fund.code, fund.name}, funds::kWatchlistFund);
  ui::ListView& list = funds.app().main_window().超级列表框2;
  const int row = list.RowCount() - 1;
  list.SetCurrentRow(row);
  list.on_item_event(row);
}

// Runs posted work until a request whose target holds `part` has reached `sim`, so that what a
// test does next happens while that request waits.
inline void PumpUntilAsked(test_support::ManualUiThread& ui, sim::PortalSim& sim,
                           const std::string& part) {
  auto asked = [&] {
    for (const sim::RecordedRequest& request : sim.requests().Snapshot()) {
      if (request.target.find(part) != std::string::npos) return true;
    }
    return false;
  };
  while (!asked()) {
    ui.PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(1));
  }
}

// Runs posted work until row 1 of the holdings grid shows stock `code`, 20 s at the most.
inline void WaitForHoldings(app::MainWindow& main, test_support::ManualUiThread& ui,
                            const std::string& code) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (main.高级表格5.Text(1, 1) != code && std::chrono::steady_clock::now() < deadline) {
    ui.PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(20));
  }
}

}  // namespace lists_test
