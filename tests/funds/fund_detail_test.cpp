// A fund opened in depth against the simulated portal: the summary row, the profile columns,
// the holdings from the worker, and what an overtaken load leaves alone.

#include "sim/fund_detail.h"

#include <gtest/gtest.h>

#include <chrono>

#include "app/app_fixture.h"
#include "funds/fund_profile.h"
#include "funds/fund_summary.h"
#include "funds/fund_table.h"
#include "funds/holdings_overlap.h"
#include "funds/lists_fixture.h"
#include "funds/ranking_lists.h"
#include "funds/watchlist.h"
#include "sim/server.h"

namespace {

class FundDetailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::PortalSimOptions options;
    options.market.funds = 200;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    app_test::PointPortalAt(dir_.path(), sim_->BaseUrl());
    app_ = std::make_unique<app::App>(app_test::TestPaths(dir_.path()), dialogs_, ui_, clock_);
    funds_ = std::make_unique<funds::Funds>(*app_);
    funds::InstallRankingLists(*funds_);
    funds::InstallFundDetail(*funds_);
    funds::InstallFundPickers(*funds_, {});  // no chart here
  }

  // The first fund (from `start`) that `fits`.
  template <class Fits>
  const sim::Fund& FundWhere(Fits fits, int start = 0) {
    const auto& all = sim_->market().funds();
    for (size_t i = start; i < all.size(); ++i) {
      if (fits(static_cast<int>(i), all[i])) return all[i];
    }
    ADD_FAILURE() << "no such fund";
    return all.front();
  }
  sim::FundDetail Detail(const sim::Fund& fund) { return sim::DetailOf(sim_->market(), fund); }

  void OpenFromWatchlist(const sim::Fund& fund) {
    lists_test::OpenFromWatchlist(*funds_, fund);
    Settle();
  }
  void Settle() { app_test::Settle(*app_, ui_); }
  void WaitForHoldings(const std::string& code) { lists_test::WaitForHoldings(main(), ui_, code); }
  app::MainWindow& main() { return app_->main_window(); }
  ui::Grid& grid() { return main().高级表格1; }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  test_support::RecordingDialogs dialogs_;
  test_support::ManualUiThread ui_;
  test_support::FixedClock clock_{base::DateTime{2021, 8, 8, 9, 5, 3}};
  std::unique_ptr<funds::Funds> funds_;  // outlives the App
  std::unique_ptr<app::App> app_;
};

