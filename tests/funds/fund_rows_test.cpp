#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/text.h"
#include "funds/fund_summary.h"
#include "funds/fund_table.h"

namespace {

// A record in the list format with the growth fields given and the rest filled.
portal::FundRecord Record(const std::string& growth_week, const std::string& growth_month,
                          const std::string& daily) {
  std::vector<std::string> f(20);
  f[0] = "000001";
  f[1] = "华夏成长混合";
  f[2] = "HXCZHH";
  f[3] = "混合型";
  f[4] = "12.5";
  f[5] = growth_week;
  f[6] = growth_month;
  f[7] = "0.00";
  f[15] = "2021-08-20";
  f[16] = "1.2340";
  f[17] = daily;
  std::string record;
  for (size_t i = 0; i < f.size(); ++i) record += (i ? "," : "") + f[i];
  return portal::CutFundRecord(record);
}

TEST(FundRowsTest, WritesColumnsFromTheirFieldsAndMarksEmptyChangesWithDash) {
  app::MainWindow window;
  ui::Grid& grid = window.高级表格1;
  funds::WriteFundRow(grid, 1, Record("-3.1", "55.2", ""));
  EXPECT_EQ("华夏成长混合", grid.Text(1, 0));
  EXPECT_EQ("000001", grid.Text(1, 1));
  EXPECT_EQ("混合型", grid.Text(1, 2));
  EXPECT_EQ("2021-08-20", grid.Text(1, 3));
  EXPECT_EQ("1.2340", grid.Text(1, 4));
  EXPECT_EQ("-", grid.Text(1, 5));
  EXPECT_EQ("-3.1%", grid.Text(1, 6));
  EXPECT_EQ("55.2%", grid.Text(1, 7));
  EXPECT_EQ("0.00%", grid.Text(1, 8));
  EXPECT_EQ("12.5%", grid.Text(1, 10));
  EXPECT_EQ("-", grid.Text(1, 13));
  EXPECT_EQ("", grid.Text(1, 14));
}

TEST(FundRowsTest, ColoursGainsLossesZeroAndLargeGains) {
  app::MainWindow window;
  ui::Grid& grid = window.高级表格1;
  const portal::FundRecord record = Record("-3.1", "55.2", "");
  funds::WriteFundRow(grid, 1, record);
  funds::ColourChangeCells(grid, 1, record);
  EXPECT_EQ(funds::kColourSilver, grid.TextColour(1, 5));  // "-"
  EXPECT_EQ(funds::kColourGreen, grid.TextColour(1, 6));   // -3.1%
  EXPECT_EQ(funds::kColourBlue, grid.TextColour(1, 7));    // 55.2%
  EXPECT_EQ(funds::kColourSilver, grid.TextColour(1, 8));  // 0.00%
  EXPECT_EQ(funds::kColourRed, grid.TextColour(1, 10));    // 12.5%
  EXPECT_EQ(ui::kDefaultTextColour, grid.TextColour(1, 4));

  EXPECT_EQ(funds::kColourRed, funds::ChangeColour(50.0));
  EXPECT_EQ(funds::kColourBlue, funds::ChangeColour(50.001));
  EXPECT_EQ(funds::kColourSilver, funds::ChangeColour(-0.00000001));
}

// Odd change texts take the colour of the leading number of the text the cell shows.
TEST(FundRowsTest, OddChangeTextsColourByTheirLeadingNumber) {
  const struct {
    std::string change;
    ui::Colour colour;
  } cases[] = {{"abc", funds::kColourSilver},      {" 5", funds::kColourRed},
               {"1e3", funds::kColourBlue},        {"-", funds::kColourSilver},
               {"-0.5x", funds::kColourGreen},     {"+.5", funds::kColourRed},
               {"50.00000001", funds::kColourRed}, {"%", funds::kColourSilver}};
  app::MainWindow window;
  ui::Grid& grid = window.高级表格1;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.change);
    const portal::FundRecord record = Record(c.change, "", "");
    funds::WriteFundRow(grid, 1, record);
    funds::ColourChangeCells(grid, 1, record);
    EXPECT_EQ(c.colour, grid.TextColour(1, 6));
    EXPECT_EQ(funds::ChangeColour(base::ToNumber(grid.Text(1, 6))), grid.TextColour(1, 6));
  }
}

TEST(FundRowsTest, ShortRecordFillsWhatItHas) {
  app::MainWindow window;
  ui::Grid& grid = window.高级表格1;
  funds::WriteFundRow(grid, 2, portal::CutFundRecord("000002,短记录基金,DJL,债券型,1.5"));
  EXPECT_EQ("短记录基金", grid.Text(2, 0));
  EXPECT_EQ("000002", grid.Text(2, 1));
  EXPECT_EQ("债券型", grid.Text(2, 2));
  EXPECT_EQ("", grid.Text(2, 3));
  EXPECT_EQ("1.5%", grid.Text(2, 10));
  EXPECT_EQ("-", grid.Text(2, 5));
  funds::WriteFundRow(grid, 3, portal::CutFundRecord(""));
  EXPECT_EQ("", grid.Text(3, 0));
  EXPECT_EQ("-", grid.Text(3, 13));
}

// The summary row's rules have no silver band: zero and empty values are green.
TEST(FundRowsTest, SummaryColoursHaveNoZeroColour) {
  EXPECT_EQ(funds::kColourBlue, funds::PeriodColour("55.2%"));
  EXPECT_EQ(funds::kColourRed, funds::PeriodColour("12.5%"));
  EXPECT_EQ(funds::kColourGreen, funds::PeriodColour("-3.1%"));
  EXPECT_EQ(funds::kColourGreen, funds::PeriodColour("0.00%"));
  EXPECT_EQ(funds::kColourGreen, funds::PeriodColour(""));
  EXPECT_EQ(funds::kColourRed, funds::NavColour("1.2345"));
  EXPECT_EQ(funds::kColourGreen, funds::NavColour(""));
}

}  // namespace
