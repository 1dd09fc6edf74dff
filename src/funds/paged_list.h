#pragma once

// The one page loop of the fund lists: the ranking lists, the five-star and board lists and the
// full download's page phase fill the fund grid through it, page by page, with one page size,
// one page-count rule and one bound.

#include <climits>
#include <functional>
#include <optional>
#include <string>

#include "portal/fund_list.h"
#include "ui/grid.h"

namespace funds {

// Records a page holds, and the most rows one page writes.
inline constexpr int kListPageSize = 20;
// Far above any real market: a larger count in an answer is not believed, so that a hostile
// answer cannot make the grid take all memory or the loop run for hours.
inline constexpr int kMaxListPages = 1500;
inline constexpr int kMaxListFunds = 50000;

// A count from a list answer within [0, limit]; anything that is not a finite number counts 0.
int BoundedCount(double value, int limit);
// The pages a list answer counts, bounded.
int ListPageCount(const portal::FundListPage& page);

struct PagedList {
  int pages = 1;  // pages 1..pages are asked for
  std::function<std::string(int page)> page_url;
  // The answer at a URL; nothing for a page that adds no rows.
  std::function<std::optional<portal::FundListPage>(const std::string& url)> fetch;
  // False once a newer load of the grid took over: the loop stops at once, writing nothing.
  std::function<bool()> still_ours;
  bool colour = true;      // the written rows' change cells are coloured
  int last_row = INT_MAX;  // rows past it are not written
  std::function<void(int page)> before_page;
  // After a page's rows were written; `rows` counts every row written so far.
  std::function<void(const portal::FundListPage& page, int rows)> after_page;
};

// Writes each page's records into the rows after the previous page's. The rows written, or
// nothing when the load was overtaken.
std::optional<int> LoadListPages(ui::Grid& grid, const PagedList& list);

}  // namespace funds
