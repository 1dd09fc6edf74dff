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
#include <tuple>

namespace positions {
namespace {

base::NavPoint Point(std::string day, std::int64_t nav) {
  base::NavPoint point;
  point.day = std::move(day);
  point.unit_nav = nav;
  return point;
}

// The NAVs of 000001 and 000002 by day; 000002 publishes none on 15 January and 9 April, and is
// valued at its NAV before them.
std::map<std::string, base::NavHistory> Histories() {
  const std::tuple<const char*, std::int64_t, std::int64_t> navs[] = {
      {"2023-12-27", 10000, 20000}, {"2023-12-29", 10200, 20500}, {"2024-01-02", 10100, 20400},
      {"2024-01-15", 10500, 0},     {"2024-01-31", 10400, 21000}, {"2024-02-08", 10600, 20800},
      {"2024-02-29", 10800, 21200}, {"2024-03-29", 11000, 21500}, {"2024-04-01", 11000, 21600},
      {"2024-04-02", 11100, 21400}, {"2024-04-03", 10900, 21300}, {"2024-04-08", 11200, 21700},
      {"2024-04-09", 11300, 0}};
  std::map<std::string, base::NavHistory> histories;
  for (const auto& [day, first, second] : navs) {
    histories["000001"].points.push_back(Point(day, first));
    if (second > 0) histories["000002"].points.push_back(Point(day, second));
  }
  return histories;
}
const std::map<std::string, base::NavHistory> kHistories = Histories();

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
    const AnalysisDay& want = expected[i];
    const AnalysisDay& day = analysis.days[i];
    EXPECT_EQ(std::tie(want.day, want.value, want.principal, want.profit, want.total_profit),
              std::tie(day.day, day.value, day.principal, day.profit, day.total_profit));
    EXPECT_NEAR(want.index, day.index, 1e-12) << day.day;
  }
  EXPECT_EQ(1u, analysis.waiting);
  EXPECT_EQ(1u, analysis.refused);
}

TEST(AnalysisTest, MonthsAndYearsTotalTheDaysAndGiveTheirTimeWeightedReturns) {
  const Analysis analysis = Analyse(kRecords, kHistories);
  // Year, month (0: the year), profit, return; March has no return: nothing was held before
  // its last day.
  const std::tuple<int, int, std::int64_t, std::optional<double>> periods[] = {
      {2023, 12, 18472, 0.019999959939990104}, {2024, 1, 24970, 0.01854832055450013},
      {2024, 2, 34350, 0.032316412249195688},  {2024, 3, 0, std::nullopt},
      {2024, 4, 36239, 0.061563477560844335},  {2023, 0, 18472, 0.019999959939990104},
      {2024, 0, 95559, 0.11619593745729595}};
  std::vector<PeriodProfit> months = analysis.months;
  months.insert(months.end(), analysis.years.begin(), analysis.years.end());
  ASSERT_EQ(std::size(periods), months.size());
  ASSERT_EQ(2u, analysis.returns.size());
  for (size_t i = 0; i < std::size(periods); ++i) {
    const auto& [year, month, profit, twr] = periods[i];
    EXPECT_EQ(std::tie(year, month, profit),
              std::tie(months[i].year, months[i].month, months[i].profit));
    const YearReturns& row = analysis.returns[static_cast<size_t>(year - 2023)];
    EXPECT_EQ(year, row.year);
    const std::optional<double> got = month > 0 ? row.months[month - 1] : row.whole;
    ASSERT_EQ(twr.has_value(), got.has_value()) << year << "-" << month;
    EXPECT_NEAR(twr.value_or(0), got.value_or(0), 1e-12);
  }
  EXPECT_FALSE(analysis.returns[0].months[10]);  // before the first record
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
  std::map<std::string, base::NavHistory> histories;
  for (const auto& [day, nav] :
       {std::pair{"2024-01-02", 10000}, {"2024-01-03", 10000}, {"2024-01-04", 11000}}) {
    histories["000001"].points.push_back(Point(day, nav));
  }
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
    std::int64_t nav = 10'000;
    for (std::int32_t day = *base::DayNumber("2022-01-03"); day < *base::DayNumber("2024-01-01");
         ++day) {
      if (random() % 7 < 2) continue;
      nav = std::max<std::int64_t>(1'000, nav + static_cast<std::int64_t>(random() % 301) - 150);
      histories[code].points.push_back(Point(base::DayText(day), nav));
      const auto shares = static_cast<std::int64_t>(random() % 100'000);
      const std::string next = base::DayText(day + 1);  // maybe no trading day
      const RecordKind kinds[] = {RecordKind::kBuy, RecordKind::kSell, RecordKind::kCashDividend};
      const size_t pick = random() % 12;
      if (pick >= std::size(kinds)) continue;  // a sale of more than held is refused
      records.push_back(Of(next.c_str(), code, kinds[pick], shares, pick == 2 ? 0 : nav, pick,
                           pick == 2 ? shares : 0));
    }
  }
  const Analysis analysis = Analyse(records, histories);
  ASSERT_GT(analysis.days.size(), 400u);
  std::int64_t sum = 0;
  std::int64_t before = 0;  // 累计收益 at the close of the month before
  auto month = analysis.months.begin();
  for (size_t i = 0; i < analysis.days.size(); ++i) {
    sum += analysis.days[i].profit;
    const std::string& day = analysis.days[i].day;
    if (i + 1 < analysis.days.size() && analysis.days[i + 1].day.compare(0, 7, day, 0, 7) == 0) {
      continue;
    }
    ASSERT_NE(analysis.months.end(), month);
    EXPECT_EQ(analysis.days[i].total_profit - before, (month++)->profit) << day;
    before = analysis.days[i].total_profit;
  }
  EXPECT_EQ(analysis.months.end(), month);
  EXPECT_EQ(analysis.summary.profit, sum);
}

}  // namespace
}  // namespace positions
