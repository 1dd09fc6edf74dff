// The alerts window against the simulated portal and a real ledger file: refusals, the rules
// after a restart, the check's tellings through a recording desktop, the interval on the fake
// timer clock and the failed-check count.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "alerts/alerts_fixture.h"
#include "positions/positions_store.h"
#include "sim/fund_detail.h"
#include "support/recording_notifier.h"

namespace {

using alerts_test::AlertsProgram;

class AlertsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    portal_ = alerts_test::StartPortal(dir_.path());
    ASSERT_NE(nullptr, portal_);
    Restart();
  }
  void Restart() {
    program_.reset();
    program_ = std::make_unique<AlertsProgram>(dir_.path(), &desktop_);
    program_->RunStartupSteps();
    program_->Drain();
  }
  app::AlertsWindow& window() { return program_->app.alerts_window(); }
  std::string Status() { return window().提醒状态.Caption(); }
  const sim::Fund& Fund(int i) { return portal_->market().funds()[i]; }
  positions::PositionsStore Store() {
    return positions::PositionsStore(positions::LedgerPath(program_->app.paths()));
  }
  void Check() {
    window().检查提醒钮.Click();
    program_->Drain();
  }

  test_support::TempDir dir_;
  test_support::RecordingNotifier desktop_;
  std::unique_ptr<sim::PortalSim> portal_;
  std::unique_ptr<AlertsProgram> program_;
};

TEST_F(AlertsTest, BadValuesAreRefusedNamingTheBoxAndNothingIsStored) {
  window().Show();
  const std::string code = Fund(0).code;
  struct Case {
    std::string code, condition, threshold, text;
  } cases[] = {
      {"12345", "日跌幅≥", "2", alerts::kBadCodeText},
      {" " + code, "日跌幅≥", "2", alerts::kBadCodeText},
      {code, "日跌幅≥", "0", alerts::kBadRateText},
      {code, "日涨幅≥", "-1", alerts::kBadRateText},
      {code, "日涨幅≥", "1.234", alerts::kBadRateText},
      {code, "日涨幅≥", "2%", alerts::kBadRateText},
      {code, "净值≥", "1.23456", alerts::kBadNavText},
      {code, "净值≤", "abc", alerts::kBadNavText},
      {code, "收益率≥", "5", alerts::kNotHeldText},
      {"999999", "日跌幅≥", "2", std::string(alerts::kNotFoundText) + "999999"},
  };
  for (const Case& c : cases) {
    program_->dialogs.shown.clear();
    program_->AddRule(c.code, c.condition, c.threshold);
    EXPECT_EQ(std::vector<std::string>{c.text}, program_->dialogs.shown) << c.code << c.threshold;
    EXPECT_EQ(c.threshold, window().阈值框.Text());
  }
  EXPECT_TRUE(Store().Alerts().empty());
  EXPECT_EQ(1, window().提醒表格.RowCount());
}

TEST_F(AlertsTest, RulesKeepTheTypedTextsAcrossARestartAndDeleteRemovesOne) {
  window().Show();
  program_->AddRule(Fund(1).code, "净值≤", "9.5");
  program_->AddRule(Fund(2).code, "日涨幅≥", "0.50");
  ASSERT_TRUE(program_->dialogs.shown.empty()) << program_->dialogs.shown[0];
  Restart();
  window().Show();
  ui::Grid& grid = window().提醒表格;
  ASSERT_EQ(3, grid.RowCount());
  EXPECT_EQ(Fund(1).name, grid.Text(1, app::kAlertName));
  EXPECT_EQ("净值≤", grid.Text(1, app::kAlertCondition));
  EXPECT_EQ("9.5", grid.Text(1, app::kAlertThreshold));
  EXPECT_EQ("0.50", grid.Text(2, app::kAlertThreshold));
  // The check at start filled the latest figures.
  EXPECT_EQ(Fund(1).nav_date, grid.Text(1, app::kAlertNavDate));
  grid.SetCurrentRow(1);
  window().删除提醒钮.Click();
  ASSERT_EQ(1u, Store().Alerts().size());
  EXPECT_EQ(Fund(2).code, Store().Alerts()[0].code);
}

TEST_F(AlertsTest, ARateRuleNeedsTheFundHeldAndReadsItsPosition) {
  const sim::Fund& fund = Fund(3);
  // Bought at half today's NAV: the position has gained 100 %.
  ASSERT_TRUE(Store().Add({"2021-08-02", fund.code, fund.name, positions::RecordKind::kBuy, 10000,
                           static_cast<std::int64_t>(fund.unit_nav * 5000 + 0.5)}));
  program_->AddRule(fund.code, "收益率≥", "99");
  ASSERT_TRUE(program_->dialogs.shown.empty()) << program_->dialogs.shown[0];
  Check();
  ASSERT_EQ(1u, desktop_.notified.size());
  EXPECT_NE(std::string::npos, desktop_.notified[0].find(" 收益率 ")) << desktop_.notified[0];
}

