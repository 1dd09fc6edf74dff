#include "sim/nav_history.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "sim/fund_detail.h"
#include "sim/random.h"
#include "sim/server.h"

namespace sim {
namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr std::uint64_t kNavSalt = 0x4E41;
constexpr std::int64_t kDayMs = 86'400'000;
constexpr std::int64_t kUtc8Ms = 8 * 3'600'000;

// The first day of the Spring Festival, 2000 to 2030, as month * 100 + day.
constexpr int kSpringFestival[] = {205, 124, 212, 201, 122, 209, 129, 218, 207, 126, 214,
                                   203, 123, 210, 131, 219, 208, 128, 216, 205, 125, 212,
                                   201, 122, 210, 129, 217, 206, 126, 213, 203};
constexpr int kFirstFestivalYear = 2000;

// Fixed holiday periods: first month, first day, length in days.
struct Period {
  unsigned month, day;
  int length;
};
constexpr Period kFixedHolidays[] = {{1, 1, 1}, {4, 4, 3}, {5, 1, 5}, {10, 1, 7}};

sys_days ParseDay(const std::string& text) {
  int year = 2021, month = 8, day = 20;
  std::sscanf(text.c_str(), "%d-%d-%d", &year, &month, &day);
  return sys_days(std::chrono::year(year) / month / day);
}

std::string DayText(sys_days day) {
  const year_month_day date(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

sys_days MonthsBefore(sys_days day, int months) {
  year_month_day start = year_month_day(day) - std::chrono::months(months);
  if (!start.ok()) start = start.year() / start.month() / std::chrono::last;
  return sys_days(start);
}

// round(numerator / denominator), half away from zero; denominator > 0.
std::int64_t RoundDivide(__int128 numerator, __int128 denominator) {
  const __int128 half = denominator / 2;
  return static_cast<std::int64_t>(numerator >= 0 ? (numerator + half) / denominator
                                                  : -((-numerator + half) / denominator));
}

// Growth from `first` to `last` in hundredths of a percent, as the figures are rounded.
std::int64_t GrowthOf(std::int64_t first, std::int64_t last) {
  return RoundDivide(static_cast<__int128>(last - first) * 10000, first);
}

std::string Decimal(std::int64_t value, int decimals) {
  const char* sign = value < 0 ? "-" : "";
  const std::int64_t magnitude = value < 0 ? -value : value;
  std::int64_t unit = 1;
  for (int i = 0; i < decimals; ++i) unit *= 10;
  char text[48];
  std::snprintf(text, sizeof text, "%s%lld.%0*lld", sign, static_cast<long long>(magnitude / unit),
                decimals, static_cast<long long>(magnitude % unit));
  return text;
}

double YearlyVolatility(const Fund& fund) {
  if (fund.type == "债券型") return 0.03;
  if (fund.type == "FOF") return 0.10;
  return 0.22;
}

struct Anchor {
  size_t index;         // the period's first point
  std::int64_t growth;  // hundredths of a percent
  std::int64_t value = 0;
};

// The first points of the periods that have a figure, each point taken once, in priority order
// (ranking periods shortest first, then since inception).
std::vector<Anchor> Anchors(const Market& market, const Fund& fund,
                            const std::vector<sys_days>& trading) {
  const size_t n = trading.size();
  const sys_days last = trading.back();
  auto first_from = [&](sys_days start) {
    return static_cast<size_t>(std::lower_bound(trading.begin(), trading.end(), start) -
                               trading.begin());
  };
  static constexpr int kMonths[kPeriodCount] = {0, 0, 1, 3, 6, 0, 12, 24, 36};
  std::vector<Anchor> anchors;
  auto add = [&](size_t index, double figure) {
    const std::int64_t growth = std::llround(figure * 100);
    if (index + 1 >= n || growth <= -10000) return;
    for (const Anchor& anchor : anchors) {
      if (anchor.index == index) return;
    }
    anchors.push_back({index, growth});
  };
  for (int p = 0; p < kPeriodCount; ++p) {
    if (!fund.growth[p] || n < 2) continue;
    size_t index = 0;
    if (p == 0) {
      index = n - 2;
    } else if (p == 1) {
      index = first_from(last - days(7));
    } else if (p == 5) {
      const sys_days new_year = sys_days(year_month_day(last).year() / 1 / 1);
      const size_t from = first_from(new_year);
      index = from == 0 ? 0 : from - 1;
    } else {
      index = first_from(MonthsBefore(last, kMonths[p]));
    }
    add(index, *fund.growth[p]);
  }
  if (market.options().history_years <= 0 && fund.since_inception) {
    add(0, *fund.since_inception);
  }
  return anchors;
}

// Fixes each anchor's value for a last value `last`: one with four decimals that gives the
// figure. False when one has none.
bool FixAnchors(std::vector<Anchor>& anchors, std::int64_t last) {
  for (Anchor& anchor : anchors) {
    const std::int64_t guess =
        RoundDivide(static_cast<__int128>(last) * 10000, 10000 + anchor.growth);
    anchor.value = 0;
    for (std::int64_t step : {0, -1, 1, -2, 2, -3, 3}) {
      const std::int64_t value = guess + step;
      if (value > 0 && GrowthOf(value, last) == anchor.growth) {
        anchor.value = value;
        break;
      }
    }
    if (anchor.value == 0) return false;
  }
  return true;
}

struct Event {
  std::int64_t dividend = 0;  // ten-thousandths of a yuan
  std::int64_t split = 0;     // ten-thousandths
};

}  // namespace

bool IsTradingDay(sys_days day) {
  const std::chrono::weekday weekday(day);
  if (weekday == std::chrono::Saturday || weekday == std::chrono::Sunday) return false;
  const year_month_day date(day);
  const int year = static_cast<int>(date.year());
  for (const Period& period : kFixedHolidays) {
    const sys_days first = sys_days(date.year() / period.month / period.day);
    if (day >= first && day < first + days(period.length)) return false;
  }
  const int festival_index = year - kFirstFestivalYear;
  if (festival_index >= 0 && festival_index < static_cast<int>(std::size(kSpringFestival))) {
    const int festival = kSpringFestival[festival_index];
    const sys_days first = sys_days(date.year() / (festival / 100) / (festival % 100));
    if (day >= first - days(1) && day <= first + days(5)) return false;
  }
  return true;
}

std::vector<NavDay> NavHistoryOf(const Market& market, const Fund& shown) {
  const Fund* found = FindFund(market, shown.code);
  const auto index = static_cast<std::uint64_t>(found ? found - market.funds().data() : 0);
  const sys_days last_day = ParseDay(shown.nav_date);
  const int years = market.options().history_years;
  sys_days start = years > 0 ? sys_days(year_month_day(last_day) - std::chrono::years(years))
                             : ParseDay(shown.inception_date);
  std::vector<sys_days> days_list;
  for (sys_days day = start; day < last_day; day += days(1)) {
    if (IsTradingDay(day)) days_list.push_back(day);
  }
  days_list.push_back(last_day);
  const size_t n = days_list.size();

  // The accumulated NAV: fixed on the periods' first points and the last, a random walk in
  // between (bridged in log space) and before the first fixed point.
  std::vector<Anchor> anchors = Anchors(market, shown, days_list);
  std::int64_t last_accumulated =
      std::max<std::int64_t>(1, std::llround(shown.accumulated_nav * 1e4));
  for (int doubling = 0; doubling < 40 && !FixAnchors(anchors, last_accumulated); ++doubling) {
    last_accumulated *= 2;
  }
  std::map<size_t, std::int64_t> fixed;
  for (const Anchor& anchor : anchors) {
    if (anchor.value > 0) fixed[anchor.index] = anchor.value;
  }
  fixed[n - 1] = last_accumulated;
  Random random(Mix(market.options().seed, index, kNavSalt));
  const double daily = YearlyVolatility(shown) / std::sqrt(250.0);
  std::vector<double> log_value(n, 0.0);
  auto it = fixed.begin();
  log_value[it->first] = std::log(static_cast<double>(it->second));
  for (size_t i = it->first; i-- > 0;) {
    log_value[i] = log_value[i + 1] - 0.0003 - daily * random.Normal();
  }
  for (auto next = std::next(it); next != fixed.end(); it = next++) {
    const size_t a = it->first, b = next->first;
    const double from = std::log(static_cast<double>(it->second));
    const double to = std::log(static_cast<double>(next->second));
    std::vector<double> walk(b - a + 1, 0.0);
    for (size_t i = 1; i < walk.size(); ++i) walk[i] = walk[i - 1] + daily * random.Normal();
    for (size_t i = 0; i < walk.size(); ++i) {
      const double share = static_cast<double>(i) / static_cast<double>(b - a);
      log_value[a + i] = from + walk[i] + share * (to - from - walk.back());
    }
  }
  std::vector<std::int64_t> accumulated(n);
  for (size_t i = 0; i < n; ++i) {
    const auto kept = fixed.find(i);
    accumulated[i] = kept != fixed.end()
                         ? kept->second
                         : std::max<std::int64_t>(1, std::llround(std::exp(log_value[i])));
  }

  // Dividends and splits, never on the first or last point.
  std::vector<Event> events(n);
  const std::int64_t unit_last = std::llround(shown.unit_nav * 1e4);
  if (index % 3 == 0) {
    for (size_t i = 120 + random.Below(100); i + 1 < n; i += 200 + random.Below(100)) {
      events[i].dividend = std::max<std::int64_t>(
          1, unit_last * static_cast<std::int64_t>(50 + random.Below(450)) / 10000);
    }
  }
  if (index % 17 == 8 && n > 3) {
    Event& event = events[n / 2];
    event.dividend = 0;
    event.split = 10000 + 50 + static_cast<std::int64_t>(random.Below(9000));
  }
  // The unit NAV backwards from the page's: the day before is today's, with the dividend paid
  // back and the split undone, moved by the day's return.
  std::vector<std::int64_t> unit(n);
  unit[n - 1] = std::max<std::int64_t>(1, unit_last);
  for (size_t i = n - 1; i > 0; --i) {
    __int128 before = static_cast<__int128>(unit[i]) * 10000;
    if (events[i].split != 0) before = static_cast<__int128>(unit[i]) * events[i].split;
    before += static_cast<__int128>(events[i].dividend) * 10000;
    unit[i - 1] = std::max<std::int64_t>(
        1, RoundDivide(before * accumulated[i - 1], static_cast<__int128>(accumulated[i]) * 10000));
  }

  const bool gaps = index % 13 == 7;
  std::vector<NavDay> history(n);
  for (size_t i = 0; i < n; ++i) {
    NavDay& day = history[i];
    day.day = DayText(days_list[i]);
    day.unit_nav = unit[i];
    day.accumulated_nav = accumulated[i];
    if (gaps && !fixed.count(i) && random.Below(100) == 0) day.accumulated_nav.reset();
    if (i == 0) {
      day.day_growth = 0;
    } else if (i + 1 == n) {
      if (shown.growth[0]) day.day_growth = std::llround(*shown.growth[0] * 100);
    } else {
      day.day_growth = GrowthOf(accumulated[i - 1], accumulated[i]);
    }
    if (events[i].dividend != 0) {
      day.unit_money = "分红：每份派现金" + Decimal(events[i].dividend, 4) + "元";
    } else if (events[i].split != 0) {
      day.unit_money = "拆分：每份基金份额折算" + Decimal(events[i].split, 4) + "份";
    }
  }
  return history;
}

std::string NavHistoryAnswer(const Market& market, const Fund& shown) {
  const Fund* found = FindFund(market, shown.code);
  const auto index = static_cast<std::uint64_t>(found ? found - market.funds().data() : 0);
  const std::vector<NavDay> history = NavHistoryOf(market, shown);
  std::string fee = shown.discounted_fee.substr(0, shown.discounted_fee.find('%'));
  std::string source_fee = shown.fee.substr(0, shown.fee.find('%'));
  std::string minimum = index % 4 == 0 ? "100" : "10";
  if (index % 10 == 9) fee = minimum = "";

  std::string net_worth, accumulated, total;
  net_worth.reserve(history.size() * 80);
  accumulated.reserve(history.size() * 30);
  char item[160];
  for (size_t i = 0; i < history.size(); ++i) {
    const NavDay& day = history[i];
    const auto day_number = ParseDay(day.day).time_since_epoch().count();
    const long long ms = static_cast<long long>(day_number) * kDayMs - kUtc8Ms;
    const std::string growth = day.day_growth ? Decimal(*day.day_growth, 2) : "null";
    std::snprintf(item, sizeof item, "%s{\"x\":%lld,\"y\":%s,\"equityReturn\":%s,\"unitMoney\":\"",
                  i ? "," : "", ms, Decimal(day.unit_nav, 4).c_str(), growth.c_str());
    net_worth += item;
    net_worth += day.unit_money + "\"}";
    std::snprintf(item, sizeof item, "%s[%lld,%s]", i ? "," : "", ms,
                  day.accumulated_nav ? Decimal(*day.accumulated_nav, 4).c_str() : "null");
    accumulated += item;
    // Something else the answer carries: the return since the first point, every 20th day.
    if (i % 20 == 0 && day.accumulated_nav && history[0].accumulated_nav) {
      std::snprintf(
          item, sizeof item, "%s[%lld,%s]", total.empty() ? "" : ",", ms,
          Decimal(GrowthOf(*history[0].accumulated_nav, *day.accumulated_nav), 2).c_str());
      total += item;
    }
  }
  std::string text =
      "/*Onload Time : " + market.options().as_of +
      " 21:00:00*/\r\n/*fund_source*/var ishb = false;\r\n"
      "/*基金或股票信息*/var fS_name = \"" +
      shown.name + "\";var fS_code = \"" + shown.code +
      "\";\r\n/*原费率*/var fund_sourceRate = \"" + source_fee + "\";/*现费率*/var fund_Rate = \"" +
      fee + "\";/*最小申购金额*/var fund_minsg = \"" + minimum +
      "\";\r\n/*基金持仓股票代码*/var stockCodes = [\"6005191\",\"0008582\"];"
      "/*近一年收益率*/var syl_1n = \"" +
      FormatGrowth(shown.growth[6]) +
      "\";\r\n/*单位净值走势 equityReturn-净值回报 unitMoney-每份派送金*/"
      "var Data_netWorthTrend = [" +
      net_worth + "];\r\n/*累计净值走势*/var Data_ACWorthTrend = [" + accumulated +
      "];\r\n/*累计收益率走势*/var Data_grandTotal = [{\"name\":\"" + shown.name + "\",\"data\":[" +
      total + "]}];\r\n/*同类排名走势*/var Data_rateInSimilarType = [];\r\n";
  return text;
}

void AddNavHistoryRoutes(PortalSim& sim) {
  const Market& market = sim.market();
  sim.AddGet(R"(/pingzhongdata/(\d{6})\.js)", [&sim, &market](const httplib::Request& request,
                                                              httplib::Response& response) {
    const Fund* fund =
        request.matches.size() > 1 ? FindFund(market, request.matches[1].str()) : nullptr;
    if (fund == nullptr) {
      response.status = 404;
      response.set_content("Not Found", "text/html; charset=utf-8");
      return;
    }
    response.set_content(NavHistoryAnswer(market, sim.Shown(*fund)),
                         "application/javascript; charset=utf-8");
  });
}

}  // namespace sim
