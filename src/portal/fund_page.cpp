#include "portal/fund_page.h"

#include "base/text.h"
#include "net/http_fetch.h"
#include "script/regex_object.h"

namespace portal {

namespace {

// The text in front of the first `marker`; empty when it does not occur.
std::string Before(std::string_view text, std::string_view marker) {
  const long long at = base::Find(text, marker);
  return at > 0 ? std::string(text.substr(0, static_cast<size_t>(at - 1))) : std::string();
}

}  // namespace

std::string FundMainPageUrl(const net::PortalUrls& urls, std::string_view code) {
  return urls.portal_main + "/" + std::string(code) + ".html?spm=search ";
}

FundSummary CutFundSummary(std::string_view page) {
  FundSummary summary;
  constexpr std::string_view kPeriodsStart =
      "<div class=\"typeName\">阶段涨幅</div></td><td>  <div class=\"Rdata ui-color";
  constexpr std::string_view kNavStart = "单位净值</a></span> (</span>";
  const std::string periods = base::TextBetween(
      page, kPeriodsStart, "</td> </tr><tr><td>  <div class=\"typeName\">同类平均<div class=");
  const std::string nav = base::TextBetween(page, kNavStart, "</span></dd><dd><span>近3月");
  summary.marked = page.find(kPeriodsStart) != std::string_view::npos ||
                   page.find(kNavStart) != std::string_view::npos;
  summary.nav_date = Before(nav, ")</p></dt><dd class");
  summary.unit_nav = base::TextBetween(nav, "ui-num\">", "</span><span class=");
  summary.day_change =
      base::TextRightOfLast(base::TextRightOfLast(nav, "</span><span class="), "\">");
  summary.fund_type =
      base::TextRightOfLast(base::TextBetween(page, "基金类型：<", "</a>&nbsp"), ">");

  script::RegexObject regex;
  regex.Create("bold\">.*?</div>", periods);
  for (int i = 1; i <= 8; ++i) {
    summary.periods[i - 1] =
        base::ReplaceAll(base::ReplaceAll(regex.MatchText(i), "bold\">", ""), "</div>", "");
  }
  return summary;
}

std::optional<FundSummary> FetchFundSummary(const net::PortalUrls& urls, std::string_view code,
                                            net::TransferControl* control) {
  const std::optional<std::string> page =
      net::GetAnswerText(FundMainPageUrl(urls, code), control, kFundMainPageMaxBytes);
  if (!page) return std::nullopt;
  return CutFundSummary(*page);
}

}  // namespace portal
