#include "sim/holdings.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "base/text.h"
#include "sim/fund_detail.h"
#include "sim/server.h"
#include "sim/stocks.h"

namespace sim {
namespace {

// "23456.78" as "23,456.78", as the archive writes amounts.
std::string Amount(double value) {
  char text[48];
  std::snprintf(text, sizeof text, "%.2f", value);
  std::string digits = text;
  const size_t point = digits.find('.');
  for (size_t at = point; at > 3 && std::isdigit(static_cast<unsigned char>(digits[at - 4]));
       at -= 3) {
    digits.insert(at - 3, ",");
  }
  return digits;
}

std::string QuarterBox(const Fund& fund, const std::string& quarter, const std::string& date,
                       const std::vector<Holding>& holdings, size_t topline) {
  std::string box =
      "<div class='box'><div class='boxitem w790'><h4 class='t'><label class='left'><a "
      "href='/" +
      fund.code + ".html'>" + fund.name + "</a>&nbsp;&nbsp;" + quarter +
      "股票投资明细</label><label class='right lab2 xq505'>&nbsp;&nbsp;来源：基金季报"
      "&nbsp;&nbsp;截止至：<font class='px12'>" +
      date +
      "</font></label></h4><div class='space0'></div><table class='w782 comm tzxq'><thead><tr>"
      "<th>序号</th><th>股票代码</th><th>股票名称</th><th class='tor'>最新价</th><th "
      "class='tor'>涨跌幅</th><th>相关资讯</th><th class='tor'>占净值<br />比例</th><th "
      "class='tor'>持股数<br />（万股）</th><th class='tor'>持仓市值<br />（万元）</th></tr>"
      "</thead><tbody>";
  std::string ids;
  const size_t count = std::min(topline, holdings.size());
  for (size_t i = 0; i < count; ++i) {
    const Holding& holding = holdings[i];
    const std::string& code = holding.stock.code;
    const std::string quote = "<a href='/quote/unify/r/" + SecId(holding.stock) + "'>";
    box += "<tr><td>" + std::to_string(i + 1) + "</td><td>" + quote + code +
           "</a></td><td class='tol'>" + quote + holding.stock.name +
           "</a></td><td class='tor'><span data-id='dq" + code +
           "'></span></td><td class='tor'><span data-id='zd" + code +
           "'></span></td><td class='xglj'><a href='ccbdxq_" + fund.code + "_" + code +
           ".html'>变动详情</a><a href='/guba/list," + code + ".html'>股吧</a>" + quote +
           "行情</a><a href='/stockdata/" + code + ".html'>档案</a></td><td class='tor'>" +
           holding.share + "</td><td class='tor'>" + Amount(holding.shares_10k) +
           "</td><td class='tor'>" + Amount(holding.value_10k) + "</td></tr>";
    ids += SecId(holding.stock) + ",";
  }
  return box + "</tbody></table><div class='hide' id='gpdmList'>" + ids + "</div></div></div>";
}

// The quarter before "2021年2季度" and the last day of it.
std::pair<std::string, std::string> PreviousQuarter(const std::string& quarter) {
  int year = 2021, number = 2;
  std::sscanf(quarter.c_str(), "%d年%d", &year, &number);
  if (--number == 0) {
    number = 4;
    --year;
  }
  static constexpr const char* kEnds[] = {"03-31", "06-30", "09-30", "12-31"};
  return {std::to_string(year) + "年" + std::to_string(number) + "季度",
          std::to_string(year) + "-" + kEnds[number - 1]};
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", value + 0.0);
  return text;
}

}  // namespace

std::string HoldingsArchive(const Market& market, const Fund* fund, int topline) {
  if (fund == nullptr) return "var apidata={ content:\"\",arryear:[],curyear:0};";
  const FundDetail detail = DetailOf(market, *fund);
  const size_t shown = static_cast<size_t>(std::max(0, topline));
  const auto [previous, previous_date] = PreviousQuarter(detail.holdings_quarter);
  const std::string year = detail.report_date.substr(0, 4);
  return "var apidata={ content:\"" +
         QuarterBox(*fund, detail.holdings_quarter, detail.report_date, detail.holdings, shown) +
         QuarterBox(*fund, previous, previous_date, detail.previous_holdings, shown) +
         "\",arryear:[" + year + "," + std::to_string(std::stoi(year) - 1) + "],curyear:" + year +
         "};";
}

std::string StockQuotes(const Market& market, const std::string& secids,
                        const std::string& callback, const QuoteOptions& options) {
  std::vector<const Stock*> stocks;
  for (const std::string& id : base::Split(secids, ",")) {
    const Stock* stock = FindStock(id);
    if (stock == nullptr || stock->code == options.omit_code) continue;
    if (std::find(stocks.begin(), stocks.end(), stock) == stocks.end()) stocks.push_back(stock);
  }
  if (options.reversed) std::reverse(stocks.begin(), stocks.end());
  std::string data = "null";
  if (!stocks.empty()) {
    data = "{\"total\":" + std::to_string(stocks.size()) + ",\"diff\":[";
    for (size_t i = 0; i < stocks.size(); ++i) {
      const StockQuote quote = QuoteOf(market.options().seed, *stocks[i]);
      if (i > 0) data += ",";
      data += "{\"f2\":" + Number(quote.price) + ",\"f3\":" + Number(quote.change) +
              ",\"f9\":" + Number(quote.pe) + ",\"f12\":\"" + stocks[i]->code + "\",\"f14\":\"" +
              stocks[i]->name + "\"}";
    }
    data += "]}";
  }
  const std::string json =
      "{\"rc\":0,\"rt\":11,\"svr\":181735150,\"lt\":1,\"full\":1,\"data\":" + data + "}";
  return callback.empty() ? json : callback + "(" + json + ");";
}

void AddHoldingsRoutes(PortalSim& sim) {
  const Market& market = sim.market();
  sim.AddGet(kHoldingsArchivePath,
             [&market](const httplib::Request& request, httplib::Response& response) {
               const Fund* fund = request.get_param_value("type") == "jjcc"
                                      ? FindFund(market, request.get_param_value("code"))
                                      : nullptr;
               const std::string topline = request.get_param_value("topline");
               const int shown = topline.empty() ? 10 : static_cast<int>(base::ToNumber(topline));
               response.set_content(HoldingsArchive(market, fund, shown),
                                    "application/javascript; charset=utf-8");
             });
  sim.AddGet(kStockQuotesPath,
             [&sim, &market](const httplib::Request& request, httplib::Response& response) {
               response.set_content(StockQuotes(market, request.get_param_value("secids"),
                                                request.get_param_value("cb"), sim.quote_options()),
                                    "application/javascript; charset=utf-8");
             });
  sim.AddGet(R"(/gdhs/detail/(\d{6})\.html)",
             [&market](const httplib::Request& request, httplib::Response& response) {
               const Stock* stock = FindStock(request.matches[1].str());
               if (stock == nullptr) {
                 response.status = 404;
                 response.set_content("Not Found", "text/plain; charset=utf-8");
                 return;
               }
               response.set_content(ShareholderPage(market.options().seed, *stock),
                                    "text/html; charset=utf-8");
             });
}

}  // namespace sim
