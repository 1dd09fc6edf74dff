#include "funds/watchlist.h"

#include "base/text.h"
#include "funds/fund_profile.h"
#include "funds/fund_table.h"
#include "funds/holdings_overlap.h"
#include "funds/watchlist_store.h"
#include "portal/holdings.h"

namespace funds {

namespace {

constexpr const char* kChooseFirst = "请选择要加入的对象";

bool HasChosenRow(const ui::Grid& grid) {
  const int row = grid.CurrentRow();
  return row != -1 && !grid.Text(row, 0).empty();
}

void BindMenuItem(ui::PopupMenu& menu, const std::string& caption, std::function<void()> action) {
  if (ui::MenuItem* item = menu.FindItem(caption)) item->on_click = std::move(action);
}

}  // namespace

void SaveWatchlist(app::App& app) {
  app::ConfigFile config = app.config();
  WriteWatchlist(config, app.main_window().超级列表框2);
}

void AddToWatchlist(app::App& app, const ui::Grid& grid, const std::string& type) {
  if (!HasChosenRow(grid)) {
    app.dialogs().MessageBox(kChooseFirst);
    SaveWatchlist(app);
    return;
  }
  const int from = grid.CurrentRow();
  ui::ListView& list = app.main_window().超级列表框2;
  const int row = list.InsertRow();
  list.SetText(row, 0, base::IntToText(list.RowCount()));
  list.SetText(row, 1, grid.Text(from, 1));
  list.SetText(row, 2, grid.Text(from, 0));
  list.SetText(row, 3, type);
  app::ConfigFile config = app.config();
  ClearWatchlistSection(config);
  SaveWatchlist(app);
}

void RemoveFromWatchlist(app::App& app) {
  ui::ListView& list = app.main_window().超级列表框2;
  list.DeleteRow(list.CurrentRow());
  app::ConfigFile config = app.config();
  ClearWatchlistSection(config);
  for (int row = 0; row < list.RowCount(); ++row) list.SetText(row, 0, base::IntToText(row + 1));
  SaveWatchlist(app);
}

void AddToComparison(app::App& app) {
  app::MainWindow& main = app.main_window();
  ui::Grid& funds = main.高级表格1;
  ui::Grid& comparison = main.高级表格2;
  if (!HasChosenRow(funds)) {
    app.dialogs().MessageBox(kChooseFirst);
  } else {
    const int row = funds.CurrentRow();
    CopyFundRow(funds, row, comparison, 1, FundColumn::kDate);
    for (int r = 1; r <= 10; ++r) {
      for (int c = 0; c <= 2; ++c) main.高级表格6.SetText(r, c, main.高级表格5.Text(r, c));
    }
    app.globals.ComparedFundCode = FundCodeAt(comparison, 1);
    main.高级表格5.ResetToDesign();
    // A holdings load still on its way belongs to the fund that just moved aside.
    app.loads().Invalidate(app::LoadTarget::kHoldingsGrid);
    app.globals.CurrentFundCode.clear();
  }
  main.标签2.SetCaption(FundNameAt(comparison, 1));
  main.标签1.SetCaption("");
  RefreshHoldingsOverlap(app);
}

void RemoveComparison(app::App& app) {
  app::MainWindow& main = app.main_window();
  if (!HasChosenRow(main.高级表格2)) {
    app.dialogs().MessageBox("请选择要删除的对象");
    return;
  }
  main.高级表格6.ResetToDesign();
  app.globals.ComparedFundCode.clear();
  RefreshHoldingsOverlap(app);
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
  const std::string& code = grid.Text(grid.CurrentRow(), 1);
  if (!code.empty()) ShowShareholderPage(app, code);
}

void InstallFundDetail(app::App& app) {
  app::MainWindow& main = app.main_window();
  main.高级表格5.on_cell_event = [&app](int, int) {
    OpenShareholderPage(app, app.main_window().高级表格5);
  };
  main.高级表格6.on_cell_event = [&app](int, int) {
    OpenShareholderPage(app, app.main_window().高级表格6);
  };
  BindMenuItem(main.菜单, "加入对比", [&app] { AddToComparison(app); });
  BindMenuItem(main.菜单, "加入自选基金",
               [&app] { AddToWatchlist(app, app.main_window().高级表格1, kWatchlistFund); });
  BindMenuItem(main.菜单1, "删除对比", [&app] { RemoveComparison(app); });
  BindMenuItem(main.菜单2, "加入自选股票", [&app] {
    app::MainWindow& m = app.main_window();
    AddToWatchlist(app, app.globals.WatchlistMenuSource == 1 ? m.高级表格5 : m.高级表格6,
                   kWatchlistStock);
    app.globals.WatchlistMenuSource = 0;
  });
  BindMenuItem(main.菜单3, "删除自选", [&app] { RemoveFromWatchlist(app); });
}

}  // namespace funds
