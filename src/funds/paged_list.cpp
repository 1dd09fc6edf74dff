#include "funds/paged_list.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "app/load.h"
#include "funds/fund_table.h"
#include "funds/last_good.h"

namespace funds {

int BoundedCount(double value, int limit) {
  if (!std::isfinite(value) || value < 0) return 0;
  return static_cast<int>(std::min(value, static_cast<double>(limit)));
}

int ListPageCount(const portal::FundListPage& page) {
  return BoundedCount(page.all_pages, kMaxListPages);
}

void AskListAnswer(app::App& app, const app::LoadTicket& ticket, ListFetch fetch, std::string url,
                   std::vector<std::chrono::milliseconds> retry_waits,
                   std::function<void(ListAnswer)> then, std::function<void()> dropped) {
  app::StartLoad(
      app, ticket, [fetch, url] { return fetch(url); },
      [&app, ticket, fetch, url, retry_waits, then, dropped](ListAnswer answer) mutable {
        if (answer.page || retry_waits.empty()) {
          then(std::move(answer));
          return;
        }
        const std::chrono::milliseconds wait = retry_waits.front();
        retry_waits.erase(retry_waits.begin());
        ui::Delay(app.ui(), wait.count(), 0,
                  [&app, ticket, fetch = std::move(fetch), url = std::move(url),
                   retry_waits = std::move(retry_waits), then = std::move(then),
                   dropped = std::move(dropped)]() mutable {
                    if (!app.loads().IsCurrent(ticket)) {
                      if (dropped) dropped();
                      return;
                    }
                    AskListAnswer(app, ticket, std::move(fetch), std::move(url),
                                  std::move(retry_waits), std::move(then), std::move(dropped));
                  });
      },
      dropped);
}

namespace {

struct PageLoad {
  PagedList list;
  app::LoadTicket ticket;
  ui::Grid* grid = nullptr;
  int page = 0;
  int offset = 0;
  OfflineSince offline;
};

void AskNextPage(app::App& app, const std::shared_ptr<PageLoad>& load) {
  PageLoad& l = *load;
  if (++l.page > l.list.pages) {
    if (l.list.done) l.list.done(l.offset, l.offline);
    return;
  }
  if (l.list.before_page) l.list.before_page(l.page);
  AskListAnswer(
      app, l.ticket, l.list.fetch, l.list.page_url(l.page), l.list.retry_waits,
      [&app, load](ListAnswer answer) {
        PageLoad& p = *load;
        KeepOldest(p.offline, answer.offline);
        if (answer.page) {
          const portal::FundListPage& page = *answer.page;
          const int count = std::min(
              {static_cast<int>(page.records.size()), kListPageSize, p.list.last_row - p.offset});
          for (int j = 1; j <= count; ++j) {
            const portal::FundRecord& record = page.records[j - 1];
            WriteFundRow(*p.grid, p.offset + j, record);
            if (p.list.colour) ColourChangeCells(*p.grid, p.offset + j, record);
            app.shown_funds().Write(p.ticket, p.offset + j, {record.code, record.name});
          }
          p.offset += std::max(count, 0);
          if (p.list.after_page) p.list.after_page(page, p.offset);
        }
        AskNextPage(app, load);
      },
      l.list.dropped);
}

}  // namespace

void LoadListPages(app::App& app, const app::LoadTicket& ticket, ui::Grid& grid, PagedList list) {
  auto load = std::make_shared<PageLoad>();
  load->list = std::move(list);
  load->ticket = ticket;
  load->grid = &grid;
  AskNextPage(app, load);
}

}  // namespace funds
