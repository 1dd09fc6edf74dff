#include "sim/yield_compare.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "script/json_object.h"
#include "sim/server.h"

namespace sim {
namespace {

class YieldCompareTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PortalSimOptions options;
    options.market.funds = 50;
    options.market.boards = 2;
    sim_ = std::make_unique<PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    urls_ = net::PortalUrls::Load([this](std::string_view) { return sim_->BaseUrl(); });
  }
  // The JSONP answer's object, read with the program's reader.
  script::JsonObject Answer(const std::string& codes, const std::string& period,
                            bool with_referer = true) {
    const net::HttpFetchResult result =
        net::HttpGet(net::YieldComparisonUrl(urls_, codes, period), nullptr, net::kMaxBodyBytes,
                     with_referer ? net::YieldComparisonReferer(urls_) : "");
    EXPECT_EQ("200 OK", result.status);
    const std::string prefix = std::string(net::kYieldCompareCallback) + "(";
    EXPECT_EQ(0u, result.text.find(prefix));
    script::JsonObject json;
    EXPECT_TRUE(json.Parse(base::TextBetween(result.text, prefix, ");")));
    return json;
  }

  std::unique_ptr<PortalSim> sim_;
  net::PortalUrls urls_;
};

TEST_F(YieldCompareTest, EveryPeriodGivesWeekdaySeriesEndingOnTheFundsGrowth) {
  const Fund& a = sim_->market().funds()[2];
  const Fund& b = sim_->market().funds()[11];
  int previous = 0;
  for (std::string_view period : kYieldPeriods) {
    script::JsonObject answer = Answer(a.code + "," + b.code, std::string(period));
    EXPECT_EQ("0", answer.GetText("ErrCode"));
    // The series is a JSON text of its own inside the Datas string.
    script::JsonObject series;
    ASSERT_TRUE(series.Parse(answer.GetText("Datas"))) << period;
    const int count = series.GetCount("dataProvider");
    EXPECT_GT(count, previous) << period;
    previous = count;
    const std::string first = "dataProvider[0].";
    const std::string last = "dataProvider[" + std::to_string(count - 1) + "].";
    EXPECT_EQ("2021/08/20", series.GetText(last + "date"));
    EXPECT_EQ(10u, series.GetText(first + "date").size());
    EXPECT_EQ(0.0, base::ToNumber(series.GetText(first + a.code)));
    const int growth = period == "week" ? 1 : period == "year" ? 6 : -1;
    if (growth > 0 && a.growth[growth]) {
      EXPECT_NEAR(*a.growth[growth], base::ToNumber(series.GetText(last + a.code)), 0.005);
    }
  }
  // The week runs Friday to Friday: six trading days.
  EXPECT_EQ(6u, YieldSeries(sim_->market(), {&a}, "week").size());

  // One fund alone: its records hold it alone.
  script::JsonObject single;
  ASSERT_TRUE(single.Parse(Answer(b.code, "month").GetText("Datas")));
  EXPECT_NE("", single.GetText("dataProvider[0]." + b.code));
  EXPECT_EQ("", single.GetText("dataProvider[0]." + a.code));
}

TEST_F(YieldCompareTest, MissingCodesUnknownPeriodsAndStrangersGetTheErrorAnswer) {
  const std::string code = sim_->market().funds()[0].code;
  EXPECT_EQ("-999", Answer("", "year").GetText("ErrCode"));
  EXPECT_EQ("-999", Answer(code + ",999999", "year").GetText("ErrCode"));
  EXPECT_EQ("-999", Answer(code, "fiveyear").GetText("ErrCode"));
  EXPECT_EQ("-999", Answer(code, "year", false).GetText("ErrCode"));
  EXPECT_EQ("0", Answer(code, "year").GetText("ErrCode"));
}

}  // namespace
}  // namespace sim
