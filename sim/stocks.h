#pragma once

// The stocks the simulated funds hold: a fixed list of listed companies with their quote
// identifiers, and the quote figures and shareholder counts the portal shows for them.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct Stock {
  std::string code;  // six digits
  std::string name;
  int market = 0;  // quote market number: 1 Shanghai, 0 Shenzhen
};

// Every stock, Shanghai before Shenzhen, each group by code. The same on every run.
const std::vector<Stock>& Stocks();

// Stocks whose names hold parentheses, as science-board listings with special voting rights
// carry them ("和辉光电(U)"). Only funds chosen for it hold one (see fund_detail.h).
const std::vector<Stock>& BracketedStocks();

// Quote identifier "market.code", as the quote service and the holdings archive write it.
std::string SecId(const Stock& stock);

// The stock of a code or of a quote identifier ("1.600519"), or null.
const Stock* FindStock(std::string_view code_or_secid);

// A stock's figures on the quote service, derived from the seed: price, day change in percent
// and price-earnings ratio, each to two decimals.
struct StockQuote {
  double price = 0;
  double change = 0;
  double pe = 0;
};
StockQuote QuoteOf(std::uint64_t seed, const Stock& stock);

// The shareholder-count history page of a stock.
std::string ShareholderPage(std::uint64_t seed, const Stock& stock);

}  // namespace sim
