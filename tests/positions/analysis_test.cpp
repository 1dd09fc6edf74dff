// The day-by-day analysis of a ledger over hand-made NAV histories: two funds from late 2023 to
// April 2024, with a buy on a Saturday, sales, everything sold and bought again, a cash and a
// reinvested dividend, the Qingming holiday (4 and 5 April 2024) and a fund that publishes
// late. The expected figures were computed once, independently, by a Python script that
// follows the definitions with fractions.Fraction (values rounded half away from zero to the
// fen, the index as an exact product, the fall, volatility and a bisected money-weighted rate
// in floats) and printed to 17 digits.

#include "positions/analysis.h"

#include <gtest/gtest.h>

#include <random>

namespace positions {
namespace {

base::NavPoint Point(std::string day, std::int64_t nav) {
  base::NavPoint point;
  point.day = std::move(day);
  point.unit_nav = nav;
  return point;
}

base::NavHistory History(const char* code, std::vector<std::pair<const char*, std::int64_t>> navs) {
  base::NavHistory history;
  history.code = code;
  for (const auto& [day, nav] : navs) history.points.push_back(Point(day, nav));
  return history;
}

// 000002 has no NAV on 15 January and 9 April: it is valued at its NAV before them.
const std::map<std::string, base::NavHistory> kHistories = {
    {"000001", History("000001", {{"2023-12-27", 10000},
                                  {"2023-12-29", 10200},
                                  {"2024-01-02", 10100},
                                  {"2024-01-15", 10500},
                                  {"2024-01-31", 10400},
                                  {"2024-02-08", 10600},
                                  {"2024-02-29", 10800},
                                  {"2024-03-29", 11000},
                                  {"2024-04-01", 11000},
                                  {"2024-04-02", 11100},
                                  {"2024-04-03", 10900},
                                  {"2024-04-08", 11200},
                                  {"2024-04-09", 11300}})},
    {"000002", History("000002", {{"2023-12-27", 20000},
                                  {"2023-12-29", 20500},
                                  {"2024-01-02", 20400},
                                  {"2024-01-31", 21000},
                                  {"2024-02-08", 20800},
                                  {"2024-02-29", 21200},
                                  {"2024-03-29", 21500},
                                  {"2024-04-01", 21600},
                                  {"2024-04-02", 21400},
                                  {"2024-04-03", 21300},
                                  {"2024-04-08", 21700}})}};

Record Of(const char* day, const char* code, RecordKind kind, std::int64_t shares,
          std::int64_t price, std::int64_t fee = 0, std::int64_t amount = 0) {
  return {day,   code, "",     kind, shares,
          price, fee,  amount, 0,    kind != RecordKind::kBuy && kind != RecordKind::kSell};
}

// Out of order, as a ledger may hold them.
const std::vector<Record> kRecords = {
    Of("2024-04-10", "000001", RecordKind::kBuy, 10000, 11300),  // after the latest NAV
    Of("2023-12-27", "000001", RecordKind::kBuy, 998502, 10000, 1498, 1000000),
    Of("2023-12-30", "000002", RecordKind::kBuy, 100000, 20500),  // a Saturday
    Of("2024-02-08", "000001", RecordKind::kSell, 300000, 10600, 1590),
    Of("2024-02-29", "000001", RecordKind::kSell, 698502, 10800),
    Of("2024-02-29", "000002", RecordKind::kSell, 100000, 21200),
    Of("2024-03-29", "000001", RecordKind::kSell, 10000, 11000),  // nothing held: refused
    Of("2024-04-01", "000001", RecordKind::kBuy, 454545, 11000, 0, 500000),
    Of("2024-04-01", "000002", RecordKind::kBuy, 50000, 21600, 100),
    Of("2024-04-03", "000001", RecordKind::kCashDividend, 0, 0, 0, 22727),
    Of("2024-04-04", "000002", RecordKind::kSell, 20000, 21300, 50),  // a holiday
    Of("2024-04-08", "000002", RecordKind::kReinvest, 150, 21700),
};

TEST(AnalysisTest, EachDayIsExactToTheFen) {
  const Analysis analysis = Analyse(kRecords, kHistories);
  const AnalysisDay expected[] = {
      {"2023-12-27", 998502, 1000000, -1498, -1498, 1},
      {"2023-12-29", 1018472, 1000000, 19970, 18472, 1.01999995993999},
      {"2024-01-02", 1212487, 1205000, -10985, 7487, 1.0089984797226246},
      {"2024-01-15", 1252427, 1205000, 39940, 47427, 1.0422354540407999},
      {"2024-01-31", 1248442, 1205000, -3985, 43442, 1.0389192461625343},
      {"2024-02-08", 948412, 888590, 16380, 59822, 1.0525502336270238},
      {"2024-02-29", 0, -77792, 17970, 77792, 1.0724933888151464},
      {"2024-03-29", 0, -77792, 0, 77792, 1.0724933888151464},
      {"2024-04-01", 608000, 530308, -100, 77692, 1.0724933888151464},
      {"2024-04-02", 611545, 530308, 3545, 81237, 1.078746660300919},
      {"2024-04-03", 601954, 530308, 13136, 94373, 1.1019181622013725},
      {"2024-04-08", 574516, 487758, 15112, 109485, 1.1295817166709619},
      {"2024-04-09", 579062, 487758, 4546, 114031, 1.1385198114916215},
  };
  ASSERT_EQ(std::size(expected), analysis.days.size());
  for (size_t i = 0; i < std::size(expected); ++i) {
    const AnalysisDay& day = analysis.days[i];
    SCOPED_TRACE(day.day);
    EXPECT_EQ(expected[i].day, day.day);
    EXPECT_EQ(expected[i].value, day.value);
    EXPECT_EQ(expected[i].principal, day.principal);
    EXPECT_EQ(expected[i].profit, day.profit);
    EXPECT_EQ(expected[i].total_profit, day.total_profit);
    EXPECT_NEAR(expected[i].index, day.index, 1e-12);
  }
  EXPECT_EQ(1u, analysis.waiting);
  EXPECT_EQ(1u, analysis.refused);
}

TEST(AnalysisTest, MonthsAndYearsTotalTheDaysAndGiveTheirTimeWeightedReturns) {
  const Analysis analysis = Analyse(kRecords, kHistories);
  struct Period {
    int year, month;
    std::int64_t profit;
    std::optional<double> twr;
  };
  const Period months[] = {{2023, 12, 18472, 0.019999959939990104},
                           {2024, 1, 24970, 0.01854832055450013},
                           {2024, 2, 34350, 0.032316412249195688},
                           {2024, 3, 0, std::nullopt},  // nothing held before its last day
                           {2024, 4, 36239, 0.061563477560844335}};
  const Period years[] = {{2023, 0, 18472, 0.019999959939990104},
                          {2024, 0, 95559, 0.11619593745729595}};
  ASSERT_EQ(std::size(months), analysis.months.size());
  ASSERT_EQ(std::size(years), analysis.years.size());
  ASSERT_EQ(std::size(years), analysis.returns.size());
  for (size_t i = 0; i < std::size(months); ++i) {
    const PeriodProfit& month = analysis.months[i];
    EXPECT_EQ(months[i].year, month.year);
    EXPECT_EQ(months[i].month, month.month);
    EXPECT_EQ(months[i].profit, month.profit);
    const size_t row = static_cast<size_t>(month.year - 2023);
    const std::optional<double> twr = analysis.returns[row].months[month.month - 1];
    ASSERT_EQ(months[i].twr.has_value(), twr.has_value()) << month.month;
    if (twr) {
      EXPECT_NEAR(*months[i].twr, *twr, 1e-12);
    }
  }
  EXPECT_FALSE(analysis.returns[0].months[10]);  // before the first record
  for (size_t i = 0; i < std::size(years); ++i) {
    EXPECT_EQ(years[i].year, analysis.years[i].year);
    EXPECT_EQ(years[i].profit, analysis.years[i].profit);
    EXPECT_EQ(years[i].year, analysis.returns[i].year);
    ASSERT_TRUE(analysis.returns[i].whole);
    EXPECT_NEAR(*years[i].twr, *analysis.returns[i].whole, 1e-12);
  }
}

TEST(AnalysisTest, TheSummary) {
  const AnalysisSummary summary = Analyse(kRecords, kHistories).summary;
  EXPECT_EQ(579062, summary.value);
  EXPECT_EQ(487758, summary.principal);
  EXPECT_EQ(114031, summary.profit);
  ASSERT_TRUE(summary.time_weighted && summary.annual_time_weighted && summary.money_weighted);
  EXPECT_NEAR(0.13851981149162157, *summary.time_weighted, 1e-12);
  EXPECT_NEAR(0.57664460556276609, *summary.annual_time_weighted, 1e-12);  // over 104 days
  EXPECT_NEAR(0.69836810524, *summary.money_weighted, 1e-8);
  ASSERT_TRUE(summary.max_drawdown && summary.volatility);
  EXPECT_NEAR(0.010785765342591503, *summary.max_drawdown, 1e-12);
  EXPECT_EQ("2023-12-29", summary.peak_day);
  EXPECT_EQ("2024-01-02", summary.trough_day);
  EXPECT_NEAR(0.085128535396671909, *summary.volatility, 1e-12);
}

// A day whose buy's fee exceeds all that was held the day before has no return: the index
// keeps its level and goes on from that day's value.
TEST(AnalysisTest, AFeeBeyondWhatWasHeldRestartsTheIndex) {
  const std::map<std::string, base::NavHistory> histories = {
      {"000001",
       History("000001", {{"2024-01-02", 10000}, {"2024-01-03", 10000}, {"2024-01-04", 11000}})}};
  const Analysis analysis =
      Analyse({Of("2024-01-02", "000001", RecordKind::kBuy, 100, 10000),  // 1.00
               Of("2024-01-03", "000001", RecordKind::kBuy, 98500, 10000, 1500, 100000)},
              histories);
  ASSERT_EQ(3u, analysis.days.size());
  EXPECT_EQ(-1500, analysis.days[1].profit);
  EXPECT_DOUBLE_EQ(1, analysis.days[1].index);
  EXPECT_DOUBLE_EQ(1.1, analysis.days[2].index);
}

// Over a random ledger of two years: the day profits add up to 累计收益, and a month's to its
// change over the month.
TEST(AnalysisTest, DayProfitsAddUpToTheMoneyGained) {
  std::mt19937 random(40);
  std::map<std::string, base::NavHistory> histories;
  std::vector<Record> records;
  for (const char* code : {"000001", "000002", "000003"}) {
    base::NavHistory& history = histories[code];
    std::int64_t nav = 10'000;
    for (std::int32_t day = *base::DayNumber("2022-01-03"); day < *base::DayNumber("2024-01-01");
         ++day) {
      if (random() % 7 < 2) continue;
      nav = std::max<std::int64_t>(1'000, nav + static_cast<std::int64_t>(random() % 301) - 150);
      history.points.push_back(Point(base::DayText(day), nav));
      const std::int64_t shares = static_cast<std::int64_t>(random() % 100'000);
      switch (random() % 12) {
        case 0:
          records.push_back(Of(history.points.back().day.c_str(), code, RecordKind::kBuy, shares,
                               nav, shares / 100));
          break;
        case 1:  // a sale of more than held is refused
          records.push_back(
              Of(history.points.back().day.c_str(), code, RecordKind::kSell, shares, nav, 7));
          break;
        case 2:
          records.push_back(
              Of(base::DayText(day + 1).c_str(), code, RecordKind::kCashDividend, 0, 0, 0, shares));
          break;
      }
    }
  }
  const Analysis analysis = Analyse(records, histories);
  ASSERT_GT(analysis.days.size(), 400u);
  std::int64_t sum = 0;
  std::map<std::pair<int, int>, std::int64_t> months;
  std::int64_t before = 0;  // 累计收益 at the close of the month before
  for (size_t i = 0; i < analysis.days.size(); ++i) {
    const AnalysisDay& day = analysis.days[i];
    sum += day.profit;
    const int year = std::stoi(day.day.substr(0, 4));
    const int month = std::stoi(day.day.substr(5, 2));
    if (i + 1 == analysis.days.size() ||
        analysis.days[i + 1].day.substr(0, 7) != day.day.substr(0, 7)) {
      months[{year, month}] = day.total_profit - before;
      before = day.total_profit;
    }
  }
  EXPECT_EQ(analysis.summary.profit, sum);
  ASSERT_EQ(months.size(), analysis.months.size());
  for (const PeriodProfit& month : analysis.months) {
    EXPECT_EQ((months[{month.year, month.month}]), month.profit);
  }
}

}  // namespace
}  // namespace positions
