// The watchlist and the comparison slot driven through their pop-up menus, and the stored
// watchlist read back by the next start.

#include "funds/watchlist.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <optional>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "shell/startup_tasks.h"
#include "store/kill_soak.h"
#include "support/temp_dir.h"

namespace {

void Choose(ui::PopupMenu& menu, const char* caption) {
  for (int i = 0; i < menu.ItemCount(); ++i) {
    if (menu.Item(i).caption == caption) menu.Choose(i);
  }
}

void FillFundRow(ui::Grid& grid, int row, const std::string& name, const std::string& code) {
  grid.SetText(row, 0, name);
  grid.SetText(row, 1, code);
}

TEST(WatchlistTest, AddsFundsAndStocksRemovesRenumbersAndTheNextStartReadsItBack) {
  app_test::AppFixture f;
  shell::Features features;
  shell::BindEvents(f.app, features);
  app::MainWindow& main = f.app.main_window();

  Choose(main.菜单, "加入自选基金");  // nothing chosen yet
  EXPECT_EQ(std::vector<std::string>{"请选择要加入的对象"}, f.dialogs.shown);
  EXPECT_EQ("", f.app.config().Read("自选数据", "自选"));

  FillFundRow(main.高级表格1, 1, "基金A", "000001");
  FillFundRow(main.高级表格1, 2, "基金/B", "000002");
  main.高级表格1.SetCurrentRow(1);
  Choose(main.菜单, "加入自选基金");
  FillFundRow(main.高级表格5, 3, "贵州茅台", "600519");
  main.高级表格5.SetCurrentRow(3);
  main.高级表格5.on_right_click(3, 0);  // the stock menu over the first holdings grid
  Choose(main.菜单2, "加入自选股票");
  EXPECT_EQ(nullptr, features.funds->stock_menu_source());
  main.高级表格1.SetCurrentRow(2);
  Choose(main.菜单, "加入自选基金");
  EXPECT_EQ("000001/基金A/基金|600519/贵州茅台/股票|000002/基金/B/基金|",
            f.app.config().Read("自选数据", "自选"));

  main.超级列表框2.SetCurrentRow(0);
  Choose(main.菜单3, "删除自选");
  ASSERT_EQ(2, main.超级列表框2.RowCount());
  EXPECT_EQ("1", main.超级列表框2.Text(0, 0));
  EXPECT_EQ("2", main.超级列表框2.Text(1, 0));
  EXPECT_EQ("600519/贵州茅台/股票|000002/基金/B/基金|", f.app.config().Read("自选数据", "自选"));

  app::App next(f.app.paths(), f.dialogs, f.ui, f.clock);
  funds::Funds next_funds(next);
  funds::LoadWatchlist(next_funds);
  const ui::ListView& refilled = next.main_window().超级列表框2;
  ASSERT_EQ(2, refilled.RowCount());
  for (int c = 0; c < 4; ++c) EXPECT_EQ(main.超级列表框2.Text(1, c), refilled.Text(1, c)) << c;

  for (int i = 0; i < 2; ++i) {
    main.超级列表框2.SetCurrentRow(0);
    Choose(main.菜单3, "删除自选");
  }
  Choose(main.菜单3, "删除自选");  // no selection left: only rewrites
  EXPECT_EQ("", f.app.config().Read("自选数据", "自选"));
  EXPECT_EQ(0, main.超级列表框2.RowCount());
}

TEST(WatchlistTest, ComparisonTakesTheRowAndHoldingsAndLetsThemGo) {
  app_test::AppFixture f;
  shell::Features features;
  shell::BindEvents(f.app, features);
  app::MainWindow& main = f.app.main_window();
  main.标签1.SetCaption("基金A");

  Choose(main.菜单, "加入对比");
  EXPECT_EQ(std::vector<std::string>{"请选择要加入的对象"}, f.dialogs.shown);
  EXPECT_EQ("", main.标签1.Caption());

  FillFundRow(main.高级表格1, 4, "基金A", "000001");
  main.高级表格1.SetTextColour(4, 7, ui::Rgb(255, 0, 0));
  FillFundRow(main.高级表格5, 1, "贵州茅台", "600519");
  main.高级表格1.SetCurrentRow(4);
  features.funds->detail().current_code = "000001";
  Choose(main.菜单, "加入对比");
  EXPECT_EQ("基金A", main.高级表格2.Text(1, 0));
  EXPECT_EQ(ui::Rgb(255, 0, 0), main.高级表格2.TextColour(1, 7));
  EXPECT_EQ("贵州茅台", main.高级表格6.Text(1, 0));
  EXPECT_EQ("", main.高级表格5.Text(1, 0));
  EXPECT_EQ("000001", features.funds->detail().compared_code);
  EXPECT_EQ("", features.funds->detail().current_code);
  EXPECT_EQ("基金A", main.标签2.Caption());

  Choose(main.菜单1, "删除对比");  // no row of the comparison grid chosen
  EXPECT_EQ("请选择要删除的对象", f.dialogs.shown.back());
  main.高级表格2.SetCurrentRow(1);
  Choose(main.菜单1, "删除对比");
  EXPECT_EQ("", main.高级表格6.Text(1, 0));
  EXPECT_EQ("", features.funds->detail().compared_code);
  EXPECT_EQ("基金A", main.高级表格2.Text(1, 0));
}

// A process changing its watchlist again and again is killed at random moments: the stored list
// is always a whole one (never emptied, no entry cut) and never older than the one seen before.
TEST(WatchlistTest, AKillDuringAChangeLeavesTheOldOrTheNewList) {
  test_support::TempDir dir;
  {
    app_test::Program seed(dir.path());
    app::ConfigFile config = seed.app.config();
    funds::StoreWatchlist(config, {{"000000", "基金000000", "基金"}});
  }
  // Each number removes the list's first entry when it holds two, else adds the fund of that
  // number: the list holds one or two entries at every moment.
  const store_test::Writer writer = [&dir](std::int64_t first, int pipe) {
    app_test::Program program(dir.path());
    funds::Funds funds(program.app);
    funds::LoadWatchlist(funds);
    ui::ListView& list = program.app.main_window().超级列表框2;
    for (std::int64_t n = first;; ++n) {
      char code[16];
      std::snprintf(code, sizeof code, "%06lld", static_cast<long long>(n % 1000000));
      if (list.RowCount() >= 2) {
        list.SetCurrentRow(0);
        funds::RemoveFromWatchlist(funds);
      } else {
        funds::AddToWatchlist(funds, funds::WatchlistEntry{code, std::string("基金") + code},
                              "基金");
      }
      if (::write(pipe, &n, sizeof n) != sizeof n) _exit(7);
    }
  };
  // One or two whole entries "<code>/基金<code>/基金|"; the code of the last one.
  const auto newest_of = [](const std::string& stored) -> std::optional<std::int64_t> {
    std::optional<std::int64_t> newest;
    size_t at = 0;
    for (int entries = 0; at < stored.size(); ++entries) {
      const std::string code = stored.substr(at, 6);
      const std::string entry = code + "/基金" + code + "/基金|";
      if (entries == 2 || code.size() != 6 ||
          code.find_first_not_of("0123456789") != std::string::npos ||
          stored.compare(at, entry.size(), entry) != 0) {
        return std::nullopt;
      }
      newest = std::stoll(code);
      at += entry.size();
    }
    return newest;
  };
  std::int64_t last = 0;
  store_test::KillWriters(40, 37, writer, [&](int kill) {
    app_test::Program after(dir.path());
    const std::string stored = after.app.config().Read("自选数据", "自选");
    const std::optional<std::int64_t> newest = newest_of(stored);
    ASSERT_TRUE(newest.has_value()) << kill << ": " << stored;
    EXPECT_GE(*newest, last) << kill << ": " << stored;
    last = *newest;
  });
}

}  // namespace
