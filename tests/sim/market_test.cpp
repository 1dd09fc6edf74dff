#include "sim/market.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "base/text.h"

namespace sim {
namespace {

TEST(MarketTest, SameSeedGivesSameMarketAndOtherSeedAnother) {
  MarketOptions options;
  options.funds = 400;
  options.boards = 30;
  const Market first(options), second(options);
  ASSERT_EQ(first.funds().size(), second.funds().size());
  for (size_t i = 0; i < first.funds().size(); ++i) {
    EXPECT_EQ(Market::FundGuideRecord(first.funds()[i]),
              Market::FundGuideRecord(second.funds()[i]));
  }
  for (size_t b = 0; b < first.boards().size(); ++b) {
    EXPECT_EQ(first.boards()[b].code, second.boards()[b].code);
    EXPECT_EQ(first.boards()[b].funds, second.boards()[b].funds);
  }
  options.seed += 1;
  const Market other(options);
  EXPECT_NE(Market::FundGuideRecord(first.funds()[0]), Market::FundGuideRecord(other.funds()[0]));
}

TEST(MarketTest, FundsLookLikeThePortalsFunds) {
  const Market market;  // the defaults the demo uses
  EXPECT_EQ(3000u, market.funds().size());
  const std::set<std::string> types = {"股票型", "混合型", "债券型", "指数型", "QDII", "FOF"};
  std::set<std::string> codes, names, seen_types;
  int five_star = 0, empty_three_years = 0, empty_day = 0, above_fifty = 0;
  for (const Fund& fund : market.funds()) {
    EXPECT_EQ(6u, fund.code.size());
    EXPECT_EQ(std::string::npos, fund.code.find_first_not_of("0123456789")) << fund.code;
    codes.insert(fund.code);
    names.insert(fund.name);
    seen_types.insert(fund.type);
    EXPECT_EQ(std::string::npos, fund.name.find(',')) << fund.name;
    const std::string record = Market::FundGuideRecord(fund);
    EXPECT_EQ(21, std::count(record.begin(), record.end(), ',')) << record;
    const std::vector<std::string> fields = base::Split(record, ",");
    ASSERT_EQ(22u, fields.size()) << record;
    EXPECT_EQ(fund.code, fields[0]);
    EXPECT_EQ(fund.name, fields[1]);
    EXPECT_EQ(fund.type, fields[3]);
    EXPECT_EQ(FormatGrowth(fund.growth[5]), fields[4]);   // this year
    EXPECT_EQ(FormatGrowth(fund.growth[2]), fields[6]);   // last month
    EXPECT_EQ(FormatGrowth(fund.growth[8]), fields[11]);  // three years
    EXPECT_EQ(FormatGrowth(fund.growth[0]), fields[17]);  // day
    EXPECT_EQ(10u, fields[15].size());                    // yyyy-mm-dd
    EXPECT_GT(base::ToNumber(fields[16]), 0.0);
    five_star += fund.rating == 5;
    empty_three_years += fields[11].empty();
    empty_day += fields[17].empty();
    above_fifty += fund.growth[8].value_or(0) > 50;
  }
  EXPECT_EQ(market.funds().size(), codes.size());
  EXPECT_EQ(market.funds().size(), names.size());
  EXPECT_EQ(types, seen_types);
  // Enough of each kind for lists of several pages, colours and empty cells.
  EXPECT_GT(five_star, 100);
  EXPECT_GT(empty_three_years, 100);
  EXPECT_GT(empty_day, 5);
  EXPECT_GT(above_fifty, 20);
  EXPECT_TRUE(std::is_sorted(market.funds().begin(), market.funds().end(),
                             [](const Fund& a, const Fund& b) { return a.code < b.code; }));
}

TEST(MarketTest, BoardsHaveDistinctCodesAndDeterministicMembers) {
  const Market market;
  ASSERT_EQ(130u, market.boards().size());
  EXPECT_EQ("工程建设", market.boards()[0].name);
  EXPECT_EQ("生物识别", market.boards()[107].name);
  std::set<std::string> codes;
  for (const Board& board : market.boards()) {
    EXPECT_EQ("BK0" + std::to_string(board.number), board.code);
    codes.insert(board.code);
    EXPECT_EQ(&board, market.FindBoard(board.code));
  }
  EXPECT_EQ(market.boards().size(), codes.size());
  EXPECT_GT(market.boards()[0].funds.size(), 30u);
  EXPECT_EQ(0u, market.boards().back().funds.size());
  EXPECT_EQ(nullptr, market.FindBoard("BK09999"));
}

}  // namespace
}  // namespace sim
