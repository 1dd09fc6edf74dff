// The stocks two compared funds share, as the two holdings grids show them.

#include "funds/holdings_overlap.h"

#include <gtest/gtest.h>

#include "app/app_fixture.h"
#include "funds/holdings.h"
#include "funds/watchlist.h"

namespace {

using Stocks = std::vector<std::vector<std::string>>;  // name, code, share

class HoldingsOverlapTest : public ::testing::Test, public app_test::AppFixture {
 protected:
  HoldingsOverlapTest() { detail_.compared_code = "000002"; }
  // The holdings kept for a grid, and the grid written from them.
  void Fill(ui::Grid& grid, const Stocks& stocks) {
    std::vector<portal::Holding>& kept =
        &grid == &main().高级表格5 ? detail_.current_holdings : detail_.compared_holdings;
    kept.clear();
    for (const std::vector<std::string>& stock : stocks) {
      kept.push_back({stock[0], stock[1], stock[2]});
    }
    grid.ResetToDesign();
    funds::WriteHoldings(grid, kept);
  }
  // The rows of `grid` whose three cells are purple; every other cell must be black.
  std::vector<int> PurpleRows(const ui::Grid& grid) {
    std::vector<int> rows;
    for (int r = 1; r < grid.RowCount(); ++r) {
      const ui::Colour first = grid.TextColour(r, 0);
      for (int c = 1; c < 3; ++c) EXPECT_EQ(first, grid.TextColour(r, c)) << r << "," << c;
      if (first == funds::kSharedStockColour)
        rows.push_back(r);
      else
        EXPECT_EQ(ui::kDefaultTextColour, first) << r;
    }
    return rows;
  }
  app::MainWindow& main() { return app.main_window(); }
  funds::FundDetail detail_;
};

TEST_F(HoldingsOverlapTest, SharedStocksArePurpleInBothGridsAndTheCaptionSumsTheSmallerShares) {
  Fill(main().高级表格5, {{"甲", "600001", "9.87%"},
                          {"乙", "600002", "5.5%"},
                          {"丙", "000001", "3%"},
                          {"丁", "000002", "0.125%"}});
  Fill(main().高级表格6, {{"戊", "300001", "2.00%"},
                          {"乙", "600002", "6.25"},
                          {"甲", "600001", "10.1%"},
                          {"丁", "000002", "0.13%"}});
  funds::RefreshHoldingsOverlap(app, detail_);
  // 9.87 + 5.5 + 0.125 = 15.495, shown half away from zero.
  EXPECT_EQ("重合3只，重合度15.50%", main().重合标签.Caption());
  EXPECT_EQ((std::vector<int>{1, 2, 4}), PurpleRows(main().高级表格5));
  EXPECT_EQ((std::vector<int>{2, 3, 4}), PurpleRows(main().高级表格6));

  // Nothing shared: the colours go, the caption counts none.
  Fill(main().高级表格6, {{"戊", "300001", "2.00%"}});
  funds::RefreshHoldingsOverlap(app, detail_);
  EXPECT_EQ("重合0只，重合度0.00%", main().重合标签.Caption());
  EXPECT_EQ(std::vector<int>{}, PurpleRows(main().高级表格5));

  // "删除对比" empties the compared grid: no caption, no colour.
  Fill(main().高级表格6, {{"甲", "600001", "1%"}});
  funds::RefreshHoldingsOverlap(app, detail_);
  EXPECT_EQ("重合1只，重合度1.00%", main().重合标签.Caption());
  main().高级表格2.SetText(1, 0, "某基金");
  main().高级表格2.SetCurrentRow(1);
  funds::RemoveComparison(app, detail_);
  EXPECT_EQ("", detail_.compared_code);
  EXPECT_EQ("", main().重合标签.Caption());
  EXPECT_EQ(std::vector<int>{}, PurpleRows(main().高级表格5));
}

TEST(HoldingsOverlapShareTest, SharesReadAsDecimalNumbersWithOrWithoutPercent) {
  EXPECT_EQ(9870000, funds::ShareMillionths("9.87%"));
  EXPECT_EQ(9800000, funds::ShareMillionths("9.8"));
  EXPECT_EQ(12000000, funds::ShareMillionths(" 12% "));
  for (const char* bad : {"", "%", "--", "1.2.3", "-1%", "abc"}) {
    EXPECT_EQ(std::nullopt, funds::ShareMillionths(bad)) << bad;
  }
}

}  // namespace
