#include "portal/holdings.h"

#include <algorithm>

#include "base/text.h"
#include "net/http_fetch.h"
#include "portal/jsonp.h"
#include "script/json_object.h"
#include "script/regex_object.h"

namespace portal {

namespace {

constexpr std::string_view kIdentifierListStart = "<div class='hide' id='gpdmList'>";

std::string JoinedIdentifiers(const HoldingsArchive& archive) {
  std::string secids;
  for (const std::string& identifier : archive.identifiers) {
    secids += (secids.empty() ? "" : ",") + identifier;
  }
  return secids;
}

// The code part of a quote identifier "market.code".
std::string_view IdentifierCode(std::string_view identifier) {
  const size_t dot = identifier.find('.');
  return dot == identifier.npos ? identifier : identifier.substr(dot + 1);
}

}  // namespace

HoldingsArchive CutHoldingsArchive(std::string_view archive) {
  HoldingsArchive result;
  script::RegexObject regex;
  regex.Create("档案</a></td><td class='tor'>.*?</td><td class='tor'>", archive);
  for (int i = 1; i <= regex.Count(); ++i) {
    result.shares.push_back(
        base::ReplaceAll(base::ReplaceAll(regex.MatchText(i), "档案</a></td><td class='tor'>", ""),
                         "</td><td class='tor'>", ""));
  }
  result.identifiers =
      base::Split(base::TextBetween(archive, kIdentifierListStart, ",</div>"), ",");
  return result;
}

std::vector<Holding> PairQuotes(std::string_view quotes, const HoldingsArchive& archive) {
  script::JsonObject answer;
  answer.Parse(JsonpBody(quotes));
  const int count = std::min(answer.GetCount("data.diff"), kHoldingCount);
  std::vector<Holding> holdings;
  for (int k = 0; k < count; ++k) {
    const std::string item = "data.diff[" + base::IntToText(k) + "].";
    Holding holding{answer.GetText(item + "f14"), answer.GetText(item + "f12"), {}};
    for (size_t i = 0; i < archive.identifiers.size() && i < archive.shares.size(); ++i) {
      if (!holding.code.empty() && IdentifierCode(archive.identifiers[i]) == holding.code) {
        holding.share = archive.shares[i];
        break;
      }
    }
    holdings.push_back(std::move(holding));
  }
  return holdings;
}

std::optional<std::vector<Holding>> FetchTopHoldings(const net::PortalUrls& urls,
                                                     std::string_view code,
                                                     net::TransferControl* control) {
  const std::optional<std::string> page =
      net::GetAnswerText(HoldingsArchiveUrl(urls, code), control, kHoldingsArchiveMaxBytes);
  const HoldingsArchive archive = CutHoldingsArchive(page.value_or(""));
  const std::optional<std::string> quotes = net::GetAnswerText(
      StockQuotesUrl(urls, JoinedIdentifiers(archive)), control, kStockQuotesMaxBytes);
  if (!page || page->find(kIdentifierListStart) == std::string::npos || !quotes ||
      quotes->find(std::string(kStockQuotesCallback) + "(") == std::string::npos) {
    return std::nullopt;
  }
  return PairQuotes(*quotes, archive);
}

std::string HoldingsArchiveUrl(const net::PortalUrls& urls, std::string_view code) {
  return urls.portal_f10 + "/FundArchivesDatas.aspx?type=jjcc&code=" + std::string(code) +
         "&topline=10&year=&month=&rt=0.12776095035691926";
}

std::string StockQuotesUrl(const net::PortalUrls& urls, std::string_view secids) {
  return urls.portal_push + "/api/qt/ulist.np/get?fltt=2&invt=2&fields=f2,f3,f12,f14,f9&cb=" +
         std::string(kStockQuotesCallback) +
         "&ut=5b1c0e7a9d3f4a2b8c6e0f1d2a3b4c5d&secids=" + std::string(secids) + ",&_=1628074711810";
}

std::string ShareholderPageUrl(const net::PortalUrls& urls, std::string_view stock_code) {
  return urls.portal_data + "/gdhs/detail/" + std::string(stock_code) + ".html";
}

}  // namespace portal