TEST_F(FundDetailTest, WatchlistFundFillsItsRowHoldingsAndTheComparisonRow) {
  const sim::Fund& fund = FundWhere([](int i, const sim::Fund& f) {
    return i % 7 != 3 && i % 5 != 2 && i % 9 != 4 && i % 11 != 6 && f.rating > 0;
  });
  const sim::FundDetail detail = Detail(fund);
  main().高级表格2.SetText(1, 1, "009999");  // a fund held for comparison
  main().外形框1.SetVisible(true);
  OpenFromWatchlist(fund);

  EXPECT_FALSE(main().外形框1.Visible());
  EXPECT_EQ(fund.name, grid().Text(1, 0));
  EXPECT_EQ(fund.code, grid().Text(1, 1));
  EXPECT_EQ(fund.type, grid().Text(1, 2));
  EXPECT_EQ(sim::UnitNavText(fund), grid().Text(1, 4));
  const std::vector<std::string> periods = sim::PeriodTexts(fund);
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(i < periods.size() ? periods[i] : "", grid().Text(1, 6 + static_cast<int>(i))) << i;
  }
  EXPECT_EQ(detail.size, grid().Text(1, 14));
  EXPECT_EQ(detail.rating, grid().Text(1, 15));
  EXPECT_EQ(detail.manager->tenure_return, grid().Text(1, 16));
  EXPECT_EQ(detail.manager->tenure, grid().Text(1, 17));
  for (size_t i = 0; i < 6; ++i) EXPECT_EQ(detail.stats[i], grid().Text(1, 18 + int(i))) << i;
  for (int c = 0; c <= 23; ++c) EXPECT_EQ(grid().Text(1, c), main().高级表格2.Text(2, c)) << c;
  EXPECT_EQ(fund.code, funds_->detail().current_code);

  WaitForHoldings(detail.holdings[0].stock.code);
  for (int r = 1; r <= 10; ++r) {
    EXPECT_EQ(detail.holdings[r - 1].stock.name, main().高级表格5.Text(r, 0)) << r;
    EXPECT_EQ(detail.holdings[r - 1].share, main().高级表格5.Text(r, 2)) << r;
  }
  EXPECT_EQ(fund.name, main().标签1.Caption());

  // A fund with four holdings and one with a ")" in a stock name, then a missing manager table
  // and two figures per statistic.
  const sim::Fund& four = FundWhere([](int i, const sim::Fund&) { return i % 9 == 4; });
  OpenFromWatchlist(four);
  WaitForHoldings(Detail(four).holdings[0].stock.code);
  EXPECT_NE("", main().高级表格5.Text(4, 0));
  for (int r = 5; r <= 10; ++r) EXPECT_EQ("", main().高级表格5.Text(r, 0)) << r;

  const sim::Fund& bracket = FundWhere([](int i, const sim::Fund&) { return i % 11 == 6; });
  OpenFromWatchlist(bracket);
  WaitForHoldings(Detail(bracket).holdings[0].stock.code);
  EXPECT_NE(std::string::npos, main().高级表格5.Text(3, 0).find(')'));
  EXPECT_EQ(Detail(bracket).holdings[9].share, main().高级表格5.Text(10, 2));

  const sim::Fund& bare =
      FundWhere([](int i, const sim::Fund& f) { return i % 7 == 3 && i % 5 == 2 && !f.rating; });
  OpenFromWatchlist(bare);
  EXPECT_EQ("", grid().Text(1, 16));
  EXPECT_EQ("", grid().Text(1, 17));
  EXPECT_EQ("0", grid().Text(1, 15));
  EXPECT_EQ(Detail(bare).size, grid().Text(1, 14));
  EXPECT_NE("", grid().Text(1, 21));
  EXPECT_EQ("", grid().Text(1, 22));
}

TEST_F(FundDetailTest, ErrorPagesWithNormalBodiesAndCutShortPagesAreFailedLoads) {
  const sim::Fund& fund = FundWhere([](int i, const sim::Fund& f) { return f.rating > 0; });
  sim::FaultOptions error_pages;
  error_pages.error_rate = 1;
  error_pages.error_keeps_body = true;
  sim::FaultOptions cut_short;
  cut_short.truncate_rate = 1;
  for (const sim::FaultOptions& faults : {error_pages, cut_short}) {
    sim_->SetFaults(faults);
    main().单选框1.Click();
    Settle();
    EXPECT_EQ("", grid().Text(1, 1));
    OpenFromWatchlist(fund);
    // The row keeps only what the watchlist gave; a failed rating is no "0".
    EXPECT_EQ(fund.code, grid().Text(1, 1));
    for (int c = 2; c <= 23; ++c) EXPECT_EQ("", grid().Text(1, c)) << c;
  }
}

