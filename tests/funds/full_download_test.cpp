// The full download against the simulated portal: the daily guard, a complete small market
// read back from its workbook, and a market whose portal fails one request in ten.

#include "funds/full_download.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "app/app_fixture.h"
#include "base/encoding.h"
#include "export/export_handler.h"
#include "export/xls_probe.h"
#include "funds/fund_lists.h"
#include "funds/fund_table.h"
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
  void StartPortal(int funds, const sim::FaultOptions& faults = {}, int list_page_size = 0) {
    sim::PortalSimOptions options;
    options.market.funds = funds;
    options.faults = faults;
    options.list_page_size = list_page_size;
    sim_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(sim_->Start(), 0);
    app_test::PointPortalAt(dir_.path(), sim_->BaseUrl());
    NewProgram();
  }
  // The program started afresh over the same directories.
  void NewProgram() {
    program_.reset();
    program_ = std::make_unique<app_test::Program>(dir_.path());
    funds_ = std::make_unique<funds::Funds>(app());
    funds::InstallRankingLists(*funds_);
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
    funds::WriteFundRow(
        scratch, 1,
        portal::CutFundRecord(sim::Market::FundGuideRecord(sim_->market().funds()[fund])));
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

  std::vector<std::string> RowListColumns(int row) {
    std::vector<std::string> columns;
    for (int c = 0; c <= 13; ++c) columns.push_back(grid().Text(row, c));
    return columns;
  }
  // Rows that differ from what the portal says of the fund listed there.
  int WrongRows() {
    const std::vector<int> order = ListOrder();
    int wrong = 0;
    for (int row = 1; row < grid().RowCount(); ++row) {
      const int fund = order[row - 1];
      wrong += RowListColumns(row) != ListColumns(fund) || RowGroups(row) != ProfileGroups(fund);
    }
    return wrong;
  }

  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> sim_;
  std::unique_ptr<funds::Funds> funds_;  // outlives the program's App
  std::unique_ptr<app_test::Program> program_;
};

TEST_F(FullDownloadTest, GuardCountsFourAttemptsADayAndStopsOnceTheWorkbookExists) {
  StartPortal(5);
  // No record yet, not even its folder: a new day.
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ("8月8日0", Record());
  EXPECT_EQ("加载完毕", main().Title());
  EXPECT_TRUE(std::filesystem::exists(Workbook()));

  // The workbook closes the day: nothing else changes, not even the record.
  const size_t requests = sim_->requests().Count();
  NewProgram();
  SetRecord("8月8日1");
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ(std::vector<std::string>{"你已经下载过数据了，请勿重复下载"}, shown());
  EXPECT_EQ("8月8日1", Record());
  EXPECT_TRUE(main().导出所有数据钮.Enabled());
  EXPECT_TRUE(main().五星基金钮.Enabled());
  EXPECT_EQ(requests, sim_->requests().Count());

  // Without it, the day's attempts count on; the fourth is the last.
  std::filesystem::remove(Workbook());
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ("8月8日2", Record());
  std::filesystem::remove(Workbook());
  NewProgram();
  SetRecord("8月8日3");
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ(std::vector<std::string>{"不要在下了亲"}, shown());
  EXPECT_FALSE(main().导出所有数据钮.Enabled());
  EXPECT_EQ("8月8日3", Record());
  EXPECT_FALSE(std::filesystem::exists(Workbook()));

  // Another day's record, and one that is not a record at all, start the count again.
  for (const std::string& old : {std::string("8月7日3"), std::string("\xff\xfe\x81")}) {
    NewProgram();
    WriteFileBytes(app().paths().guard_file, old);
    main().导出所有数据钮.Click();
    program_->Settle();
    EXPECT_EQ("8月8日0", Record());
    EXPECT_EQ("加载完毕", main().Title());
    std::filesystem::remove(Workbook());
  }
}

// The guard's checks run on a worker: a guard file that cannot be read yet (a pipe nobody has
// opened for writing) holds up no click, and the grid is held meanwhile.
TEST_F(FullDownloadTest, GuardChecksWaitOnAWorkerWhileTheGridIsHeld) {
  StartPortal(5);
  const std::filesystem::path guard = app().paths().guard_file;
  std::filesystem::create_directories(guard.parent_path());
  ASSERT_EQ(0, mkfifo(guard.c_str(), 0600));
  std::atomic<bool> clicked{false};
  bool clicked_before_written = false;
  std::thread writer([&] {
    // A failsafe: a click that read the pipe itself would wait for this writer.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!clicked && std::chrono::steady_clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    clicked_before_written = clicked;
    std::ofstream(guard, std::ios::binary) << base::Utf8ToGbk("8月8日3");
  });
  main().导出所有数据钮.Click();
  clicked = true;
  main().单选框1.Click();
  writer.join();
  program_->Settle();
  EXPECT_TRUE(clicked_before_written);
  EXPECT_EQ((std::vector<std::string>{app::kBusyMessage, "不要在下了亲"}), shown());
  EXPECT_FALSE(main().导出所有数据钮.Enabled());
  EXPECT_EQ(0u, Requests("sc=r&st=desc"));
  EXPECT_FALSE(app().loads().Busy(app::LoadTarget::kFundGrid));
}

