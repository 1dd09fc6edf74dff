#include "funds/fund_lists.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/load.h"
#include "base/text.h"
#include "funds/fund_table.h"
#include "funds/last_good.h"
#include "funds/paged_list.h"
#include "net/portal.h"
#include "portal/fund_list.h"

namespace funds {

namespace {

constexpr const char* kLoading = "正在加载";

struct ListRequests {
  std::string count_url;
  std::function<std::string(int page)> page_url;
  std::string title_prefix;  // "五星基金", or the board's name and "板块"
};

// A list answer, or the last good one for a failed request; without one a failed request
// reads as an answer without records. On a worker.
ListAnswer FetchPage(app::App& app, const std::string& url) {
  ListAnswer answer;
  answer.page =
      FundListPageOrStored(app, url, answer.offline).value_or(portal::CutFundListPage(""));
  return answer;
}

// Fills the fund grid page by page, each page on a worker, the title counting the rows. A newer
// load of the grid stops it: it writes nothing more. `ended` runs on the UI thread when the list
// is in or was overtaken.
void LoadPages(Funds& funds, const app::LoadTicket& ticket, ListRequests requests,
               std::function<void()> on_count, const std::function<void()>& ended) {
  app::App& app = funds.app();
  ui::Grid& grid = app.main_window().高级表格1;
  grid.ResetToDesign();
  app.loads().MarkLoading(ticket);
  // The answer before the page about to be asked for: it sizes the grid for the list.
  std::string count_url = requests.count_url;
  app::StartLoad(
      app, ticket, [&app, url = std::move(count_url)] { return FetchPage(app, url); },
      [&app, &funds, &grid, ticket, requests = std::move(requests), on_count = std::move(on_count),
       ended](ListAnswer count) {
        if (on_count) on_count();
        const bool load_all = app.config().Read("加载数据", "是否全部加载") == "真";
        auto previous = std::make_shared<portal::FundListPage>(std::move(*count.page));
        PagedList list;
        list.pages = load_all ? ListPageCount(*previous) : 1;
        list.page_url = requests.page_url;
        list.fetch = [&app](const std::string& url) { return FetchPage(app, url); };
        list.before_page = [&grid, previous](int) {
          if (previous->all_pages - 1 > kZeroBand) {
            grid.SetRowCount(ListPageCount(*previous) * kListPageSize + 1);
          }
        };
        const std::string prefix = requests.title_prefix;
        list.after_page = [&app, previous, prefix](const portal::FundListPage& page, int rows) {
          *previous = page;
          app.main_window().SetTitle(prefix + kLoading + "第" + base::IntToText(rows) + "条");
        };
        list.done = [&app, &funds, &grid, ticket, prefix, ended, count_offline = count.offline](
                        int rows, const OfflineSince& offline) {
          app.loads().MarkLoaded(ticket);
          // Failure is judged once, at the end, by the code cell of the grid's first data row.
          app.main_window().SetTitle(FundCodeAt(grid, 1).empty()
                                         ? prefix + "加载失败，请重试"
                                         : prefix + "加载完毕，共" + base::IntToText(rows) +
                                               "支基金");
          OfflineSince oldest = count_offline;
          KeepOldest(oldest, offline);
          NoteListShown(funds, oldest);
          if (ended) ended();
        };
        list.dropped = ended;
        LoadListPages(app, ticket, grid, std::move(list));
      },
      ended);
}

}  // namespace

void LoadFiveStarList(Funds& funds, std::string_view sort_code, std::string_view order,
                      const std::function<void()>& ended) {
  app::App& app = funds.app();
  const std::optional<app::LoadTicket> ticket =
      app::StartLoadOrRefuse(app, app::LoadTarget::kFundGrid);
  if (!ticket) {
    if (ended) ended();
    return;
  }
  funds.lists().FiveStarShown = 1;
  const net::PortalUrls& urls = app.portal();
  const bool sorted = !sort_code.empty() && !order.empty();
  LoadPages(funds, *ticket,
            {portal::FiveStarCountUrl(urls),
             [&urls, sorted, sort = std::string(sort_code), order = std::string(order)](int page) {
               return sorted ? portal::FiveStarSortedPageUrl(urls, sort, order, page)
                             : portal::FiveStarPageUrl(urls, page);
             },
             "五星基金"},
            {}, ended);
}

void LoadBoardFunds(Funds& funds, long long board_number, std::string_view sort_code,
                    std::string_view order) {
  app::App& app = funds.app();
  FundListState& lists = funds.lists();
  app::MainWindow& main = app.main_window();
  const std::optional<app::LoadTicket> ticket =
      app::StartLoadOrRefuse(app, app::LoadTarget::kFundGrid);
  // Refused: the buttons stay as the long job holding the grid set them.
  if (!ticket) return;
  const bool fresh = lists.BoardFreshClick == 1;
  const std::string sort = fresh ? "3y" : std::string(sort_code);
  const std::string direction = fresh ? "desc" : std::string(order);
  const net::PortalUrls& urls = app.portal();
  LoadPages(
      funds, *ticket,
      {portal::BoardFundsCountUrl(urls, board_number),
       [&urls, board_number, sort, direction](int page) {
         return portal::BoardFundsPageUrl(urls, board_number, sort, direction, page);
       },
       lists.CurrentBoardName + "板块"},
      [&lists, board_number] { lists.resort.board_code = board_number; },
      // Also after a newer load took over: the board window must be reachable again.
      [&main] { main.选择板块钮.SetEnabled(true); });
}

void OnFiveStarClicked(Funds& funds) {
  app::App& app = funds.app();
  // Refused before the board button is taken away.
  if (app::RefuseWhileBusy(app, app::LoadTarget::kFundGrid)) return;
  app::MainWindow& main = app.main_window();
  main.选择板块钮.SetEnabled(false);
  LoadFiveStarList(funds, "", "", [&main] { main.选择板块钮.SetEnabled(true); });
}

void OnFundGridHeaderClicked(Funds& funds, int column) {
  // A re-sort also waits for the list still filling.
  if (app::RefuseWhileBusy(funds.app(), app::LoadTarget::kFundGrid, true)) return;
  FundListState& lists = funds.lists();
  lists.BoardFreshClick = 0;
  const std::string_view sort_code = SortCodeOfColumn(column);
  if (sort_code.empty()) return;
  ResortState& resort = lists.resort;
  const char* order = resort.toggle == 1 ? "asc" : "desc";
  resort.toggle = resort.toggle == 1 ? 0 : 1;
  if (lists.FiveStarShown == 1) {
    LoadFiveStarList(funds, sort_code, order);
  } else {
    LoadBoardFunds(funds, resort.board_code, sort_code, order);
  }
}

void InstallFundLists(Funds& funds) {
  app::MainWindow& main = funds.app().main_window();
  main.五星基金钮.on_click = [&funds] { OnFiveStarClicked(funds); };
  main.高级表格1.on_header_click = [&funds](int column) { OnFundGridHeaderClicked(funds, column); };
}

}  // namespace funds
