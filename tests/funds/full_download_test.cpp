// The full download against the simulated portal: the daily guard, a complete small market
// read back from its workbook, and a market whose portal fails one request in ten.

#include "funds/full_download.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_fixture.h"
#include "base/encoding.h"
#include "export/export_handler.h"
#include "export/xls_probe.h"
#include "funds/fund_lists.h"
#include "funds/fund_rows.h"
#include "funds/ranking_lists.h"
#include "sim/fund_detail.h"
#include "sim/fund_guide.h"
#include "sim/server.h"

namespace {

using test_support::ReadFileBytes;
using test_support::WriteFileBytes;

// Keeps every title the main window shows.
class TitleLog : public ui::WindowObserver {
 public:
  explicit TitleLog(ui::Window& window) : window_(window) { window.SetObserver(this); }
  void WindowChanged() override {
    if (titles.empty() || titles.back() != window_.Title()) titles.push_back(window_.Title());
  }
  void RunModal() override {}
  std::vector<std::string> titles;

 private:
  ui::Window& window_;
};

class FullDownloadTest : public ::testing::Test {
 protected:
  void StartPortal(int funds, const sim::FaultOptions& faults = {}) {
    sim::PortalSimOptions options;
    options.market.funds = funds;
    options.faults = faults;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    app_test::PointPortalAt(dir_.path(), sim_->BaseUrl());
    NewProgram();
  }
  // The program started afresh over the same directories.
  void NewProgram() {
    program_.reset();
    program_ = std::make_unique<app_test::Program>(dir_.path());
    funds::InstallRankingLists(app());
    funds::InstallFullDownload(app());
  }

