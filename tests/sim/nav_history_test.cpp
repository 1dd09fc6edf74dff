// A fund's NAV history as the simulated portal serves it and the program reads it over
// loopback: trading days ending on the main page's NAV, the ranking figures met by the
// accumulated NAV, dividends and splits read exactly, days read in UTC+8 whatever the zone.

#include "sim/nav_history.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>

#include "base/nav_history.h"
#include "portal/fund_page.h"
#include "portal/nav_history.h"
#include "sim/fund_detail.h"
#include "sim/server.h"

namespace sim {
namespace {

using std::chrono::sys_days;

sys_days Day(const std::string& text) {
  return sys_days(std::chrono::days(base::DayNumber(text).value()));
}

// Growth in hundredths of a percent, rounded half away from zero.
std::int64_t Growth(std::int64_t first, std::int64_t last) {
  const __int128 scaled = static_cast<__int128>(last - first) * 20000 / first;
  return static_cast<std::int64_t>((scaled + (scaled >= 0 ? 1 : -1)) / 2);
}

// The first point of a ranking period over `days` (kSortCodes order).
size_t FirstOfPeriod(int period, const std::vector<NavDay>& days) {
  const sys_days last = Day(days.back().day);
  sys_days start = last - std::chrono::days(7);
  if (period == 0) return days.size() - 2;
  if (period == 5) {  // this year: the last point of the year before
    const sys_days new_year = sys_days(std::chrono::year_month_day(last).year() / 1 / 1);
    size_t i = 0;
    while (i + 1 < days.size() && Day(days[i + 1].day) < new_year) ++i;
    return i;
  }
  static constexpr int kMonths[] = {0, 0, 1, 3, 6, 0, 12, 24, 36};
  if (kMonths[period] > 0) {
    auto date = std::chrono::year_month_day(last) - std::chrono::months(kMonths[period]);
    if (!date.ok()) date = date.year() / date.month() / std::chrono::last;
    start = sys_days(date);
  }
  size_t i = 0;
  while (Day(days[i].day) < start) ++i;
  return i;
}

TEST(NavHistorySimTest, TradingDaysEndOnThePageAndTheAccumulatedNavMeetsEveryRankingFigure) {
  MarketOptions options;
  options.funds = 400;
  const Market market(options);
  int figures = 0;
  for (const Fund& fund : market.funds()) {
    const std::vector<NavDay> days = NavHistoryOf(market, fund);
    ASSERT_FALSE(days.empty());
    EXPECT_EQ(fund.nav_date, days.back().day);
    EXPECT_EQ(UnitNavText(fund), base::ScaledText(days.back().unit_nav, 4, 4));
    EXPECT_EQ(DayChangeText(fund), days.back().day_growth
                                       ? base::ScaledText(*days.back().day_growth, 2, 2) + "%"
                                       : "--");
    EXPECT_LE(Day(fund.inception_date), Day(days.front().day));
    for (size_t i = 0; i + 1 < days.size(); ++i) {
      ASSERT_LT(Day(days[i].day), Day(days[i + 1].day));
      ASSERT_TRUE(IsTradingDay(Day(days[i].day))) << days[i].day;
    }
    std::vector<size_t> taken;
    for (int period = 0; period < kPeriodCount; ++period) {
      if (!fund.growth[period] || days.size() < 2) continue;
      const size_t first = FirstOfPeriod(period, days);
      // A period whose first point a shorter one took, or the last point itself, has no say.
      if (first + 1 >= days.size() || std::find(taken.begin(), taken.end(), first) != taken.end())
        continue;
      taken.push_back(first);
      ++figures;
      EXPECT_EQ(std::llround(*fund.growth[period] * 100),
                Growth(*days[first].accumulated_nav, *days.back().accumulated_nav))
          << fund.code << " " << kSortCodes[period];
    }
  }
  EXPECT_GT(figures, 2000);
  // The holidays of the market's calendar.
  for (const char* holiday : {"2021-01-01", "2021-02-12", "2021-05-04", "2021-10-07"}) {
    EXPECT_FALSE(IsTradingDay(Day(holiday))) << holiday;
  }
  EXPECT_TRUE(IsTradingDay(Day("2021-08-20")));
}

class NavHistoryLoopbackTest : public ::testing::Test {
 protected:
  static PortalSimOptions Options() {
    PortalSimOptions options;
    options.market.funds = 400;
    options.market.boards = 2;
    return options;
  }
  void SetUp() override {
    ASSERT_GT(sim_.Start(), 0);
    urls_ = net::PortalUrls::Load([this](std::string_view) { return sim_.BaseUrl(); });
  }

