#include "portal/yield_comparison.h"

#include "base/text.h"
#include "net/http_fetch.h"
#include "script/regex_object.h"

namespace portal {

namespace {

constexpr std::string_view kSeriesStart = "\\\"dataProvider\\\": [";
constexpr std::string_view kSeriesEnd = "]}\",\"ErrCode\"";

}  // namespace

std::string YieldComparisonUrl(const net::PortalUrls& urls, std::string_view codes,
                               std::string_view period) {
  return urls.portal_api + "/FundCompare/LJSYL?bzdm=" + std::string(codes) +
         "&c=" + std::string(period) + "&callback=" + std::string(kYieldCompareCallback) +
         "&_=1628388758953";
}

std::string YieldComparisonReferer(const net::PortalUrls& urls) {
  return "Referer: " + urls.portal_main + "/compare/?code=005669,005939";
}

std::string CutComparisonSeries(std::string_view answer) {
  return base::ReplaceAll(base::TextBetween(answer, kSeriesStart, kSeriesEnd), "\\", "");
}

ComparisonSeries CutComparisonPoints(std::string_view series,
                                     const std::vector<std::string>& codes) {
  script::RegexObject records;
  records.Create("{ \"date\": \".*?}", series);
  ComparisonSeries cut;
  for (int i = 1; i <= records.Count(); ++i) {
    const std::string record = records.MatchText(i);
    ComparisonPoint point;
    for (size_t c = 0; c < codes.size(); ++c) {
      const bool last = c + 1 == codes.size();
      point.values.push_back(
          base::ToNumber(base::TextBetween(record, codes[c] + "\":", last ? "}" : ",\"")));
    }
    point.date = base::TextBetween(record, "{ \"date\": \"", "\",\"");
    cut.points.push_back(std::move(point));
  }
  return cut;
}

std::optional<ComparisonSeries> FetchComparisonSeries(const net::PortalUrls& urls,
                                                      std::string_view codes,
                                                      std::string_view period,
                                                      const std::vector<std::string>& read,
                                                      net::TransferControl* control) {
  const std::optional<std::string> answer =
      net::GetAnswerText(YieldComparisonUrl(urls, codes, period), control, kYieldComparisonMaxBytes,
                         YieldComparisonReferer(urls));
  if (!answer) return std::nullopt;
  const std::string records = CutComparisonSeries(*answer);
  // An empty cut draws nothing, exactly like a missing marker.
  if (records.empty()) return std::nullopt;
  return CutComparisonPoints(records, read);
}

}  // namespace portal
