#include "sim/fund_guide.h"

#include <algorithm>
#include <charconv>

#include "sim/server.h"

namespace sim {
namespace {

int ParseInt(const std::string& text, int fallback) {
  int value = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size() ? value : fallback;
}

// A record as a double-quoted JavaScript string; records hold no line breaks.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

FundGuideQuery ReadQuery(const httplib::Request& request) {
  FundGuideQuery query;
  query.sort_code = request.get_param_value("sc");
  query.ascending = request.get_param_value("st") == "asc";
  const std::string rating = request.get_param_value("rt");
  if (rating.rfind("sz,", 0) == 0) query.min_rating = ParseInt(rating.substr(3), 0);
  query.board = request.get_param_value("tp");
  query.page = std::max(1, ParseInt(request.get_param_value("pi"), 1));
  query.page_size = std::clamp(ParseInt(request.get_param_value("pn"), 20), 1, 10000);
  return query;
}

}  // namespace

std::vector<int> SelectFunds(const Market& market, const FundGuideQuery& query) {
  const std::vector<Fund>& funds = market.funds();
  std::vector<int> selected;
  if (!query.board.empty()) {
    const Board* board = market.FindBoard(query.board);
    if (board != nullptr) selected = board->funds;
  } else {
    selected.resize(funds.size());
    for (size_t i = 0; i < funds.size(); ++i) selected[i] = static_cast<int>(i);
  }
  if (query.min_rating > 0) {
    std::erase_if(selected, [&](int f) { return funds[f].rating < query.min_rating; });
  }
  const int period = PeriodOfSortCode(query.sort_code);
  if (period >= 0) {
    // Funds are stored in code order, so a stable sort leaves ties in code order.
    std::stable_sort(selected.begin(), selected.end(), [&](int a, int b) {
      const auto& x = funds[a].growth[period];
      const auto& y = funds[b].growth[period];
      if (!x || !y) return x.has_value() && !y.has_value();
      return query.ascending ? *x < *y : *x > *y;
    });
  }
  return selected;
}

std::string FundGuideBody(const Market& market, const FundGuideQuery& query) {
  const std::vector<int> selected = SelectFunds(market, query);
  const long long count = static_cast<long long>(selected.size());
  const long long pages = (count + query.page_size - 1) / query.page_size;
  const long long first = static_cast<long long>(query.page - 1) * query.page_size;
  std::string body = "var rankData = {datas:[";
  for (long long i = first; i < std::min(count, first + query.page_size); ++i) {
    if (i > first) body += ',';
    body += Quoted(Market::FundGuideRecord(market.funds()[selected[i]]));
  }
  body += "],allRecords:" + std::to_string(market.funds().size()) +
          ",pageIndex:" + std::to_string(query.page) +
          ",pageNum:" + std::to_string(query.page_size) + ",allPages:" + std::to_string(pages) +
          ",datacount:" + std::to_string(count) + "}";
  return body;
}

void AddFundGuideRoutes(PortalSim& sim) {
  const Market& market = sim.market();
  const int page_size = sim.options().list_page_size;
  sim.AddGet(kFundGuidePath,
             [&market, page_size](const httplib::Request& request, httplib::Response& response) {
               FundGuideQuery query = ReadQuery(request);
               if (page_size > 0) query.page_size = page_size;
               response.set_content(FundGuideBody(market, query), "text/plain; charset=utf-8");
             });
}

}  // namespace sim
