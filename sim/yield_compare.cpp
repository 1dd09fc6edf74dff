#include "sim/yield_compare.h"

#include <chrono>
#include <cmath>
#include <cstdio>

#include "base/text.h"
#include "sim/fund_detail.h"
#include "sim/random.h"
#include "sim/server.h"

namespace sim {
namespace {

constexpr std::uint64_t kYieldSalt = 0x5A00;

struct PeriodShape {
  std::string_view key;
  int days;    // calendar days back, when not counted in months
  int months;  // calendar months back
  int growth;  // index of the period's growth figure in Fund::growth
};

constexpr PeriodShape kShapes[] = {
    {"week", 7, 0, 1},  {"month", 0, 1, 2},    {"threemonth", 0, 3, 3}, {"sixmonth", 0, 6, 4},
    {"year", 0, 12, 6}, {"twoyear", 0, 24, 7}, {"threeyear", 0, 36, 8},
};

const PeriodShape* FindShape(std::string_view period) {
  for (const PeriodShape& shape : kShapes) {
    if (shape.key == period) return &shape;
  }
  return nullptr;
}

std::chrono::sys_days AsOf(const Market& market) {
  int year = 2021, month = 8, day = 20;
  std::sscanf(market.options().as_of.c_str(), "%d-%d-%d", &year, &month, &day);
  return std::chrono::sys_days(std::chrono::year(year) / month / day);
}

std::chrono::sys_days PeriodStart(std::chrono::sys_days as_of, const PeriodShape& shape) {
  if (shape.months == 0) return as_of - std::chrono::days(shape.days);
  std::chrono::year_month_day start =
      std::chrono::year_month_day(as_of) - std::chrono::months(shape.months);
  // The 31st of a month that has none is its last day.
  if (!start.ok()) start = start.year() / start.month() / std::chrono::last;
  return std::chrono::sys_days(start);
}

std::string DateText(std::chrono::sys_days days) {
  const std::chrono::year_month_day date(days);
  char text[16];
  std::snprintf(text, sizeof text, "%04d/%02u/%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::string Yield(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value + 0.0);  // + 0.0 turns -0 into 0
  return text;
}

// A random walk from 0 that ends on the fund's growth figure when it has one.
std::vector<double> Walk(const Market& market, const Fund& fund, const PeriodShape& shape,
                         size_t points) {
  const auto index = static_cast<std::uint64_t>(&fund - market.funds().data());
  Random random(Mix(market.options().seed, index, kYieldSalt + shape.growth));
  const double daily = fund.type == "债券型" ? 0.08 : 1.1;
  std::vector<double> walk(points, 0.0);
  for (size_t i = 1; i < points; ++i) walk[i] = walk[i - 1] + daily * random.Normal();
  const std::optional<double>& growth = fund.growth[shape.growth];
  if (growth && points > 1) {
    const double miss = *growth - walk.back();
    for (size_t i = 1; i < points; ++i) {
      walk[i] += miss * static_cast<double>(i) / static_cast<double>(points - 1);
    }
  }
  for (double& value : walk) value = std::round(value * 100) / 100;
  return walk;
}

std::string ErrorAnswer() {
  return "{\"Datas\":null,\"ErrCode\":-999,\"Success\":false,\"ErrMsg\":\"参数错误\","
         "\"Message\":null,\"ErrorCode\":\"-999\",\"ErrorMessage\":null,"
         "\"ErrorMessageList\":null,\"TotalCount\":0,\"Expansion\":null}";
}

std::string Wrap(std::string_view callback, const std::string& json) {
  return callback.empty() ? json : std::string(callback) + "(" + json + ");";
}

}  // namespace

std::vector<YieldPoint> YieldSeries(const Market& market, const std::vector<const Fund*>& funds,
                                    std::string_view period) {
  const PeriodShape* shape = FindShape(period);
  if (shape == nullptr) return {};
  const std::chrono::sys_days as_of = AsOf(market);
  std::vector<YieldPoint> points;
  for (std::chrono::sys_days day = PeriodStart(as_of, *shape); day <= as_of;
       day += std::chrono::days(1)) {
    const unsigned weekday = std::chrono::weekday(day).c_encoding();
    if (weekday != 0 && weekday != 6) points.push_back({DateText(day), {}});
  }
  for (const Fund* fund : funds) {
    const std::vector<double> walk = Walk(market, *fund, *shape, points.size());
    for (size_t i = 0; i < points.size(); ++i) points[i].yields.push_back(walk[i]);
  }
  return points;
}

std::string YieldCompareAnswer(const Market& market, std::string_view bzdm, std::string_view period,
                               std::string_view callback) {
  const std::vector<std::string> codes = base::Split(bzdm, ",");
  std::vector<const Fund*> funds;
  for (const std::string& code : codes) {
    if (const Fund* fund = FindFund(market, code)) funds.push_back(fund);
  }
  if (codes.empty() || codes.size() > 2 || funds.size() != codes.size() ||
      FindShape(period) == nullptr) {
    return Wrap(callback, ErrorAnswer());
  }
  std::string series;
  for (const YieldPoint& point : YieldSeries(market, funds, period)) {
    if (!series.empty()) series += ",";
    series += "{ \\\"date\\\": \\\"" + point.date + "\\\"";
    for (size_t i = 0; i < funds.size(); ++i) {
      series += ",\\\"" + funds[i]->code + "\\\":" + Yield(point.yields[i]);
    }
    series += "}";
  }
  const std::string json = "{\"Datas\":\"{\\\"dataProvider\\\": [" + series +
                           "]}\",\"ErrCode\":0,\"Success\":true,\"ErrMsg\":null,"
                           "\"Message\":null,\"ErrorCode\":\"0\",\"ErrorMessage\":null,"
                           "\"ErrorMessageList\":null,\"TotalCount\":" +
                           std::to_string(funds.size()) + ",\"Expansion\":null}";
  return Wrap(callback, json);
}

void AddYieldCompareRoutes(PortalSim& sim) {
  const Market& market = sim.market();
  sim.AddGet(
      kYieldComparePath, [&market](const httplib::Request& request, httplib::Response& response) {
        const bool from_compare_page =
            request.get_header_value("Referer").find("/compare/") != std::string::npos;
        const std::string callback = request.get_param_value("callback");
        response.set_content(from_compare_page
                                 ? YieldCompareAnswer(market, request.get_param_value("bzdm"),
                                                      request.get_param_value("c"), callback)
                                 : Wrap(callback, ErrorAnswer()),
                             "application/javascript; charset=utf-8");
      });
}

}  // namespace sim
