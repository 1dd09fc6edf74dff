#include "funds/watchlist.h"

#include <utility>

#include "base/text.h"
#include "funds/fund_table.h"
#include "funds/holdings.h"
#include "funds/holdings_overlap.h"
#include "funds/watchlist_store.h"
#include "portal/holdings.h"

namespace funds {

namespace {

constexpr const char* kChooseFirst = "请选择要加入的对象";

bool HasChosenFund(const ui::Grid& grid) { return ChosenFund(grid).has_value(); }

void BindMenuItem(ui::PopupMenu& menu, const std::string& caption, std::function<void()> action) {
  if (ui::MenuItem* item = menu.FindItem(caption)) item->on_click = std::move(action);
}

}  // namespace

namespace {

void DrawRow(ui::ListView& list, int row, const WatchlistItem& item) {
  list.SetText(row, 0, base::IntToText(row + 1));
  list.SetText(row, 1, item.code);
  list.SetText(row, 2, item.name);
  list.SetText(row, 3, item.type);
}

}  // namespace

void LoadWatchlist(Funds& funds) {
  std::vector<WatchlistItem>& items = funds.watchlist();
  ui::ListView& list = funds.app().main_window().超级列表框2;
  for (WatchlistItem& item : ReadWatchlist(funds.app().config())) {
    DrawRow(list, list.InsertRow(), item);
    items.push_back(std::move(item));
  }
}

// The menu adds what the chosen row's cells show.
std::optional<WatchlistEntry> ChosenFund(const ui::Grid& funds) {
  const int row = funds.CurrentRow();
  if (row == -1 || FundNameAt(funds, row).empty()) return std::nullopt;
  return WatchlistEntry{FundCodeAt(funds, row), FundNameAt(funds, row)};
}

std::optional<WatchlistEntry> ChosenStock(const ui::Grid& holdings) {
  const int row = holdings.CurrentRow();
  if (row == -1 || holdings.Text(row, Col(HoldingColumn::kName)).empty()) return std::nullopt;
  return WatchlistEntry{holdings.Text(row, Col(HoldingColumn::kCode)),
                        holdings.Text(row, Col(HoldingColumn::kName))};
}

void AddToWatchlist(Funds& funds, const std::optional<WatchlistEntry>& entry,
                    const std::string& type) {
  std::vector<WatchlistItem>& items = funds.watchlist();
  app::ConfigFile config = funds.app().config();
  if (!entry) {
    funds.app().dialogs().MessageBox(kChooseFirst);
    WriteWatchlistKey(config, items);
    return;
  }
  items.push_back({entry->code, entry->name, type});
  ui::ListView& list = funds.app().main_window().超级列表框2;
  DrawRow(list, list.InsertRow(), items.back());
  StoreWatchlist(config, items);
}

void RemoveFromWatchlist(Funds& funds) {
  std::vector<WatchlistItem>& items = funds.watchlist();
  ui::ListView& list = funds.app().main_window().超级列表框2;
  const int row = list.CurrentRow();
  if (row >= 0 && row < static_cast<int>(items.size())) {
    items.erase(items.begin() + row);
    list.DeleteRow(row);
    for (int r = 0; r < list.RowCount(); ++r) list.SetText(r, 0, base::IntToText(r + 1));
  }
  app::ConfigFile config = funds.app().config();
  StoreWatchlist(config, items);
}

void AddToComparison(app::App& app, FundDetail& detail) {
  app::MainWindow& main = app.main_window();
  ui::Grid& funds = main.高级表格1;
  ui::Grid& comparison = main.高级表格2;
  if (!HasChosenFund(funds)) {
    app.dialogs().MessageBox(kChooseFirst);
  } else {
    const int row = funds.CurrentRow();
    CopyFundRow(funds, row, comparison, 1, FundColumn::kDate);
    for (int r = 1; r <= portal::kHoldingCount; ++r) {
      for (int c = 0; c < kHoldingColumnCount; ++c) {
        main.高级表格6.SetText(r, c, main.高级表格5.Text(r, c));
      }
    }
    // The compared fund is what the comparison grid's first row now shows.
    detail.compared_code = FundCodeAt(comparison, 1);
    detail.compared_holdings = std::move(detail.current_holdings);
    detail.current_holdings.clear();
    main.高级表格5.ResetToDesign();
    // A holdings load still on its way belongs to the fund that just moved aside.
    app.loads().Invalidate(app::LoadTarget::kHoldingsGrid);
    detail.current_code.clear();
  }
  main.标签2.SetCaption(FundNameAt(comparison, 1));
  main.标签1.SetCaption("");
  RefreshHoldingsOverlap(app, detail);
}

void RemoveComparison(app::App& app, FundDetail& detail) {
  app::MainWindow& main = app.main_window();
  if (!HasChosenFund(main.高级表格2)) {
    app.dialogs().MessageBox("请选择要删除的对象");
    return;
  }
  main.高级表格6.ResetToDesign();
  detail.compared_code.clear();
  detail.compared_holdings.clear();
  RefreshHoldingsOverlap(app, detail);
}

void ShowShareholderPage(app::App& app, const std::string& code) {
  app::MainWindow& main = app.main_window();
  main.外形框1.SetHeight(872);
  main.超文本浏览框1.SetHeight(1264);
  main.外形框1.SetVisible(true);
  main.超文本浏览框1.SetVisible(true);
  main.超文本浏览框1.Navigate(portal::ShareholderPageUrl(app.portal(), code));
}

void OpenShareholderPage(app::App& app, const ui::Grid& grid) {
  const std::string& code = grid.Text(grid.CurrentRow(), Col(HoldingColumn::kCode));
  if (!code.empty()) ShowShareholderPage(app, code);
}

void InstallFundDetail(Funds& funds) {
  app::App& app = funds.app();
  FundDetail& detail = funds.detail();
  app::MainWindow& main = app.main_window();
  main.高级表格5.on_cell_event = [&app](int, int) {
    OpenShareholderPage(app, app.main_window().高级表格5);
  };
  main.高级表格6.on_cell_event = [&app](int, int) {
    OpenShareholderPage(app, app.main_window().高级表格6);
  };
  BindMenuItem(main.菜单, "加入对比", [&app, &detail] { AddToComparison(app, detail); });
  BindMenuItem(main.菜单, "加入自选基金", [&funds, &main] {
    AddToWatchlist(funds, ChosenFund(main.高级表格1), kWatchlistFund);
  });
  BindMenuItem(main.菜单1, "删除对比", [&app, &detail] { RemoveComparison(app, detail); });
  // The stock menu serves both holdings grids; it adds the stock of the one right-clicked.
  for (ui::Grid* holdings : {&main.高级表格5, &main.高级表格6}) {
    holdings->on_right_click = [&funds, &main, holdings](int, int) {
      funds.stock_menu_source() = holdings;
      main.菜单2.Popup();
    };
  }
  BindMenuItem(main.菜单2, "加入自选股票", [&funds, &main] {
    const ui::Grid* source = funds.stock_menu_source();
    AddToWatchlist(funds, ChosenStock(source ? *source : main.高级表格6), kWatchlistStock);
    funds.stock_menu_source() = nullptr;
  });
  BindMenuItem(main.菜单3, "删除自选", [&funds] { RemoveFromWatchlist(funds); });
}

}  // namespace funds
