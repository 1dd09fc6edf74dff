#include "funds/paged_list.h"

#include <algorithm>
#include <cmath>

#include "funds/fund_table.h"

namespace funds {

int BoundedCount(double value, int limit) {
  if (!std::isfinite(value) || value < 0) return 0;
  return static_cast<int>(std::min(value, static_cast<double>(limit)));
}

int ListPageCount(const portal::FundListPage& page) {
  return BoundedCount(page.all_pages, kMaxListPages);
}

std::optional<int> LoadListPages(ui::Grid& grid, const PagedList& list) {
  int offset = 0;
  for (int page = 1; page <= list.pages; ++page) {
    if (list.before_page) list.before_page(page);
    const std::optional<portal::FundListPage> answer = list.fetch(list.page_url(page));
    if (list.still_ours && !list.still_ours()) return std::nullopt;
    if (!answer) continue;
    const int count =
        std::min({static_cast<int>(answer->records.size()), kListPageSize, list.last_row - offset});
    for (int j = 1; j <= count; ++j) WriteFundRow(grid, offset + j, answer->records[j - 1]);
    if (list.colour) ColourChangeCells(grid, offset + 1, offset + count);
    offset += std::max(count, 0);
    if (list.after_page) list.after_page(*answer, offset);
  }
  return offset;
}

}  // namespace funds