TEST_F(AlertsTest, WithoutANotificationServiceTheTrayOrTheStatusLineTells) {
  desktop_.service = false;
  portal_->SetFundNav(Fund(4).code, "2021-08-06", -2.31);
  program_->AddRule(Fund(4).code, "日跌幅≥", "2");
  const std::string body = Fund(4).name + "(" + Fund(4).code + ") 日跌幅 2.31% ≥ 2.00%，净值" +
                           sim::UnitNavText(Fund(4)) + "（2021-08-06）";
  desktop_.tray = true;
  Check();
  EXPECT_EQ(std::vector<std::string>{"基金提醒|" + body}, desktop_.tray_messages);
  EXPECT_EQ(std::string::npos, Status().find(body));

  desktop_.tray = false;
  portal_->SetFundNav(Fund(4).code, "2021-08-09", -3);
  Check();
  EXPECT_EQ(1u, desktop_.tray_messages.size());
  EXPECT_NE(std::string::npos, Status().find("日跌幅 3.00% ≥ 2.00%")) << Status();
  EXPECT_TRUE(desktop_.notified.empty());
}

TEST_F(AlertsTest, ChecksRunAtTheConfiguredIntervalOnTheTimerClock) {
  program_->AddRule(Fund(5).code, "净值≥", "100");
  struct Case {
    std::string setting;
    int minutes;
  } cases[] = {{"", 30}, {"5", 5}, {"1440", 1440}, {"4", 30}, {"1441", 30}, {"10分", 30}};
  for (const Case& c : cases) {
    program_->app.config().Write("提醒", "间隔分钟", c.setting);
    Restart();
    const size_t at_start = alerts_test::MainPageRequests(*portal_);
    program_->ui.AdvanceTimers(std::chrono::minutes(c.minutes) - std::chrono::seconds(1));
    program_->Drain();
    EXPECT_EQ(at_start, alerts_test::MainPageRequests(*portal_)) << c.setting;
    program_->ui.AdvanceTimers(std::chrono::seconds(1));
    program_->Drain();
    EXPECT_EQ(at_start + 1, alerts_test::MainPageRequests(*portal_)) << c.setting;
    // And again after another interval.
    program_->ui.AdvanceTimers(std::chrono::minutes(c.minutes));
    program_->Drain();
    EXPECT_EQ(at_start + 2, alerts_test::MainPageRequests(*portal_)) << c.setting;
  }
}

TEST_F(AlertsTest, FailedRequestsFireNothingAndAreCounted) {
  // Rules on funds the portal does not know: their pages answer 404.
  for (const char* code : {"999991", "999992"}) {
    positions::StoredAlert rule{0, code, "无此基金", "净值≥", "0.0001", "", "", ""};
    ASSERT_TRUE(Store().AddAlert(rule));
  }
  Restart();
  program_->AddRule(Fund(6).code, "净值≥", "0.0001");
  Check();
  EXPECT_NE(std::string::npos, Status().find("2支基金未能检查")) << Status();
  ASSERT_EQ(1u, desktop_.notified.size());
  EXPECT_NE(std::string::npos, desktop_.notified[0].find(Fund(6).code));
}

TEST_F(AlertsTest, ALedgerWrittenBeforeAlertsOpensUpgradedWithEveryRecord) {
  const std::filesystem::path ledger = dir_ / "old.sqlite3";
  sqlite3* db = nullptr;
  ASSERT_EQ(SQLITE_OK, sqlite3_open(ledger.c_str(), &db));
  // The schema the ledger had before alerts, with one buy, one quote and a refresh time.
  ASSERT_EQ(SQLITE_OK,
            sqlite3_exec(db,
                         "CREATE TABLE records(id INTEGER PRIMARY KEY, day TEXT NOT NULL, code TEXT"
                         " NOT NULL, name TEXT NOT NULL, kind TEXT NOT NULL CHECK(kind IN ('buy',"
                         " 'sell')), shares INTEGER NOT NULL, price INTEGER NOT NULL);"
                         "CREATE TABLE quotes(code TEXT PRIMARY KEY, unit_nav TEXT NOT NULL,"
                         " nav_date TEXT NOT NULL, day_change TEXT NOT NULL);"
                         "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);"
                         "INSERT INTO records VALUES(1, '2021-08-02', '000007', '旧基金', 'buy',"
                         " 12345, 11111);"
                         "INSERT INTO quotes VALUES('000007', '1.2000', '2021-08-06', '0.50%');"
                         "INSERT INTO meta VALUES('refreshed', '已刷新 2021年8月6日');"
                         "PRAGMA user_version=1;",
                         nullptr, nullptr, nullptr));
  sqlite3_close(db);
  positions::PositionsStore store(ledger);
  const std::vector<positions::Record> records = store.Records();
  ASSERT_EQ(1u, records.size());
  EXPECT_EQ((positions::Record{"2021-08-02", "000007", "旧基金", positions::RecordKind::kBuy, 12345,
                               11111}),
            records[0]);
  EXPECT_EQ("1.2000", store.Quotes()["000007"].unit_nav);
  EXPECT_EQ("已刷新 2021年8月6日", store.RefreshTime());
  positions::StoredAlert rule{0, "000007", "旧基金", "净值≥", "1.5", "", "", ""};
  EXPECT_TRUE(store.AddAlert(rule));
  EXPECT_EQ(std::vector<positions::StoredAlert>{rule}, store.Alerts());
}

}  // namespace
