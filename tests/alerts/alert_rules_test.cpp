// When a rule holds, what it says, and which thresholds it takes.

#include "alerts/alert_rules.h"

#include <gtest/gtest.h>

namespace {

using alerts::Condition;

TEST(AlertRulesTest, EachConditionHoldsOnItsOwnSideOfTheThresholdAndSaysSo) {
  const alerts::Figures figures{"1.2340", "2021-08-06", "-2.31%", 1234};
  struct Case {
    std::string condition, threshold, said;  // said: empty when the rule does not hold
  } cases[] = {
      {"日跌幅≥", "2", "日跌幅 2.31% ≥ 2.00%"},
      {"日跌幅≥", "2.31", "日跌幅 2.31% ≥ 2.31%"},
      {"日跌幅≥", "2.32", ""},
      {"日涨幅≥", "0.01", ""},
      {"净值≥", "1.234", "净值 1.2340 ≥ 1.2340"},
      {"净值≥", "1.2341", ""},
      {"净值≤", "1.3", "净值 1.2340 ≤ 1.3000"},
      {"净值≤", "1.2339", ""},
      {"收益率≥", "12.34", "收益率 12.34% ≥ 12.34%"},
      {"收益率≤", "12.33", ""},
      {"收益率≤", "20", "收益率 12.34% ≤ 20.00%"},
  };
  for (const Case& c : cases) {
    const Condition condition = *alerts::ConditionOf(c.condition);
    const alerts::Rule rule{"000001", "华夏成长混合", condition,
                            *alerts::ParseThreshold(condition, c.threshold)};
    const std::optional<std::string> said = alerts::Fired(rule, figures);
    if (c.said.empty()) {
      EXPECT_FALSE(said) << c.condition << c.threshold << " " << *said;
    } else {
      EXPECT_EQ("华夏成长混合(000001) " + c.said + "，净值1.2340（2021-08-06）", said.value_or(""));
    }
  }
}

TEST(AlertRulesTest, MissingFiguresFireNothing) {
  const alerts::Rule day{"000001", "基金", Condition::kDayRise, 1};
  const alerts::Rule rate{"000001", "基金", Condition::kRateAtMost, 100000};
  EXPECT_FALSE(alerts::Fired(day, {"1.0000", "2021-08-06", "--", 0}));
  EXPECT_FALSE(alerts::Fired(day, {"1.0000", "", "5.00%", 0}));
  EXPECT_FALSE(alerts::Fired(rate, {"1.0000", "2021-08-06", "5.00%", std::nullopt}));
}

}  // namespace
