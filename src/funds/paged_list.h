#pragma once

// The one page loop of the fund lists: the ranking lists, the five-star and board lists and the
// full download's page phase fill the fund grid through it, page by page, with one page size,
// one page-count rule and one bound.

#include <chrono>
#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "funds/last_good.h"
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

// A list answer with the note of the stored answers it used in place of failed requests.
struct ListAnswer {
  std::optional<portal::FundListPage> page;  // nothing: the page adds no rows
  OfflineSince offline;
};

// On a worker: the answer at a URL.
using ListFetch = std::function<ListAnswer(const std::string& url)>;

// Asks `url` through `fetch` on a worker; an answer without a page is asked again after each
// wait of `retry_waits` in turn. `then` gets the last answer on the UI thread; `dropped` runs
// instead when the load was overtaken meanwhile.
void AskListAnswer(app::App& app, const app::LoadTicket& ticket, ListFetch fetch, std::string url,
                   std::vector<std::chrono::milliseconds> retry_waits,
                   std::function<void(ListAnswer)> then, std::function<void()> dropped);

struct PagedList {
  int pages = 1;  // pages 1..pages are asked for
  std::function<std::string(int page)> page_url;
  ListFetch fetch;
  // A page without an answer is asked again after each of these waits.
  std::vector<std::chrono::milliseconds> retry_waits;
  bool colour = true;      // the written rows' change cells are coloured
  int last_row = INT_MAX;  // rows past it are not written
  // On the UI thread, before page `page` is asked for.
  std::function<void(int page)> before_page;
  // On the UI thread, after a page's rows were written; `rows` counts every row written so far.
  std::function<void(const portal::FundListPage& page, int rows)> after_page;
  // On the UI thread, after the last page: the rows written and the oldest stored answer used.
  std::function<void(int rows, const OfflineSince& offline)> done;
  // On the UI thread, instead of `done`, when the load was overtaken.
  std::function<void()> dropped;
};

// Asks for the pages one after the other, each on a worker, and writes each page's records into
// the rows after the previous page's as it arrives. A load overtaken while a page is asked for
// stops there: it writes nothing more and `done` never runs.
void LoadListPages(app::App& app, const app::LoadTicket& ticket, ui::Grid& grid, PagedList list);

}  // namespace funds
