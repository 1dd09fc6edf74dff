// The compare answer cut into dates, axis texts and the slots' values.

#include "chart/yield_comparison.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "portal/yield_comparison.h"

namespace chart {
namespace {

// A compare answer as the portal sends it: the series escaped inside the Datas string.
std::string Answer(const std::string& records) {
  std::string escaped;
  for (char c : records) {
    if (c == '"') escaped += '\\';
    escaped += c;
  }
  return "cb({\"Datas\":\"{\\\"dataProvider\\\": [" + escaped +
         "]}\",\"ErrCode\":0,\"Success\":true});";
}

const char* kThreeRecords = R"({ "date": "2021/08/01","005669":1.5,"005939":-0.25},)"
                            R"({ "date": "2021/08/02","005669":2,"005939":3.75},)"
                            R"({ "date": "2021/08/03","005669":abc,"005939":4})";

// The series text cut into days for the slots, then into the chart's data.
std::optional<ComparisonData> ParseComparison(std::string_view series,
                                              const ComparisonSlots& slots) {
  return chart::ParseComparison(portal::CutComparisonPoints(series, CodesToRead(slots)), slots);
}

TEST(YieldComparisonParse, BothSlotsCutEachFundAndBuildTheAxes) {
  const std::string series = portal::CutComparisonSeries(Answer(kThreeRecords));
  EXPECT_EQ(std::string::npos, series.find('\\'));
  const auto data = ParseComparison(series, {"005669", "005939"});
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ((std::vector<std::string>{"2021/08/01", "2021/08/02", "2021/08/03"}), data->dates);
  EXPECT_EQ("2|01||02||03|", data->x_spec);
  EXPECT_EQ((std::vector<float>{1.5f, 2.0f, 0.0f}), data->first_values);  // "abc" counts as 0
  EXPECT_EQ((std::vector<float>{-0.25f, 3.75f, 4.0f}), data->second_values);
  EXPECT_EQ("9|-1|4", data->y_spec);

  // Only the compared fund: its value runs up to the closing brace.
  const auto second = ParseComparison(series, {"", "005939"});
  ASSERT_TRUE(second.has_value());
  EXPECT_TRUE(second->first_values.empty());
  EXPECT_EQ((std::vector<float>{-0.25f, 3.75f, 4.0f}), second->second_values);
  EXPECT_EQ("2|01||02||03|", second->x_spec);
  // Only the current fund: its value runs to the brace too, past the other fund.
  EXPECT_EQ((std::vector<float>{1.5f, 2.0f, 0.0f}),
            ParseComparison(series, {"005669", ""})->first_values);
}

TEST(YieldComparisonParse, ValueAxisEndsOnWholeNumbersOutsideEveryValue) {
  auto y_spec = [](const std::string& a, const std::string& b) {
    const std::string series = R"({ "date": "2021/08/01","1":)" + a + R"(,"2":0},)" +
                               R"({ "date": "2021/08/02","1":0,"2":)" + b + "}";
    return ParseComparison(series, {"1", "2"})->y_spec;
  };
  EXPECT_EQ("9|-4|13", y_spec("-3.7", "12.9"));
  EXPECT_EQ("9|-3|12", y_spec("-3", "12"));
  EXPECT_EQ("9|0|1", y_spec("0.2", "0.8"));
  // An absurd value cannot overflow the axis texts.
  EXPECT_EQ("9|-1000000000|0", y_spec("-1e300", "0"));
}

TEST(YieldComparisonParse, OddAnswersGiveEmptyLabelsOrNothingToDraw) {
  // A date without "/" leaves an empty label between two bars.
  const auto undated =
      ParseComparison(R"({ "date": "20210801","1":1},{ "date": "2021/08/02","1":2})", {"1", ""});
  ASSERT_TRUE(undated.has_value());
  EXPECT_EQ("1|||02|", undated->x_spec);
  EXPECT_EQ("20210801", undated->dates[0]);

  // The first marker without the second one gives no series text.
  std::string cut_short = Answer(kThreeRecords);
  cut_short.erase(cut_short.find("]}\",\"ErrCode\""));
  EXPECT_EQ("", portal::CutComparisonSeries(cut_short));
  EXPECT_EQ("", portal::CutComparisonSeries("cb({\"Datas\":null,\"ErrCode\":-999});"));

  // No record, or no slot to draw: nothing, not a chart without a value range.
  EXPECT_FALSE(ParseComparison("no records here", {"005669", "005939"}).has_value());
  EXPECT_FALSE(ParseComparison(portal::CutComparisonSeries(Answer(kThreeRecords)), {"", ""}));
}

}  // namespace
}  // namespace chart
