#include "funds/holdings.h"

#include <algorithm>

#include "base/text.h"
#include "funds/holdings_overlap.h"
#include "net/http_fetch.h"
#include "script/json_object.h"
#include "script/regex_object.h"

namespace funds {

namespace {

constexpr int kHoldingRows = 10;

// The JSON inside a JSONP answer: from the first "(" to the last ")", so that a ")" in a stock
// name stays part of it.
std::string_view JsonpBody(std::string_view answer) {
  const size_t open = answer.find('(');
  const size_t close = answer.rfind(')');
  if (open == answer.npos || close == answer.npos || close < open) return {};
  return answer.substr(open + 1, close - open - 1);
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
      base::Split(base::TextBetween(archive, "<div class='hide' id='gpdmList'>", ",</div>"), ",");
  return result;
}

std::vector<Holding> PairQuotes(std::string_view quotes, const HoldingsArchive& archive) {
  script::JsonObject answer;
  answer.Parse(JsonpBody(quotes));
  const int count = std::min(answer.GetCount("data.diff"), kHoldingRows);
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

std::vector<Holding> FetchTopHoldings(const net::PortalUrls& urls, std::string_view code,
                                      net::TransferControl* control) {
  const HoldingsArchive archive =
      CutHoldingsArchive(net::GetAnswerText(net::HoldingsArchiveUrl(urls, code), control,
                                            net::kHoldingsArchiveMaxBytes)
                             .value_or(""));
  std::string secids;
  for (const std::string& identifier : archive.identifiers) {
    secids += (secids.empty() ? "" : ",") + identifier;
  }
  return PairQuotes(
      net::GetAnswerText(net::StockQuotesUrl(urls, secids), control, net::kStockQuotesMaxBytes)
          .value_or(""),
      archive);
}

void WriteHoldings(ui::Grid& grid, const std::vector<Holding>& holdings) {
  for (int row = 1; row <= kHoldingRows; ++row) {
    const size_t i = static_cast<size_t>(row - 1);
    const Holding empty;
    const Holding& holding = i < holdings.size() ? holdings[i] : empty;
    grid.SetText(row, 0, holding.name);
    grid.SetText(row, 1, holding.code);
    grid.SetText(row, 2, holding.share);
  }
}

void StartTopHoldings(app::App& app) {
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kHoldingsGrid);
  app.workers().Start([&app, ticket, urls = app.portal(), code = app.globals.CurrentFundCode] {
    app.ui().Post([&app, ticket, holdings = FetchTopHoldings(urls, code, &app.transfers())] {
      if (!app.loads().IsCurrent(ticket)) return;
      app::MainWindow& main = app.main_window();
      WriteHoldings(main.高级表格5, holdings);
      RefreshHoldingsOverlap(app);
      const int row = main.高级表格1.CurrentRow();
      main.标签1.SetCaption(main.高级表格1.Text(row != -1 ? row : 1, 0));
    });
  });
}

}  // namespace funds
