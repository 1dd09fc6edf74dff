#include "sim/yield_compare.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "portal/yield_comparison.h"
#include "script/json_object.h"
#include "sim/server.h"

namespace sim {
namespace {

TEST(YieldCompareTest, PeriodsGiveWeekdaySeriesEndingOnTheGrowthAndBadAsksTheErrorAnswer) {
  PortalSimOptions options;
  options.market.funds = 50;
  options.market.boards = 2;
  PortalSim sim(options);
  ASSERT_GT(sim.Start(), 0);
  const auto urls = net::PortalUrls::Load([&](std::string_view) { return sim.BaseUrl(); });
  // The JSONP answer's object, read with the program's reader.
  auto answer = [&](const std::string& codes, const std::string& period, bool referer = true) {
    const std::string text =
        net::HttpGet(portal::YieldComparisonUrl(urls, codes, period), nullptr, net::kMaxBodyBytes,
                     referer ? portal::YieldComparisonReferer(urls) : "")
            .text;
    script::JsonObject json;
    EXPECT_TRUE(json.Parse(
        base::TextBetween(text, std::string(portal::kYieldCompareCallback) + "(", ");")));
    return json;
  };

  const Fund& a = sim.market().funds()[2];
  const Fund& b = sim.market().funds()[11];
  int previous = 0;
  for (std::string_view period : kYieldPeriods) {
    // The series is a JSON text of its own inside the Datas string.
    script::JsonObject series;
    ASSERT_TRUE(series.Parse(answer(a.code + "," + b.code, std::string(period)).GetText("Datas")));
    const int count = series.GetCount("dataProvider");
    EXPECT_GT(count, previous) << period;
    previous = count;
    const std::string last = "dataProvider[" + std::to_string(count - 1) + "].";
    EXPECT_EQ("2021/08/20", series.GetText(last + "date"));
    EXPECT_EQ(0.0, base::ToNumber(series.GetText("dataProvider[0]." + a.code)));
    if (period == "year" && a.growth[6]) {
      EXPECT_NEAR(*a.growth[6], base::ToNumber(series.GetText(last + a.code)), 0.005);
    }
  }
  // The week runs Friday to Friday: six trading days.
  EXPECT_EQ(6u, YieldSeries(sim.market(), {&a}, "week").size());

  for (const auto& [codes, period, referer] :
       {std::tuple<std::string, std::string, bool>{"", "year", true},
        {a.code + ",999999", "year", true},
        {a.code, "fiveyear", true},
        {a.code, "year", false}}) {
    EXPECT_EQ("-999", answer(codes, period, referer).GetText("ErrCode")) << codes << period;
  }
}

}  // namespace
}  // namespace sim
