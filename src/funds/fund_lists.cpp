#include "funds/fund_lists.h"

#include <functional>
#include <optional>
#include <string>

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
// reads as an answer without records.
portal::FundListPage FetchPage(app::App& app, const std::string& url, app::OfflineSince& offline) {
  return FundListPageOrStored(app, url, offline).value_or(portal::CutFundListPage(""));
}

// Fills the fund grid page by page. False when a newer load of the grid took over while a page
// was fetched; it then stops writing at once.
bool LoadPages(app::App& app, const app::LoadTicket& ticket, const ListRequests& requests,
               const std::function<void()>& on_count) {
  ui::Grid& grid = app.main_window().高级表格1;
  grid.ResetToDesign();
  // The answer before the page about to be asked for: it sizes the grid for the list.
  app::OfflineSince offline;
  portal::FundListPage previous = FetchPage(app, requests.count_url, offline);
  if (!app.loads().IsCurrent(ticket)) return false;
  if (on_count) on_count();
  const bool load_all = app.config().Read("加载数据", "是否全部加载") == "真";
  PagedList list;
  list.pages = load_all ? ListPageCount(previous) : 1;
  list.page_url = requests.page_url;
  list.fetch = [&app, &offline](const std::string& url) { return FetchPage(app, url, offline); };
  list.still_ours = [&app, &ticket] { return app.loads().IsCurrent(ticket); };
  list.before_page = [&grid, &previous](int) {
    if (previous.all_pages - 1 > kZeroBand) {
      grid.SetRowCount(ListPageCount(previous) * kListPageSize + 1);
    }
  };
  list.after_page = [&app, &previous, &requests](const portal::FundListPage& page, int rows) {
    previous = page;
    app.main_window().SetTitle(requests.title_prefix + kLoading + "第" + base::IntToText(rows) +
                               "条");
  };
  const std::optional<int> rows = LoadListPages(grid, list);
  if (!rows) return false;
  app.main_window().SetTitle(FundCodeAt(grid, 1).empty()
                                 ? requests.title_prefix + "加载失败，请重试"
                                 : requests.title_prefix + "加载完毕，共" + base::IntToText(*rows) +
                                       "支基金");
  NoteListShown(app, offline);
  return true;
}

}  // namespace

void LoadFiveStarList(app::App& app, std::string_view sort_code, std::string_view order) {
  const std::optional<app::LoadTicket> ticket =
      app::StartLoadOrRefuse(app, app::LoadTarget::kFundGrid);
  if (!ticket) return;
  app.globals.FiveStarShown = 1;
  const net::PortalUrls& urls = app.portal();
  const bool sorted = !sort_code.empty() && !order.empty();
  LoadPages(app, *ticket,
            {portal::FiveStarCountUrl(urls),
             [&](int page) {
               return sorted ? portal::FiveStarSortedPageUrl(urls, sort_code, order, page)
                             : portal::FiveStarPageUrl(urls, page);
             },
             "五星基金"},
            {});
}

void LoadBoardFunds(app::App& app, long long board_number, std::string_view sort_code,
                    std::string_view order) {
  const std::optional<app::LoadTicket> ticket =
      app::StartLoadOrRefuse(app, app::LoadTarget::kFundGrid);
  // Refused: the buttons stay as the long job holding the grid set them.
  if (!ticket) return;
  const bool fresh = app.globals.BoardFreshClick == 1;
  const std::string sort = fresh ? "3y" : std::string(sort_code);
  const std::string direction = fresh ? "desc" : std::string(order);
  const net::PortalUrls& urls = app.portal();
  LoadPages(app, *ticket,
            {portal::BoardFundsCountUrl(urls, board_number),
             [&](int page) {
               return portal::BoardFundsPageUrl(urls, board_number, sort, direction, page);
             },
             app.globals.CurrentBoardName + "板块"},
            [&app, board_number] { app.globals.CurrentBoardCode = board_number; });
  // Also after a newer load took over: the board window must be reachable again.
  app.main_window().选择板块钮.SetEnabled(true);
}

void OnFiveStarClicked(app::App& app) {
  if (app.loads().Busy(app::LoadTarget::kFundGrid)) {
    app.dialogs().MessageBox(app::kBusyMessage);
    return;
  }
  app.main_window().选择板块钮.SetEnabled(false);
  LoadFiveStarList(app, "", "");
  app.main_window().选择板块钮.SetEnabled(true);
}

void OnFundGridHeaderClicked(app::App& app, int column) {
  if (base::Find(app.main_window().Title(), kLoading) > 0) {
    app.dialogs().MessageBox(app::kBusyMessage);
    return;
  }
  app::Globals& globals = app.globals;
  globals.BoardFreshClick = 0;
  const std::string_view sort_code = SortCodeOfColumn(column);
  if (sort_code.empty()) return;
  const char* order = globals.ResortToggle == 1 ? "asc" : "desc";
  globals.ResortToggle = globals.ResortToggle == 1 ? 0 : 1;
  if (globals.FiveStarShown == 1) {
    LoadFiveStarList(app, sort_code, order);
  } else {
    LoadBoardFunds(app, globals.CurrentBoardCode, sort_code, order);
  }
}

void InstallFundLists(app::App& app) {
  app::MainWindow& main = app.main_window();
  main.五星基金钮.on_click = [&app] { OnFiveStarClicked(app); };
  main.高级表格1.on_header_click = [&app](int column) { OnFundGridHeaderClicked(app, column); };
}

}  // namespace funds
