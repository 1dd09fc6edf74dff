#include "sim/fund_search.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "sim/server.h"

namespace sim {
namespace {

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

bool Matches(const Fund& fund, std::string_view key, const std::string& upper_key) {
  return fund.code.starts_with(key) || fund.name.find(key) != std::string::npos ||
         fund.abbreviation.find(upper_key) != std::string::npos;
}

}  // namespace

std::vector<int> SearchFunds(const Market& market, std::string_view key) {
  std::vector<int> found;
  if (key.empty()) return found;
  const std::string upper_key = UpperAscii(key);
  const std::vector<Fund>& funds = market.funds();
  for (size_t f = 0; f < funds.size() && found.size() < kMaxSearchResults; ++f) {
    if (Matches(funds[f], key, upper_key)) found.push_back(static_cast<int>(f));
  }
  return found;
}

std::string FundSearchAnswer(const Market& market, std::string_view callback,
                             std::string_view key) {
  std::string datas;
  for (int f : SearchFunds(market, key)) {
    const Fund& fund = market.funds()[f];
    char nav[32];
    std::snprintf(nav, sizeof nav, "%.4f", fund.unit_nav);
    if (!datas.empty()) datas += ',';
    datas += "{\"_id\":" + Quoted(fund.code) + ",\"CODE\":" + Quoted(fund.code) +
             ",\"NAME\":" + Quoted(fund.name) + ",\"JP\":" + Quoted(fund.abbreviation) +
             ",\"CATEGORY\":700,\"CATEGORYDESC\":\"基金\",\"FundBaseInfo\":{\"FCODE\":" +
             Quoted(fund.code) + ",\"SHORTNAME\":" + Quoted(fund.name) +
             ",\"FTYPE\":" + Quoted(fund.type) + ",\"DWJZ\":" + nav + "}}";
  }
  return std::string(callback) + "({\"ErrCode\":0,\"ErrMsg\":null,\"Datas\":[" + datas + "]})";
}

void AddFundSearchRoutes(PortalSim& sim) {
  const Market& market = sim.market();
  sim.AddGet(kFundSearchPath,
             [&market](const httplib::Request& request, httplib::Response& response) {
               response.set_content(FundSearchAnswer(market, request.get_param_value("callback"),
                                                     request.get_param_value("key")),
                                    "application/javascript; charset=utf-8");
             });
}

}  // namespace sim
