#include "sim/stocks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/random.h"

namespace sim {
namespace {

constexpr std::string_view kNameHeads[] = {
    "贵州", "长江", "华东", "中信", "东方", "海天", "恒瑞", "宁德", "隆基", "立讯", "迈瑞", "三一",
    "万华", "格力", "美的", "紫金", "牧原", "通策", "汇川", "阳光", "泸州", "山西", "北方", "招商"};
constexpr std::string_view kNameTails[] = {"医药", "电力", "证券", "科技", "股份", "电子",
                                           "重工", "化学", "矿业", "智能", "新材", "食品"};
constexpr std::string_view kBracketed[] = {"和辉光电(U)", "泽璟制药(U)", "奥比中光(UW)",
                                           "云从科技(U)"};

std::vector<Stock> MakeStocks() {
  // Codes come from a fixed sequence, so that the list does not depend on any market seed.
  Random random(0x5eed5eedULL);
  std::vector<Stock> stocks;
  int shanghai = 600000, shenzhen = 1, growth = 300000;
  for (size_t h = 0; h < std::size(kNameHeads); ++h) {
    for (size_t t = 0; t < std::size(kNameTails); ++t) {
      Stock stock;
      stock.name = std::string(kNameHeads[h]) + std::string(kNameTails[t]);
      int* next = nullptr;
      switch (random.Below(3)) {
        case 0:
          next = &shanghai;
          stock.market = 1;
          break;
        case 1:
          next = &shenzhen;
          break;
        default:
          next = &growth;
          break;
      }
      *next += 1 + static_cast<int>(random.Below(12));
      char code[16];
      std::snprintf(code, sizeof code, "%06d", *next);
      stock.code = code;
      stocks.push_back(std::move(stock));
    }
  }
  int science = 688000;
  for (std::string_view name : kBracketed) {
    science += 1 + static_cast<int>(random.Below(300));
    stocks.push_back({std::to_string(science), std::string(name), 1});
  }
  std::sort(stocks.begin(), stocks.end(), [](const Stock& a, const Stock& b) {
    return a.market != b.market ? a.market > b.market : a.code < b.code;
  });
  return stocks;
}

double Round2(double value) { return std::round(value * 100) / 100 + 0.0; }

std::uint64_t StockSalt(const Stock& stock) { return std::stoull(stock.code); }

}  // namespace

const std::vector<Stock>& Stocks() {
  static const std::vector<Stock> stocks = MakeStocks();
  return stocks;
}

const std::vector<Stock>& BracketedStocks() {
  static const std::vector<Stock> bracketed = [] {
    std::vector<Stock> out;
    for (const Stock& stock : Stocks()) {
      if (stock.name.find(')') != std::string::npos) out.push_back(stock);
    }
    return out;
  }();
  return bracketed;
}

std::string SecId(const Stock& stock) { return std::to_string(stock.market) + "." + stock.code; }

const Stock* FindStock(std::string_view code_or_secid) {
  const size_t dot = code_or_secid.find('.');
  const std::string_view code =
      dot == std::string_view::npos ? code_or_secid : code_or_secid.substr(dot + 1);
  for (const Stock& stock : Stocks()) {
    if (stock.code != code) continue;
    if (dot != std::string_view::npos &&
        code_or_secid.substr(0, dot) != std::to_string(stock.market))
      return nullptr;
    return &stock;
  }
  return nullptr;
}

StockQuote QuoteOf(std::uint64_t seed, const Stock& stock) {
  Random random(Mix(seed, StockSalt(stock), 0x71));
  StockQuote quote;
  quote.price = Round2(std::exp(1.5 + 2.5 * random.Uniform()));
  quote.change = Round2(std::clamp(2.0 * random.Normal(), -10.0, 10.0));
  quote.pe = Round2(8 + 60 * random.Uniform());
  return quote;
}

std::string ShareholderPage(std::uint64_t seed, const Stock& stock) {
  Random random(Mix(seed, StockSalt(stock), 0x72));
  const std::string title = stock.name + "(" + stock.code + ")";
  std::string page =
      "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\" /><title>" + title +
      "股东户数_股东人数变化</title></head>\r\n<body><h1>" + title +
      " 股东户数</h1>\r\n<table class=\"gdhs\"><thead><tr><th>截止日</th><th>股东户数(户)</th>"
      "<th>较上期变化(%)</th></tr></thead><tbody>\r\n";
  static constexpr const char* kQuarterEnds[] = {"2021-06-30", "2021-03-31", "2020-12-31",
                                                 "2020-09-30", "2020-06-30", "2020-03-31"};
  double holders = 20000 + 200000 * random.Uniform();
  for (const char* date : kQuarterEnds) {
    const double change = std::clamp(15 * random.Normal(), -40.0, 60.0);
    char row[160];
    std::snprintf(row, sizeof row, "<tr><td>%s</td><td>%.0f</td><td>%.2f</td></tr>\r\n", date,
                  holders, change);
    page += row;
    holders = std::max(1000.0, holders / (1 + change / 100));
  }
  return page + "</tbody></table>\r\n</body></html>\r\n";
}

}  // namespace sim
