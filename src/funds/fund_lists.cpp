#include "funds/fund_lists.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>

#include "base/text.h"
#include "funds/fund_guide.h"
#include "funds/fund_rows.h"
#include "net/http_fetch.h"
#include "net/portal.h"

namespace funds {

namespace {

constexpr int kPageSize = 20;
// A list longer than the whole market is not a real answer: pages beyond this are not asked
// for and no more rows are made.
constexpr int kMaxPages = 1500;
constexpr const char* kLoading = "正在加载";

struct PagedList {
  std::string count_url;
  std::function<std::string(int page)> page_url;
  std::string title_prefix;  // "五星基金", or the board's name and "板块"
};

int PageCount(const script::JsonObject& list) {
  const double pages = list.GetNumber("allPages");
  if (!(pages > 0)) return 0;
  return static_cast<int>(std::min(pages, static_cast<double>(kMaxPages)));
}

// Fills the fund grid page by page. False when a newer load of the grid took over while a page
// was fetched; it then stops writing at once.
bool LoadPages(app::App& app, const app::LoadTicket& ticket, const PagedList& list,
               const std::function<void()>& on_count) {
  ui::Grid& grid = app.main_window().高级表格1;
  grid.ResetToDesign();
  script::JsonObject parsed = ParseFundGuideResponse(
      net::GetAnswerText(list.count_url, &app.transfers(), net::kFundListMaxBytes).value_or(""));
  if (!app.loads().IsCurrent(ticket)) return false;
  if (on_count) on_count();
  const bool load_all = app.config().Read("加载数据", "是否全部加载") == "真";
  const int pages = load_all ? PageCount(parsed) : 1;
  int offset = 0;
  for (int page = 1; page <= pages; ++page) {
    if (parsed.GetNumber("allPages") - 1 > kZeroBand) {
      grid.SetRowCount(PageCount(parsed) * kPageSize + 1);
    }
    parsed = ParseFundGuideResponse(
        net::GetAnswerText(list.page_url(page), &app.transfers(), net::kFundListMaxBytes)
            .value_or(""));
    if (!app.loads().IsCurrent(ticket)) return false;
    const int count = std::min(parsed.GetCount("datas"), kPageSize);
    for (int j = 1; j <= count; ++j) {
      WriteFundRow(grid, offset + j, parsed.GetText("datas[" + base::IntToText(j - 1) + "]"));
    }
    ColourChangeCells(grid, offset + 1, offset + count);
    offset += count;
    app.main_window().SetTitle(list.title_prefix + kLoading + "第" + base::IntToText(offset) +
                               "条");
  }
  app.main_window().SetTitle(grid.Text(1, 1).empty() ? list.title_prefix + "加载失败，请重试"
                                                     : list.title_prefix + "加载完毕，共" +
                                                           base::IntToText(offset) + "支基金");
  return true;
}

// The period of a change column, or empty for any other column.
std::string_view SortCodeOfColumn(int column) {
  static constexpr std::string_view kCodes[] = {"r", "z", "1y", "3y", "6y", "jn", "1n", "2n", "3n"};
  return column >= 5 && column <= 13 ? kCodes[column - 5] : std::string_view();
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
            {net::FiveStarCountUrl(urls),
             [&](int page) {
               return sorted ? net::FiveStarSortedPageUrl(urls, sort_code, order, page)
                             : net::FiveStarPageUrl(urls, page);
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
  LoadPages(
      app, *ticket,
      {net::BoardFundsCountUrl(urls, board_number),
       [&](int page) { return net::BoardFundsPageUrl(urls, board_number, sort, direction, page); },
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

}  // namespace funds
