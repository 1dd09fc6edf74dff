#include "portal/fund_profile.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"
#include "net/http_fetch.h"
#include "script/regex_object.h"

namespace portal {

namespace {

constexpr int kStatisticCount = 6;
constexpr std::string_view kSizeMark = "<tr><th>资产规模</th><td>";
constexpr std::string_view kRiskTableStart = "<th class=\"num\">近3年</th>\r\n";
constexpr std::string_view kRiskTableEnd = "<div class=\"limit-time\">截止至：";

// A page that holds the end of an HTML document.
bool WholePage(std::string_view page) {
  constexpr std::string_view kEnd = "</html>";
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
  };
  return std::search(page.begin(), page.end(), kEnd.begin(), kEnd.end(), same) != page.end();
}

}  // namespace

std::string FundSizePageUrl(const net::PortalUrls& urls, std::string_view code) {
  return urls.portal_f10 + "/jbgk_" + std::string(code) + ".html ";
}

std::string FundManagerPageUrl(const net::PortalUrls& urls, std::string_view code) {
  return urls.portal_f10 + "/jjjl_" + std::string(code) + ".html";
}

std::string FundRiskPageUrl(const net::PortalUrls& urls, std::string_view code) {
  return urls.portal_f10 + "/tsdata_" + std::string(code) + ".html ";
}

std::string FundRatingUrl(const net::PortalUrls& urls, std::string_view code) {
  return urls.portal_api + "/F10/JJPJ/?callback=" + std::string(kFundRatingCallback) +
         "&fundcode=" + std::string(code) + "&pageIndex=1&pageSize=50&_=1628052779751";
}

std::string FundRatingHeaders(const net::PortalUrls& urls, std::string_view code) {
  // The template names one sample fund; every mention of it stands for the requested fund.
  const std::string templ =
      "User-Agent: Mozilla/5.0 (Windows NT 10.0; WOW64) AppleWebKit/537.36 (KHTML, like Gecko) "
      "Chrome/70.0.3538.25 Safari/537.36 Core/1.70.3868.400 QQBrowser/10.8.4394.400\r\n"
      "Accept: */*\r\n"
      "Referer: " +
      urls.portal_f10 + "/jjpj_004139.html";
  return base::ReplaceAll(templ, "004139", code);
}

std::string CutFundSize(std::string_view page) {
  return base::TextBetween(page, kSizeMark, "亿元（截止至");
}

ManagerFigures CutManagerFigures(std::string_view page) {
  script::RegexObject regex;
  regex.Create(
      "<th>任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>.*?</a> "
      "</td><td>.*?</td></tr>",
      page);
  const std::string row = regex.MatchText(1);
  const std::string tail = base::TextBetween(row, "</td><td class=", "</tr>");
  return {base::TextBetween(tail, ">", "</td>"),
          base::TextBetween(row, "</a> </td><td>", "</td><td class=")};
}

std::string CutRating(std::string_view answer) {
  std::string rating = base::TextBetween(answer, "\"SZPJ3\":\"", "\",\"ZSPJ5");
  return rating.empty() ? "0" : rating;
}

std::vector<std::string> CutRiskStatistics(std::string_view page) {
  const std::string table = base::TextBetween(page, kRiskTableStart, kRiskTableEnd);
  script::RegexObject regex;
  regex.Create("class='num'>.*?</td>", table);
  std::vector<std::string> statistics;
  for (int i = 1; i <= std::min(regex.Count(), kStatisticCount); ++i) {
    statistics.push_back(
        base::ReplaceAll(base::ReplaceAll(regex.MatchText(i), "class='num'>", ""), "</td>", ""));
  }
  return statistics;
}

std::optional<std::string> FetchFundSize(const net::PortalUrls& urls, std::string_view code,
                                         net::TransferControl* control) {
  const std::optional<std::string> page =
      net::GetAnswerText(FundSizePageUrl(urls, code), control, kFundProfilePageMaxBytes);
  if (!page || page->find(kSizeMark) == std::string::npos) return std::nullopt;
  return CutFundSize(*page);
}

std::optional<ManagerFigures> FetchManagerFigures(const net::PortalUrls& urls,
                                                  std::string_view code,
                                                  net::TransferControl* control) {
  const std::optional<std::string> page =
      net::GetAnswerText(FundManagerPageUrl(urls, code), control, kFundProfilePageMaxBytes);
  if (!page || !WholePage(*page)) return std::nullopt;
  return CutManagerFigures(*page);
}

std::optional<std::string> FetchRating(const net::PortalUrls& urls, std::string_view code,
                                       net::TransferControl* control) {
  const std::optional<std::string> answer = net::GetAnswerText(
      FundRatingUrl(urls, code), control, kFundRatingMaxBytes, FundRatingHeaders(urls, code));
  if (!answer || answer->find(std::string(kFundRatingCallback) + "(") == std::string::npos) {
    return std::nullopt;
  }
  return CutRating(*answer);
}

std::optional<std::vector<std::string>> FetchRiskStatistics(const net::PortalUrls& urls,
                                                            std::string_view code,
                                                            net::TransferControl* control) {
  const std::optional<std::string> page =
      net::GetAnswerText(FundRiskPageUrl(urls, code), control, kFundProfilePageMaxBytes);
  if (!page || page->find(kRiskTableStart) == std::string::npos ||
      page->find(kRiskTableEnd) == std::string::npos) {
    return std::nullopt;
  }
  return CutRiskStatistics(*page);
}

}  // namespace portal