TEST_F(FundDetailTest, ComparedFundsShowTheStocksTheyShareAndAnOvertakenLoadColoursNothing) {
  // Two funds with ten holdings each that share exactly two stocks, and a third fund.
  const auto& all = sim_->market().funds();
  auto codes = [this](const sim::Fund& f) {
    std::vector<std::string> out;
    for (const sim::Holding& h : Detail(f).holdings) out.push_back(h.stock.code);
    return out;
  };
  auto shared = [&](const sim::Fund& a, const sim::Fund& b) {
    const std::vector<std::string> theirs = codes(b);
    std::vector<std::string> both;
    for (const std::string& c : codes(a)) {
      if (std::count(theirs.begin(), theirs.end(), c) > 0) both.push_back(c);
    }
    return both;
  };
  const sim::Fund* first = nullptr;
  const sim::Fund* second = nullptr;
  for (size_t i = 0; i < all.size() && !second; ++i) {
    for (size_t j = i + 1; j < all.size() && !second && codes(all[i]).size() == 10; ++j) {
      if (codes(all[j]).size() == 10 && shared(all[i], all[j]).size() == 2) {
        first = &all[i];
        second = &all[j];
      }
    }
  }
  ASSERT_NE(nullptr, second);
  const sim::Fund& third = FundWhere([&](int, const sim::Fund& f) {
    return &f != first && &f != second && !shared(f, *first).empty();
  });

  OpenFromWatchlist(*first);
  WaitForHoldings(Detail(*first).holdings[0].stock.code);
  EXPECT_EQ("", main().重合标签.Caption());
  grid().SetCurrentRow(1);
  funds::AddToComparison(*app_, funds_->detail());
  EXPECT_EQ("", main().重合标签.Caption());

  // The third fund's holdings answer late, after the second fund's load has started.
  sim::FaultOptions slow;
  slow.target_latency = {{"code=" + third.code, 800}};
  sim_->SetFaults(slow);
  lists_test::OpenFromWatchlist(*funds_, third);
  lists_test::PumpUntilAsked(ui_, *sim_, "code=" + third.code);
  OpenFromWatchlist(*second);
  WaitForHoldings(Detail(*second).holdings[0].stock.code);
  ui_.PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(1200));
  ASSERT_EQ(Detail(*second).holdings[0].stock.code, main().高级表格5.Text(1, 1));

  const std::vector<std::string> both = shared(*first, *second);
  double overlap = 0;
  for (const std::string& code : both) {
    double mine = 0, theirs = 0;
    for (const sim::Holding& h : Detail(*second).holdings) {
      if (h.stock.code == code) mine = std::stod(h.share);
    }
    for (const sim::Holding& h : Detail(*first).holdings) {
      if (h.stock.code == code) theirs = std::stod(h.share);
    }
    overlap += std::min(mine, theirs);
  }
  char figure[32];
  std::snprintf(figure, sizeof figure, "%.2f", overlap);
  EXPECT_EQ("重合2只，重合度" + std::string(figure) + "%", main().重合标签.Caption());
  for (ui::Grid* g : {&main().高级表格5, &main().高级表格6}) {
    for (int r = 1; r <= 10; ++r) {
      const bool is_shared = std::count(both.begin(), both.end(), g->Text(r, 1)) > 0;
      for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(is_shared ? funds::kSharedStockColour : ui::kDefaultTextColour,
                  g->TextColour(r, c))
            << r << "," << c;
      }
    }
  }
}

TEST_F(FundDetailTest, ListReloadDuringASlowProfilePageLeavesTheNewListAlone) {
  main().单选框2.Click();
  Settle();
  ASSERT_NE("", grid().Text(3, 1));
  sim::FaultOptions slow;
  slow.target_latency = {{"/jjjl_", 500}};
  sim_->SetFaults(slow);
  grid().SetCurrentRow(3);
  grid().on_cell_event(3, 0);
  lists_test::PumpUntilAsked(ui_, *sim_, "/jjjl_");
  main().单选框4.Click();
  Settle();

  EXPECT_EQ("昨日跌幅榜", main().Title());
  for (int r = 1; r <= 20; ++r) {
    for (int c = 14; c <= 23; ++c) EXPECT_EQ("", grid().Text(r, c)) << r << "," << c;
  }
  for (const sim::RecordedRequest& r : sim_->requests().Snapshot()) {
    EXPECT_EQ(std::string::npos, r.target.find("FundArchivesDatas")) << "holdings started";
  }
}

TEST_F(FundDetailTest, DownloadRowsWriteOnlyIntoTheListTheyWereTakenFrom) {
  main().单选框1.Click();
  Settle();
  auto load_row = [&](int row, std::optional<funds::DetailOutcome>* outcome) {
    funds::ProfileJob job;
    job.row = row;
    job.code = funds::FundCodeAt(grid(), row);
    funds::LoadProfilePages(*app_, app_->loads().Current(app::LoadTarget::kFundGrid), job, {},
                            [outcome](std::optional<funds::DetailOutcome> o) { *outcome = o; });
  };
  std::optional<funds::DetailOutcome> kept, stale;
  load_row(2, &kept);
  Settle();
  ASSERT_TRUE(kept.has_value());
  EXPECT_EQ(0u, kept->failed);
  EXPECT_NE("", grid().Text(2, 14));
  EXPECT_NE("", grid().Text(2, 18));

  load_row(3, &stale);
  main().单选框4.Click();  // the grid is refilled before the worker's answers come back
  Settle();
  EXPECT_FALSE(stale.has_value());
  for (int c = 14; c <= 23; ++c) EXPECT_EQ("", grid().Text(3, c)) << c;
}

}  // namespace
