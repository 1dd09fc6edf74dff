#include "sim/fund_detail.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "sim/random.h"

namespace sim {
namespace {

// One random stream per concern, so that a change to one leaves the others as they were.
enum Salt : std::uint64_t { kSize = 0xD1, kManager, kStats, kHoldings, kPrevious };

constexpr std::string_view kSurnames[] = {"张", "王", "李", "刘", "陈", "杨", "赵", "黄",
                                          "周", "吴", "徐", "孙", "胡", "朱", "高", "林"};
constexpr std::string_view kGivenNames[] = {"伟", "芳", "娜",   "敏",   "静",   "磊",  "洋",
                                            "勇", "艳", "杰",   "涛",   "明",   "超",  "霞",
                                            "平", "刚", "晓东", "志强", "海燕", "建华"};

std::string Format(const char* format, double value) {
  char text[48];
  std::snprintf(text, sizeof text, format, value + 0.0);  // + 0.0 turns -0 into 0
  return text;
}

double Round2(double value) { return std::round(value * 100) / 100; }

std::chrono::sys_days ParseDate(const std::string& text) {
  int year = 2021, month = 8, day = 20;
  std::sscanf(text.c_str(), "%d-%d-%d", &year, &month, &day);
  return std::chrono::sys_days(std::chrono::year(year) / month / day);
}

std::string DateText(std::chrono::sys_days days) {
  const std::chrono::year_month_day date(days);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::string PersonName(Random& random) {
  return std::string(kSurnames[random.Below(std::size(kSurnames))]) +
         std::string(kGivenNames[random.Below(std::size(kGivenNames))]);
}

std::optional<FundManager> MakeManager(const Market& market, const Fund& fund, int index) {
  if (index % 7 == 3) return std::nullopt;
  Random random(Mix(market.options().seed, index, kManager));
  FundManager manager;
  manager.names = PersonName(random);
  if (index % 4 == 1) manager.names += "、" + PersonName(random);
  const auto as_of = ParseDate(market.options().as_of);
  const long long age_days = (as_of - ParseDate(fund.inception_date)).count();
  const long long days =
      std::max(1LL, static_cast<long long>(random.Uniform() * std::min(age_days, 3300LL)));
  manager.start_date = DateText(as_of - std::chrono::days(days));
  manager.tenure = (days >= 365 ? std::to_string(days / 365) + "年又" : std::string()) +
                   std::to_string(days % 365) + "天";
  auto growth_over = [&random](long long span) {
    const double years = span / 365.0;
    const double growth = std::exp(0.08 * years + 0.2 * std::sqrt(years) * random.Normal()) - 1;
    return Format("%.2f%%", Round2(growth * 100));
  };
  manager.tenure_return = growth_over(days);
  if (age_days > days) {
    manager.previous_tenure = std::to_string(age_days - days) + "天";
    manager.previous_return = growth_over(age_days - days);
  }
  return manager;
}

double YearlyVolatility(const Fund& fund) {
  if (fund.type == "债券型") return 0.03;
  if (fund.type == "FOF") return 0.10;
  return 0.22;
}

void FillStats(const Market& market, const Fund& fund, int index, FundDetail& detail) {
  Random random(Mix(market.options().seed, index, kStats));
  detail.stats_per_row = index % 5 == 2 ? 2 : 3;
  std::vector<std::string> sharpe;
  for (int i = 0; i < detail.stats_per_row; ++i) {
    const double deviation = YearlyVolatility(fund) * 100 * (1 + 0.2 * random.Normal());
    detail.stats.push_back(Format("%.2f%%", Round2(std::max(0.05, deviation))));
    sharpe.push_back(Format("%.2f", Round2(0.6 + 0.8 * random.Normal())));
  }
  detail.stats.insert(detail.stats.end(), sharpe.begin(), sharpe.end());
  // The statistics are computed to the end of the month before.
  const std::chrono::year_month_day as_of(ParseDate(market.options().as_of));
  detail.stats_date =
      DateText(std::chrono::sys_days(as_of.year() / as_of.month() / 1) - std::chrono::days(1));
}

// The last reported quarter: the one before the quarter the market date falls in.
void FillReportQuarter(const Market& market, FundDetail& detail) {
  const std::chrono::year_month_day date(ParseDate(market.options().as_of));
  int quarter = static_cast<int>(static_cast<unsigned>(date.month()) - 1) / 3 - 1;
  int year = static_cast<int>(date.year());
  if (quarter < 0) {
    quarter += 4;
    --year;
  }
  detail.holdings_quarter = std::to_string(year) + "年" + std::to_string(quarter + 1) + "季度";
  const auto next_quarter = std::chrono::year(year) / ((quarter + 1) * 3 + 1) / 1;
  const auto first_of_next = next_quarter.ok()
                                 ? std::chrono::sys_days(next_quarter)
                                 : std::chrono::sys_days(std::chrono::year(year + 1) / 1 / 1);
  detail.report_date = DateText(first_of_next - std::chrono::days(1));
}

// Holdings of `stocks` with shares falling from the first, valued at the fund's size.
std::vector<Holding> Weigh(const Market& market, const std::vector<Stock>& stocks, double size,
                           Random& random) {
  std::vector<Holding> holdings;
  double share = Round2(4 + 6 * random.Uniform());
  for (const Stock& stock : stocks) {
    Holding holding;
    holding.stock = stock;
    holding.share = Format("%.2f%%", share);
    holding.value_10k = Round2(size * 1e4 * share / 100);
    holding.shares_10k = Round2(holding.value_10k / QuoteOf(market.options().seed, stock).price);
    holdings.push_back(std::move(holding));
    share = std::max(0.01, Round2(share * (0.8 + 0.17 * random.Uniform())));
  }
  return holdings;
}

void FillHoldings(const Market& market, int index, double size, FundDetail& detail) {
  Random random(Mix(market.options().seed, index, kHoldings));
  const size_t count = index % 9 == 4 ? 4 : 10;
  std::vector<const Stock*> plain;
  for (const Stock& stock : Stocks()) {
    if (stock.name.find(')') == std::string::npos) plain.push_back(&stock);
  }
  std::vector<Stock> chosen;
  while (chosen.size() < count) {
    const Stock& stock = *plain[random.Below(plain.size())];
    const bool taken = std::any_of(chosen.begin(), chosen.end(),
                                   [&](const Stock& s) { return s.code == stock.code; });
    if (!taken) chosen.push_back(stock);
  }
  if (index % 11 == 6) {
    const std::vector<Stock>& bracketed = BracketedStocks();
    chosen[2] = bracketed[static_cast<size_t>(index / 11) % bracketed.size()];
  }
  detail.holdings = Weigh(market, chosen, size, random);
  Random previous(Mix(market.options().seed, index, kPrevious));
  std::reverse(chosen.begin(), chosen.end());
  detail.previous_holdings = Weigh(market, chosen, size, previous);
  FillReportQuarter(market, detail);
}

}  // namespace

const Fund* FindFund(const Market& market, std::string_view code) {
  const std::vector<Fund>& funds = market.funds();
  // Funds are stored in ascending code order.
  const auto it = std::lower_bound(funds.begin(), funds.end(), code,
                                   [](const Fund& f, std::string_view c) { return f.code < c; });
  return it != funds.end() && it->code == code ? &*it : nullptr;
}

FundDetail DetailOf(const Market& market, const Fund& fund) {
  FundDetail detail;
  const Fund* found = FindFund(market, fund.code);
  detail.index = found == nullptr ? -1 : static_cast<int>(found - market.funds().data());
  const int index = std::max(0, detail.index);
  Random random(Mix(market.options().seed, index, kSize));
  const double size = Round2(std::clamp(std::exp(2 + 1.6 * random.Normal()), 0.01, 1800.0));
  detail.size = Format("%.2f", size);
  detail.rating = fund.rating > 0 ? std::to_string(fund.rating) : "";
  detail.manager = MakeManager(market, fund, index);
  FillStats(market, fund, index, detail);
  FillHoldings(market, index, size, detail);
  return detail;
}

std::vector<std::string> PeriodTexts(const Fund& fund) {
  // Growth indices of 近1周 .. 近3年 in kSortCodes order.
  static constexpr int kPagePeriods[] = {1, 2, 3, 4, 5, 6, 7, 8};
  std::vector<std::string> texts;
  size_t last = 0;
  for (int period : kPagePeriods) {
    const auto& growth = fund.growth[period];
    texts.push_back(growth ? FormatGrowth(growth) + "%" : "--");
    if (growth) last = texts.size();
  }
  texts.resize(std::max<size_t>(1, last));
  return texts;
}

std::string UnitNavText(const Fund& fund) { return Format("%.4f", fund.unit_nav); }

std::string DayChangeText(const Fund& fund) {
  return fund.growth[0] ? FormatGrowth(fund.growth[0]) + "%" : "--";
}

}  // namespace sim