  app::App& app() { return program_->app; }
  app::MainWindow& main() { return app().main_window(); }
  ui::Grid& grid() { return main().高级表格1; }
  std::vector<std::string>& shown() { return program_->dialogs.shown; }
  std::filesystem::path Workbook() { return app().paths().workbook_dir / "8月8日.xls"; }
  std::string Record() { return base::GbkToUtf8(ReadFileBytes(app().paths().guard_file)); }
  void SetRecord(const std::string& text) {
    std::filesystem::create_directories(app().paths().guard_file.parent_path());
    WriteFileBytes(app().paths().guard_file, base::Utf8ToGbk(text));
  }
  size_t Requests(const std::string& part) {
    size_t n = 0;
    for (const sim::RecordedRequest& r : sim_->requests().Snapshot()) {
      n += r.target.find(part) != std::string::npos ? 1 : 0;
    }
    return n;
  }
  // Funds in the order of the full list (last three months, largest first).
  std::vector<int> ListOrder() {
    sim::FundGuideQuery query;
    query.sort_code = "3y";
    query.page_size = 100000;
    return sim::SelectFunds(sim_->market(), query);
  }
  // Columns 0-13 of a fund as its list record gives them.
  std::vector<std::string> ListColumns(int fund) {
    ui::Grid scratch = export_test::FundGrid(1);
    funds::WriteFundRow(scratch, 1, sim::Market::FundGuideRecord(sim_->market().funds()[fund]));
    std::vector<std::string> columns;
    for (int c = 0; c <= 13; ++c) columns.push_back(scratch.Text(1, c));
    return columns;
  }
  // Columns 14-23 of a fund as its four profile pages give them, by page: size, rating,
  // manager (16-17), statistics (18-23).
  std::vector<std::vector<std::string>> ProfileGroups(int fund) {
    const sim::FundDetail d = sim::DetailOf(sim_->market(), sim_->market().funds()[fund]);
    std::vector<std::string> stats(6);
    std::copy_n(d.stats.begin(), std::min<size_t>(6, d.stats.size()), stats.begin());
    return {{d.size},
            {d.rating.empty() ? "0" : d.rating},
            {d.manager ? d.manager->tenure_return : "", d.manager ? d.manager->tenure : ""},
            stats};
  }
  std::vector<std::vector<std::string>> RowGroups(int row) {
    std::vector<std::vector<std::string>> groups = {{grid().Text(row, 14)},
                                                    {grid().Text(row, 15)},
                                                    {grid().Text(row, 16), grid().Text(row, 17)},
                                                    {}};
    for (int c = 18; c <= 23; ++c) groups[3].push_back(grid().Text(row, c));
    return groups;
  }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<app_test::Program> program_;
};

TEST_F(FullDownloadTest, GuardCountsFourAttemptsADayAndStopsOnceTheWorkbookExists) {
  StartPortal(5);
  // No record yet, not even its folder: a new day.
  main().导出所有数据钮.Click();
  EXPECT_EQ("8月8日0", Record());
  EXPECT_EQ("加载完毕", main().Title());
  EXPECT_TRUE(std::filesystem::exists(Workbook()));

  // The workbook closes the day: nothing else changes, not even the record.
  const size_t requests = sim_->requests().Count();
  NewProgram();
  SetRecord("8月8日1");
  main().导出所有数据钮.Click();
  EXPECT_EQ(std::vector<std::string>{"你已经下载过数据了，请勿重复下载"}, shown());
  EXPECT_EQ("8月8日1", Record());
  EXPECT_TRUE(main().导出所有数据钮.Enabled());
  EXPECT_TRUE(main().五星基金钮.Enabled());
  EXPECT_EQ(requests, sim_->requests().Count());

  // Without it, the day's attempts count on; the fourth is the last.
  std::filesystem::remove(Workbook());
  main().导出所有数据钮.Click();
  EXPECT_EQ("8月8日2", Record());
  EXPECT_EQ(2, app().globals.DownloadAttempt);
  std::filesystem::remove(Workbook());
  NewProgram();
  SetRecord("8月8日3");
  main().导出所有数据钮.Click();
  EXPECT_EQ(std::vector<std::string>{"不要在下了亲"}, shown());
  EXPECT_FALSE(main().导出所有数据钮.Enabled());
  EXPECT_EQ("8月8日3", Record());
  EXPECT_FALSE(std::filesystem::exists(Workbook()));

  // Another day's record, and one that is not a record at all, start the count again.
  for (const std::string& old : {std::string("8月7日3"), std::string("\xff\xfe\x81")}) {
    NewProgram();
    WriteFileBytes(app().paths().guard_file, old);
    main().导出所有数据钮.Click();
    EXPECT_EQ("8月8日0", Record());
    EXPECT_EQ("加载完毕", main().Title());
    std::filesystem::remove(Workbook());
  }
}

TEST_F(FullDownloadTest, CompleteDownloadFillsEveryRowShowsProgressAndExportsTheGrid) {
  StartPortal(45);
  TitleLog log(main());
  // While it runs, a second click, a ranking list and a board list are refused; the refused
  // board list leaves the board button disabled.
  app().ui().Post([this] {
    main().导出所有数据钮.Click();
    main().单选框1.Click();
    funds::LoadBoardFunds(app(), 478, "", "");
  });
  main().导出所有数据钮.Click();

  EXPECT_EQ(std::vector<std::string>(3, app::kBusyMessage), shown());
  EXPECT_FALSE(main().选择板块钮.Enabled());
  EXPECT_EQ("8月8日0", Record());
  EXPECT_EQ(1u, Requests("sc=r&st=desc&pi=1"));
  EXPECT_EQ(45u, Requests("/jbgk_"));
  EXPECT_EQ(45u, Requests("/tsdata_"));
  EXPECT_EQ(0, app().globals.LoadThreadCount.load());

  const std::vector<int> order = ListOrder();
  ASSERT_EQ(46, grid().RowCount());
  for (int row = 1; row <= 45; ++row) {
    for (int c = 0; c <= 13; ++c) {
      EXPECT_EQ(ListColumns(order[row - 1])[c], grid().Text(row, c)) << row << "," << c;
    }
    EXPECT_EQ(ProfileGroups(order[row - 1]), RowGroups(row)) << row;
  }
  EXPECT_EQ("加载时间0秒", main().标签5.Caption());
  EXPECT_EQ("导出时间0秒", main().标签6.Caption());
  for (ui::Button* b :
       {&main().选择板块钮, &main().五星基金钮, &main().小功能钮, &main().导出当前数据钮}) {
    EXPECT_FALSE(b->Enabled()) << b->Name();
  }
  EXPECT_EQ("",
            export_test::FirstDifference(export_test::GridValues(grid()),
                                         export_test::Values(export_test::ProbeXls(Workbook()))));

  // Titles: the pages one by one, then the funds done of all, then the end.
  ASSERT_GE(log.titles.size(), 6u);
  EXPECT_EQ((std::vector<std::string>{"正在加载第1页", "正在加载第2页", "正在加载第3页"}),
            std::vector<std::string>(log.titles.begin(), log.titles.begin() + 3));
  for (size_t i = 3; i + 1 < log.titles.size(); ++i) {
    EXPECT_EQ(0u, log.titles[i].find("正在加载第3页，详情")) << log.titles[i];
  }
  EXPECT_EQ("正在加载第3页，详情45/45", log.titles[log.titles.size() - 2]);
  EXPECT_EQ("加载完毕", log.titles.back());
}

TEST_F(FullDownloadTest, OneFailedRequestInTenStillEndsAndEmptiesOnlyWhatFailed) {
  sim::FaultOptions faults;
  faults.error_rate = 0.1;
  // The portal's faults come from one seeded sequence, one draw a request: pick a market whose
  // totals answer but whose last page fails, so the last rows never get a fund.
  const std::uint64_t seed = sim::MarketOptions().seed;
  auto draws = [&](int n) {
    sim::FaultPicker picker(seed);
    picker.SetOptions(faults);
    std::vector<bool> failed;
    for (int i = 0; i < n; ++i) failed.push_back(picker.Pick().fault != sim::Fault::kNone);
    return failed;
  };
  const std::vector<bool> head = draws(20);
  int pages = 3;
  while (head[0] || !head[pages] || (pages < 19 && head[1])) ++pages;
  ASSERT_LT(pages, 19);
  const int funds = pages * 20 - 7;
  StartPortal(funds, faults);
  main().导出所有数据钮.Click();

  EXPECT_EQ("加载完毕", main().Title());
  EXPECT_TRUE(std::filesystem::exists(Workbook()));
  const std::vector<int> order = ListOrder();
  std::vector<int> rows;  // the fund of each filled row
  for (int page = 1; page <= pages; ++page) {
    for (int i = (page - 1) * 20; !head[page] && i < std::min(page * 20, funds); ++i) {
      rows.push_back(order[i]);
    }
  }
  const std::vector<bool> all = draws(1 + pages + 4 * static_cast<int>(rows.size()));
  const int detail_faults = static_cast<int>(std::count(all.begin() + 1 + pages, all.end(), true));
  const std::vector<std::vector<std::string>> failed = {
      {""}, {"0"}, {"", ""}, std::vector<std::string>(6)};
  int seen_faults = 0;
  for (int row = 1; row <= funds; ++row) {
    if (row > static_cast<int>(rows.size())) {
      for (int c = 0; c <= 23; ++c) EXPECT_EQ("", grid().Text(row, c)) << row << "," << c;
      continue;
    }
    for (int c = 0; c <= 13; ++c) {
      EXPECT_EQ(ListColumns(rows[row - 1])[c], grid().Text(row, c)) << row << "," << c;
    }
    const auto want = ProfileGroups(rows[row - 1]);
    const auto got = RowGroups(row);
    for (size_t g = 0; g < want.size(); ++g) {
      if (got[g] == want[g]) continue;
      EXPECT_EQ(failed[g], got[g]) << row << " page " << g;
      ++seen_faults;
    }
  }
  EXPECT_GT(seen_faults, 0);
  EXPECT_LE(seen_faults, detail_faults);
}

}  // namespace