  PortalSim sim_{Options()};
  net::PortalUrls urls_;
};

TEST_F(NavHistoryLoopbackTest, AFundsDividendSplitAndDaysAcrossADaylightSavingDateReadExactly) {
  // A zone eight or nine hours west of UTC+8 that changed its clocks on 2021-03-28: a day read
  // in the machine's zone would be the day before.
  const char* zone = std::getenv("TZ");
  const std::string saved = zone ? zone : "";
  setenv("TZ", "Europe/Berlin", 1);
  tzset();

  const Fund* chosen = nullptr;
  std::vector<NavDay> truth;
  for (const Fund& fund : sim_.market().funds()) {
    truth = NavHistoryOf(sim_.market(), fund);
    bool dividend = false, split = false;
    for (const NavDay& day : truth) {
      dividend |= day.unit_money.find("派现金") != std::string::npos;
      split |= day.unit_money.find("折算") != std::string::npos;
    }
    if (dividend && split && truth.front().day < "2021-03-26") {
      chosen = &fund;
      break;
    }
  }
  ASSERT_NE(nullptr, chosen);
  const auto history = portal::FetchNavHistory(urls_, chosen->code, nullptr);
  ASSERT_TRUE(history);
  EXPECT_EQ(chosen->code, history->code);
  EXPECT_EQ(chosen->name, history->name);
  ASSERT_EQ(truth.size(), history->points.size());
  int dividends = 0, splits = 0;
  for (size_t i = 0; i < truth.size(); ++i) {
    const base::NavPoint& point = history->points[i];
    ASSERT_EQ(truth[i].day, point.day);
    EXPECT_EQ(truth[i].unit_nav, point.unit_nav) << point.day;
    EXPECT_EQ(truth[i].accumulated_nav, point.accumulated_nav) << point.day;
    EXPECT_EQ(truth[i].day_growth ? std::optional(*truth[i].day_growth * 100) : std::nullopt,
              point.day_growth);
    EXPECT_EQ(truth[i].unit_money, point.unit_money);
    if (point.dividend != 0) {
      ++dividends;
      EXPECT_EQ("分红：每份派现金" + base::ScaledText(point.dividend, 8, 4) + "元",
                point.unit_money);
      // The unit NAV drops by the dividend that day; the accumulated NAV does not.
      const double before = static_cast<double>(history->points[i - 1].unit_nav) *
                            static_cast<double>(*point.accumulated_nav) /
                            static_cast<double>(*history->points[i - 1].accumulated_nav);
      EXPECT_NEAR(before - static_cast<double>(point.dividend) / 1e4,
                  static_cast<double>(point.unit_nav), 1.0);
    }
    if (point.split_ratio != 0) {
      ++splits;
      EXPECT_EQ("拆分：每份基金份额折算" + base::ScaledText(point.split_ratio, 8, 4) + "份",
                point.unit_money);
    }
  }
  EXPECT_GT(dividends, 0);
  EXPECT_EQ(1, splits);

  // The last point is what the fund's main page shows.
  const auto summary = portal::FetchFundSummary(urls_, chosen->code, nullptr);
  ASSERT_TRUE(summary);
  const base::NavPoint& last = history->points.back();
  EXPECT_EQ(summary->nav_date, last.day);
  EXPECT_EQ(summary->unit_nav, base::ScaledText(last.unit_nav, 4, 4));
  EXPECT_EQ(summary->day_change, base::ScaledText(last.day_growth.value_or(0), 4, 2) + "%");

  // The request: the script's path with the local time as 14 digits.
  const std::string target = sim_.requests().Snapshot().front().target;
  EXPECT_EQ(0u, target.find("/pingzhongdata/" + chosen->code + ".js?v=2")) << target;
  EXPECT_EQ(std::string("/pingzhongdata/000000.js?v=").size() + 14, target.size());

  if (saved.empty()) {
    unsetenv("TZ");
  } else {
    setenv("TZ", saved.c_str(), 1);
  }
  tzset();
}

TEST_F(NavHistoryLoopbackTest, AnUnknownCodeAFailedRequestOrAPageWithoutTheHistoryGivesNone) {
  EXPECT_FALSE(portal::FetchNavHistory(urls_, "999998", nullptr));
  const std::string code = sim_.market().funds()[5].code;
  EXPECT_TRUE(portal::FetchNavHistory(urls_, code, nullptr));
  // An error status whose body is the whole answer is still a failed request.
  FaultOptions faults;
  faults.fail_targets = {"/pingzhongdata/"};
  faults.error_keeps_body = true;
  sim_.SetFaults(faults);
  EXPECT_FALSE(portal::FetchNavHistory(urls_, code, nullptr));
  EXPECT_FALSE(portal::CutNavHistory("var fS_name = \"x\";var Data_netWorthTrend = [];"));
  // A statement that would need evaluating is no value.
  EXPECT_FALSE(portal::CutNavHistory(
      "var Data_netWorthTrend = [{\"x\":1628179200000,\"y\":1.5}].concat(f());"));
  const auto one = portal::CutNavHistory(
      "/*var Data_netWorthTrend = 1*/var Data_netWorthTrendOld = [];"
      "var Data_netWorthTrend = [{\"x\":1628179200000,\"y\":\"1.50001\"}];");
  ASSERT_TRUE(one);
  EXPECT_EQ("2021-08-06", one->points.at(0).day);
  EXPECT_EQ(15000, one->points[0].unit_nav);
}

}  // namespace
}  // namespace sim
