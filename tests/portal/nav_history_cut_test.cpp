// The cut of a fund's NAV history from a stored answer: the forms its values come in, days read
// in UTC+8, points put in day order, and the exact decimals the values become.

#include <gtest/gtest.h>

#include "base/nav_history.h"
#include "portal/nav_history.h"

namespace portal {
namespace {

// 2021-08-06 00:00 in UTC+8.
constexpr long long kAugust6 = 1628179200000;

std::string Point(long long x, const std::string& rest) {
  return "{\"x\":" + std::to_string(x) + rest + "}";
}

TEST(NavHistoryCutTest, ValuesOfEveryFormBecomeExactDecimalsAndDaysComeInOrder) {
  const long long day = 86'400'000;
  const std::string answer =
      "/*基金*/var fS_name = '测试混合A';var fS_code = \"000001\";var fund_sourceRate = \"1.50\";"
      "var fund_Rate = \"0.15\";var fund_minsg = \"10\";\nvar Data_netWorthTrend = [" +
      Point(kAugust6 + 3 * day, ",\"y\":\"1.23456\",\"equityReturn\":\"\"") + "," +
      Point(kAugust6, ",y:1.2,equityReturn:0,unitMoney:''") + "," +
      Point(kAugust6 - 1, ",\"y\":0.9999,\"equityReturn\":-0.5") + "," +
      Point(kAugust6 + day,
            ",\"y\":1.1,\"equityReturn\":null,\"unitMoney\":\"分红：每份派现金0.123456789元\"") +
      "," + Point(kAugust6 + day, ",\"y\":1.15,\"unitMoney\":\"拆分：每份基金份额折算1.0234份\"") +
      "," + Point(kAugust6 + 2 * day, ",\"y\":0") + "];\nvar Data_ACWorthTrend = [[" +
      std::to_string(kAugust6 + 3 * day) + ",\"2.5\"],[" + std::to_string(kAugust6) + ",2.0001],[" +
      std::to_string(kAugust6 + day) + ",null],[" + std::to_string(kAugust6 - 1) + ",-1]];";
  const auto history = CutNavHistory(answer);
  ASSERT_TRUE(history);
  EXPECT_EQ("测试混合A", history->name);
  EXPECT_EQ("000001", history->code);
  EXPECT_EQ(1500, history->fee_rate);
  EXPECT_EQ(1000, history->min_purchase);
  struct Expected {
    const char* day;
    std::int64_t unit;
    std::optional<std::int64_t> accumulated, growth;
    std::int64_t dividend, split;
  } expected[] = {
      // The last millisecond of 08-05 in UTC+8; an accumulated NAV below 0 is none.
      {"2021-08-05", 9999, std::nullopt, -5000, 0, 0},
      {"2021-08-06", 12000, 20001, 0, 0, 0},
      // A repeated day keeps its last point.
      {"2021-08-07", 11500, std::nullopt, std::nullopt, 0, 102340000},
      // The unit NAV of 0 on 08-08 leaves that point out; beyond four decimals rounds.
      {"2021-08-09", 12346, 25000, std::nullopt, 0, 0},
  };
  ASSERT_EQ(std::size(expected), history->points.size());
  for (size_t i = 0; i < std::size(expected); ++i) {
    const base::NavPoint& point = history->points[i];
    EXPECT_EQ(expected[i].day, point.day);
    EXPECT_EQ(expected[i].unit, point.unit_nav) << point.day;
    EXPECT_EQ(expected[i].accumulated, point.accumulated_nav) << point.day;
    EXPECT_EQ(expected[i].growth, point.day_growth) << point.day;
    EXPECT_EQ(expected[i].dividend, point.dividend) << point.day;
    EXPECT_EQ(expected[i].split, point.split_ratio) << point.day;
  }
  EXPECT_EQ("拆分：每份基金份额折算1.0234份", history->points[2].unit_money);

  // Without the repeated day the dividend stands, rounded at eight decimals.
  const auto dividend = CutNavHistory(
      "var Data_netWorthTrend = [" +
      Point(kAugust6, ",\"y\":1.1,\"unitMoney\":\"分红：每份派现金0.123456789元\"") + "];");
  ASSERT_TRUE(dividend);
  EXPECT_EQ(12345679, dividend->points.at(0).dividend);
  EXPECT_FALSE(dividend->fee_rate);
}

TEST(NavHistoryCutTest, ScaledDecimalsReadAndWriteExactly) {
  EXPECT_EQ(12345, base::ScaledDecimal("1.2345", 4));
  EXPECT_EQ(-12346, base::ScaledDecimal("-1.23455", 4));
  EXPECT_EQ(10000, base::ScaledDecimal("1", 4));
  for (const char* bad : {"", ".", "1e3", "1.2.3", " 1", "12345678901"}) {
    EXPECT_FALSE(base::ScaledDecimal(bad, 4)) << bad;
  }
  EXPECT_EQ("1.2345", base::ScaledText(12345, 4, 4));
  EXPECT_EQ("-0.53", base::ScaledText(-5250, 4, 2));
  EXPECT_EQ("0.00", base::ScaledText(-49, 4, 2));
  EXPECT_EQ("1.0234", base::ScaledText(102340000, 8, 4));
}

}  // namespace
}  // namespace portal
