// The periods, the period's change and the table's texts of the NAV history window.

#include "navchart/nav_figures.h"

#include <gtest/gtest.h>

namespace {

using app::NavPeriod;
using base::NavPoint;

TEST(NavFiguresTest, PeriodsStartOnCalendarDaysClampedToTheMonthsEnd) {
  struct Case {
    const char* latest;
    NavPeriod period;
    const char* first;
  };
  for (const Case& c : {Case{"2021-08-20", NavPeriod::kMonth1, "2021-07-20"},
                        Case{"2021-03-31", NavPeriod::kMonth1, "2021-02-28"},
                        Case{"2020-03-31", NavPeriod::kMonth1, "2020-02-29"},
                        Case{"2021-05-31", NavPeriod::kMonth3, "2021-02-28"},
                        Case{"2021-05-31", NavPeriod::kMonth6, "2020-11-30"},
                        Case{"2021-01-15", NavPeriod::kMonth6, "2020-07-15"},
                        Case{"2024-02-29", NavPeriod::kYear1, "2023-02-28"},
                        Case{"2021-08-20", NavPeriod::kYear3, "2018-08-20"},
                        Case{"2021-08-20", NavPeriod::kAll, ""}}) {
    EXPECT_EQ(c.first, navchart::PeriodFirstDay(c.latest, c.period)) << c.latest;
  }
}

std::vector<NavPoint> Days(std::initializer_list<const char*> days) {
  std::vector<NavPoint> points;
  for (const char* day : days) points.push_back({day, 10000, 10000, 0, 0, 0, ""});
  return points;
}

TEST(NavFiguresTest, APeriodHoldsThePointsOnOrAfterItsFirstDay) {
  const std::vector<NavPoint> points =
      Days({"2020-02-28", "2020-03-31", "2021-01-29", "2021-02-26", "2021-03-01", "2021-03-31"});
  struct Case {
    NavPeriod period;
    const char* first_shown;
    size_t count;
  };
  for (const Case& c :
       {Case{NavPeriod::kMonth1, "2021-03-01", 2}, Case{NavPeriod::kMonth3, "2021-01-29", 4},
        Case{NavPeriod::kYear1, "2020-03-31", 5}, Case{NavPeriod::kAll, "2020-02-28", 6}}) {
    const auto shown = navchart::PeriodPoints(points, c.period);
    ASSERT_EQ(c.count, shown.size()) << c.first_shown;
    EXPECT_EQ(c.first_shown, shown.front().day);
    EXPECT_EQ("2021-03-31", shown.back().day);
  }
}

TEST(NavFiguresTest, PeriodChangeIsLastOverFirstAccumulatedRoundedHalfAwayFromZero) {
  struct Case {
    std::optional<std::int64_t> first, middle, last;
    const char* text;
  };
  for (const Case& c :
       {Case{10000, 10500, 10123, "区间涨跌 1.23%"}, Case{10000, 10500, 9876, "区间涨跌 -1.24%"},
        Case{20000, 1, 20001, "区间涨跌 0.01%"},              // 0.005% rounds up
        Case{20000, 1, 19999, "区间涨跌 -0.01%"},             // and -0.005% down
        Case{std::nullopt, 10000, 12000, "区间涨跌 20.00%"},  // from the first with one
        Case{10000, 12000, std::nullopt, "区间涨跌 20.00%"},  // to the last with one
        Case{std::nullopt, std::nullopt, std::nullopt, "区间涨跌 --"}}) {
    std::vector<NavPoint> points = Days({"2021-08-18", "2021-08-19", "2021-08-20"});
    points[0].accumulated_nav = c.first;
    points[1].accumulated_nav = c.middle;
    points[2].accumulated_nav = c.last;
    EXPECT_EQ(c.text, navchart::PeriodChangeText(points)) << c.text;
  }
}

TEST(NavFiguresTest, TableRowsShowFourDecimalsTheGrowthInPercentAndTheUnitMoneyAsItStands) {
  struct Case {
    NavPoint point;
    bool first_of_history;
    std::vector<std::string> cells;
  };
  const Case cases[] = {
      {{"2021-08-20", 12345, 23456, 5200, 0, 0, ""},
       false,
       {"2021-08-20", "1.2345", "2.3456", "0.52%", ""}},
      {{"2021-08-19", 9000, std::nullopt, -12345, 0, 0, ""},
       false,
       {"2021-08-19", "0.9000", "", "-1.23%", ""}},
      {{"2021-08-18", 9000, 9000, -12350, 500'0000, 0, "分红：每份派现金0.0500元"},
       false,
       {"2021-08-18", "0.9000", "0.9000", "-1.24%", "分红：每份派现金0.0500元"}},
      {{"2021-08-17", 10000, 10000, std::nullopt, 0, 1'0234'0000, "拆分：每份基金份额折算1.0234份"},
       false,
       {"2021-08-17", "1.0000", "1.0000", "", "拆分：每份基金份额折算1.0234份"}},
      {{"2021-08-16", 10000, 10000, 0, 0, 0, ""},
       false,
       {"2021-08-16", "1.0000", "1.0000", "0.00%", ""}},
      {{"2021-08-16", 10000, 10000, 0, 0, 0, ""}, true, {"2021-08-16", "1.0000", "1.0000", "", ""}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.cells, navchart::TableRow(c.point, c.first_of_history)) << c.point.day;
  }
}

}  // namespace