TEST_F(FullDownloadTest, CompleteDownloadFillsEveryRowShowsProgressAndExportsTheGrid) {
  StartPortal(45);
  TitleLog log(main());
  // While it runs, a second click, a ranking list and a board list are refused; the refused
  // board list leaves the board button disabled.
  main().导出所有数据钮.Click();
  main().导出所有数据钮.Click();
  main().单选框1.Click();
  funds::LoadBoardFunds(*funds_, 478, "", "");
  program_->Settle();

  EXPECT_EQ(std::vector<std::string>(3, app::kBusyMessage), shown());
  EXPECT_FALSE(main().选择板块钮.Enabled());
  EXPECT_EQ("8月8日0", Record());
  EXPECT_EQ(1u, Requests("sc=r&st=desc&pi=1"));
  EXPECT_EQ(45u, Requests("/jbgk_"));
  EXPECT_EQ(45u, Requests("/tsdata_"));
  EXPECT_EQ(0, app().loads().InFlight());
  EXPECT_FALSE(app().loads().Busy(app::LoadTarget::kFundGrid));

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

TEST_F(FullDownloadTest, PagesHoldingFewerRecordsThanAskedAreAllAsked) {
  StartPortal(7, {}, 3);  // "allPages" 3 of three records each, "datacount" 7
  main().导出所有数据钮.Click();
  program_->Settle();

  EXPECT_EQ("加载完毕", main().Title());
  EXPECT_EQ(3u, Requests("sc=3y&st=desc&pi="));
  EXPECT_EQ(7u, Requests("/tsdata_"));
  const std::vector<int> order = ListOrder();
  ASSERT_EQ(8, grid().RowCount());
  for (int row = 1; row <= 7; ++row) {
    EXPECT_EQ(ListColumns(order[row - 1]), RowListColumns(row)) << row;
    EXPECT_EQ(ProfileGroups(order[row - 1]), RowGroups(row)) << row;
  }
}

TEST_F(FullDownloadTest, FailedRequestsAreAskedAgainAndWhatStillFailsIsCountedInTheTitle) {
  // One request in ten fails: half of them as error pages that carry a normal body, half cut
  // short of their announced length.
  sim::FaultOptions faults;
  faults.error_rate = 0.05;
  faults.error_keeps_body = true;
  faults.truncate_rate = 0.05;
  StartPortal(90, faults);
  main().导出所有数据钮.Click();
  program_->Settle();

  EXPECT_TRUE(std::filesystem::exists(Workbook()));
  EXPECT_GT(Requests("/jbgk_") + Requests("/jjjl_") + Requests("/JJPJ") + Requests("/tsdata_"),
            4u * 90u);
  // A fund whose page failed three times is possible; the title says how many there are.
  const int wrong = WrongRows();
  EXPECT_LE(wrong, 2);
  EXPECT_EQ(wrong == 0 ? std::string("加载完毕")
                       : "加载完毕（" + std::to_string(wrong) + "支基金未能完整加载）",
            main().Title());

  // A fund whose risk page always fails is asked three times, keeps its other pages and is
  // counted; the workbook is still written.
  const std::vector<int> order = ListOrder();
  const std::string code = sim_->market().funds()[order[4]].code;
  sim::FaultOptions failing;
  failing.fail_targets = {"/tsdata_" + code};
  sim_->SetFaults(failing);
  std::filesystem::remove(Workbook());
  // Without the funds the first download kept, every fund is asked again.
  NewProgram();
  std::filesystem::remove_all(app().paths().cache_file.parent_path());
  const size_t asked = Requests("/tsdata_" + code);
  main().导出所有数据钮.Click();
  program_->Settle();
  EXPECT_EQ("加载完毕（1支基金未能完整加载）", main().Title());
  EXPECT_EQ(3u, Requests("/tsdata_" + code) - asked);
  EXPECT_EQ(1, WrongRows());
  EXPECT_EQ(ProfileGroups(order[4])[0], RowGroups(5)[0]);
  EXPECT_EQ(std::vector<std::string>(6), RowGroups(5)[3]);
  EXPECT_TRUE(std::filesystem::exists(Workbook()));
}

}  // namespace
