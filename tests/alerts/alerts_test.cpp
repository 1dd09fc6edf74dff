// The alerts: when a rule holds and what it says; the window against the simulated portal and a
// real ledger file; the tellings through a private session bus (a dbus-daemon started here and,
// where a test wants one, a notification service of its own that records each Notify call), the
// tray and the status line; the interval on the fake timer clock and the failed-check count.

#include "alerts/alerts.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <fstream>

#include "alerts/alert_rules.h"
#include "alerts/alert_rules_store.h"
#include "app/app_fixture.h"
#include "positions/positions.h"
#include "positions/positions_store.h"
#include "sim/fund_detail.h"
#include "sim/server.h"
#include "ui/qt/qt_notifier.h"

namespace {

using alerts::Condition;

TEST(AlertRulesTest, EachConditionHoldsOnItsOwnSideOfTheThresholdAndSaysSo) {
  const alerts::Figures figures{"1.2340", "2021-08-06", "-2.31%", 1234};
  struct Case {
    std::string condition, threshold, said;  // said: empty when the rule does not hold
  } cases[] = {
      {"日跌幅≥", "2", "日跌幅 2.31% ≥ 2.00%"},
      {"日跌幅≥", "2.31", "日跌幅 2.31% ≥ 2.31%"},
      {"日跌幅≥", "2.32", ""},
      {"日涨幅≥", "0.01", ""},
      {"净值≥", "1.234", "净值 1.2340 ≥ 1.2340"},
      {"净值≥", "1.2341", ""},
      {"净值≤", "1.3", "净值 1.2340 ≤ 1.3000"},
      {"净值≤", "1.2339", ""},
      {"收益率≥", "12.34", "收益率 12.34% ≥ 12.34%"},
      {"收益率≤", "12.33", ""},
      {"收益率≤", "20", "收益率 12.34% ≤ 20.00%"},
  };
  for (const Case& c : cases) {
    const Condition condition = *alerts::ConditionOf(c.condition);
    const alerts::Rule rule{"000001", "华夏成长混合", condition,
                            *alerts::ParseThreshold(condition, c.threshold)};
    const std::string said = alerts::Fired(rule, figures).value_or("");
    EXPECT_EQ(c.said.empty() ? "" : "华夏成长混合(000001) " + c.said + "，净值1.2340（2021-08-06）",
              said);
  }
  // Missing figures fire nothing.
  const alerts::Rule day{"000001", "基金", Condition::kDayRise, 1};
  EXPECT_FALSE(alerts::Fired(day, {"1.0000", "2021-08-06", "--", 0}));
  EXPECT_FALSE(alerts::Fired(day, {"1.0000", "", "5.00%", 0}));
  EXPECT_FALSE(alerts::Fired({"000001", "基金", Condition::kRateAtMost, 100000},
                             {"1.0000", "2021-08-06", "5.00%", std::nullopt}));
}

// A notification service: records "app name|summary|body" of each Notify call, then answers.
struct Recorder : QDBusVirtualObject {
  QString introspect(const QString&) const override { return {}; }
  bool handleMessage(const QDBusMessage& call, const QDBusConnection& bus) override {
    const QVariantList a = call.arguments();
    notified.push_back(
        (a[0].toString() + "|" + a[3].toString() + "|" + a[4].toString()).toStdString());
    return bus.send(call.createReply(static_cast<uint>(notified.size())));
  }
  std::vector<std::string> notified;
};

// The desktop: the bus's notifications, counting the answers on their way; a tray when `tray`.
struct Desktop : ui::QtNotifier {
  using QtNotifier::QtNotifier;
  void Notify(const std::string& s, const std::string& b, std::function<void(bool)> done) override {
    ++pending;
    QtNotifier::Notify(s, b, [this, done](bool delivered) {
      --pending;
      done(delivered);
    });
  }
  bool ShowTrayMessage(const std::string& s, const std::string& b) override {
    if (tray) tray_messages.push_back(s + "|" + b);
    return tray;
  }
  int pending = 0;
  bool tray = false;
  std::vector<std::string> tray_messages;
};

// The program with its positions and alerts, started over the folders of one directory.
struct Program {
  Program(const std::filesystem::path& root, ui::Notifier* desktop)
      : app(app_test::TestPaths(root), dialogs, ui, clock, desktop) {
    positions.Install();
    alerts.Install();
    for (const app::StartupStep& step : app.startup_steps()) step.run(app);
  }
  // The loads end before the features whose state they use.
  ~Program() { app.workers().StopAndJoin(); }
  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui;
  test_support::FixedClock clock{base::DateTime{2021, 8, 8, 9, 5, 3}};
  app::App app;
  positions::Positions positions{app};
  alerts::Alerts alerts{app, positions.store()};
};

class AlertsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::PortalSimOptions options;
    options.market.funds = 20;
    portal_ = std::make_unique<sim::PortalSim>(options);
    ASSERT_GT(portal_->Start(), 0);
    app_test::PointPortalAt(dir_.path(), portal_->BaseUrl());
    std::ofstream(dir_ / "bus.conf")
        << "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><policy context="
           "\"default\"><allow send_destination=\"*\"/><allow receive_sender=\"*\"/><allow own="
           "\"*\"/></policy><auth>EXTERNAL</auth></busconfig>";
    daemon_.start("dbus-daemon",
                  {"--nofork", "--print-address=1",
                   QString::fromStdString("--config-file=" + (dir_ / "bus.conf").string())});
    ASSERT_TRUE(daemon_.waitForReadyRead(10000)) << daemon_.errorString().toStdString();
    const QString address = QString::fromUtf8(daemon_.readLine()).trimmed();
    const QString name = QString::number(++buses_);
    program_bus_.emplace(QDBusConnection::connectToBus(address, "program" + name));
    service_bus_.emplace(QDBusConnection::connectToBus(address, "service" + name));
    ASSERT_TRUE(program_bus_->isConnected() && service_bus_->isConnected());
    desktop_.emplace(*program_bus_, false);
    Restart();
  }
  void TearDown() override {
    program_.reset();
    desktop_.reset();
    for (const char* name : {"program", "service"}) {
      QDBusConnection::disconnectFromBus(name + QString::number(buses_));
    }
    daemon_.kill();
    daemon_.waitForFinished();
  }
  void StartService() {
    ASSERT_TRUE(service_bus_->registerVirtualObject("/org/freedesktop/Notifications", &service_));
    ASSERT_TRUE(service_bus_->registerService("org.freedesktop.Notifications"));
  }
  void Restart() {
    program_.reset();
    program_ = std::make_unique<Program>(dir_.path(), &*desktop_);
    Drain();
  }
  // Runs the program until its loads have ended and every notification has its answer; the
  // timers stay where they are.
  void Drain() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    do {
      program_->ui.PumpEventsUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
      QCoreApplication::processEvents();
    } while ((program_->app.loads().InFlight() > 0 || desktop_->pending > 0) &&
             std::chrono::steady_clock::now() < deadline);
    program_->ui.PumpEvents();
    ASSERT_EQ(0, desktop_->pending);
  }
  void AddRule(const std::string& code, const std::string& condition,
               const std::string& threshold) {
    window().提醒代码框.SetText(code);
    window().条件框.Choose(static_cast<int>(*alerts::ConditionOf(condition)));
    window().阈值框.SetText(threshold);
    window().添加提醒钮.Click();
    Drain();
  }
  void Check() {
    window().检查提醒钮.Click();
    Drain();
  }
  app::AlertsWindow& window() { return program_->app.alerts_window(); }
  std::string Status() { return window().提醒状态.Caption(); }
  const sim::Fund& Fund(int i) { return portal_->market().funds()[i]; }
  std::string DropBody(int i, const std::string& drop, const std::string& date) {
    return Fund(i).name + "(" + Fund(i).code + ") 日跌幅 " + drop + " ≥ 2.00%，净值" +
           sim::UnitNavText(Fund(i)) + "（" + date + "）";
  }
  positions::PositionsStore Store() { return positions::PositionsStore(Ledger()); }
  std::vector<alerts::StoredAlert> Rules() {
    positions::PositionsStore ledger(Ledger());
    return alerts::RulesStore(ledger).Alerts();
  }
  std::filesystem::path Ledger() { return positions::LedgerPath(app_test::TestPaths(dir_.path())); }

  static inline int buses_ = 0;
  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> portal_;
  QProcess daemon_;
  std::optional<QDBusConnection> program_bus_, service_bus_;
  Recorder service_;
  std::optional<Desktop> desktop_;
  std::unique_ptr<Program> program_;
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
    AddRule(c.code, c.condition, c.threshold);
    EXPECT_EQ(std::vector<std::string>{c.text}, program_->dialogs.shown) << c.code << c.threshold;
    EXPECT_EQ(c.threshold, window().阈值框.Text());
  }
  EXPECT_TRUE(Rules().empty());
  EXPECT_EQ(1, window().提醒表格.RowCount());
}

TEST_F(AlertsTest, RulesKeepTheTypedTextsAcrossARestartAndDeleteRemovesOne) {
  window().Show();
  AddRule(Fund(1).code, "净值≤", "9.5");
  AddRule(Fund(2).code, "日涨幅≥", "0.50");
  ASSERT_TRUE(program_->dialogs.shown.empty()) << program_->dialogs.shown[0];
  Restart();
  window().Show();
  ui::Grid& grid = window().提醒表格;
  ASSERT_EQ(3, grid.RowCount());
  EXPECT_EQ(Fund(1).name, grid.Text(1, app::kAlertName));
  EXPECT_EQ("净值≤", grid.Text(1, app::kAlertCondition));
  EXPECT_EQ("9.5", grid.Text(1, app::kAlertThreshold));
  EXPECT_EQ("0.50", grid.Text(2, app::kAlertThreshold));
  EXPECT_EQ(Fund(1).nav_date, grid.Text(1, app::kAlertNavDate));  // from the check at start
  grid.SetCurrentRow(1);
  window().删除提醒钮.Click();
  ASSERT_EQ(1u, Rules().size());
  EXPECT_EQ(Fund(2).code, Rules()[0].code);
}

TEST_F(AlertsTest, ARuleTellsTheServiceOnceForEachNavDateAndNotAgainAfterARestart) {
  StartService();
  portal_->SetFundNav(Fund(2).code, "2021-08-06", -2.31);
  AddRule(Fund(2).code, "日跌幅≥", "2");
  Check();
  const std::string sent = "fundview|基金提醒|";
  EXPECT_EQ(std::vector<std::string>{sent + DropBody(2, "2.31%", "2021-08-06")}, service_.notified);
  Check();
  EXPECT_EQ(1u, service_.notified.size());
  portal_->SetFundNav(Fund(2).code, "2021-08-09", -2.05);
  Check();
  EXPECT_EQ((std::vector<std::string>{sent + DropBody(2, "2.31%", "2021-08-06"),
                                      sent + DropBody(2, "2.05%", "2021-08-09")}),
            service_.notified);
  Restart();  // its check at start sees the date already told
  EXPECT_EQ(2u, service_.notified.size());
  EXPECT_EQ("2021-08-09", window().提醒表格.Text(1, app::kAlertNavDate));
}

TEST_F(AlertsTest, WithoutANotificationServiceTheTrayOrTheStatusLineTells) {
  portal_->SetFundNav(Fund(4).code, "2021-08-06", -2.31);
  AddRule(Fund(4).code, "日跌幅≥", "2");
  desktop_->tray = true;
  Check();
  EXPECT_EQ(std::vector<std::string>{"基金提醒|" + DropBody(4, "2.31%", "2021-08-06")},
            desktop_->tray_messages);
  EXPECT_EQ(std::string::npos, Status().find("日跌幅")) << Status();
  desktop_->tray = false;
  portal_->SetFundNav(Fund(4).code, "2021-08-09", -3);
  Check();
  EXPECT_EQ(1u, desktop_->tray_messages.size());
  EXPECT_NE(std::string::npos, Status().find(DropBody(4, "3.00%", "2021-08-09"))) << Status();
}

TEST_F(AlertsTest, ARateRuleReadsTheHeldPosition) {
  StartService();
  // Bought at half today's NAV: the position has gained 100 %.
  ASSERT_TRUE(Store().Add({"2021-08-02", Fund(3).code, Fund(3).name, positions::RecordKind::kBuy,
                           10000, static_cast<std::int64_t>(Fund(3).unit_nav * 5000 + 0.5)}));
  AddRule(Fund(3).code, "收益率≥", "99");
  ASSERT_TRUE(program_->dialogs.shown.empty()) << program_->dialogs.shown[0];
  Check();
  ASSERT_EQ(1u, service_.notified.size());
  EXPECT_NE(std::string::npos, service_.notified[0].find(" 收益率 ")) << service_.notified[0];
}

TEST_F(AlertsTest, ChecksRunAtTheConfiguredIntervalOnTheTimerClock) {
  AddRule(Fund(5).code, "净值≥", "100");
  const auto requests = [&] {
    return std::ranges::count_if(portal_->requests().Snapshot(), [&](const auto& request) {
      return request.path.starts_with("/" + Fund(5).code + ".html");
    });
  };
  for (const auto& [setting, minutes] : std::vector<std::pair<std::string, int>>{
           {"", 30}, {"5", 5}, {"1440", 1440}, {"4", 30}, {"1441", 30}, {"10分", 30}}) {
    program_->app.config().Write("提醒", "间隔分钟", setting);
    Restart();
    const std::chrono::seconds interval = std::chrono::minutes(minutes);
    const auto at_start = requests();
    const std::pair<std::chrono::seconds, int> steps[] = {
        {interval - std::chrono::seconds(1), 0}, {std::chrono::seconds(1), 1}, {interval, 2}};
    for (const auto& [advance, more] : steps) {
      program_->ui.AdvanceTimers(advance);
      Drain();
      EXPECT_EQ(at_start + more, requests()) << setting;
    }
  }
}

TEST_F(AlertsTest, AnOldLedgerTakesRulesAndFailedRequestsFireNothingAndAreCounted) {
  StartService();
  program_.reset();
  std::filesystem::remove_all(Ledger().parent_path());
  std::filesystem::create_directories(Ledger().parent_path());
  std::filesystem::copy_file(LEDGER_V1, Ledger());
  // Rules on funds the portal does not know: their pages answer 404.
  positions::PositionsStore ledger(Ledger());
  alerts::RulesStore kept(ledger);
  std::vector<alerts::StoredAlert> rules;
  for (const char* code : {"999991", "999992"}) {
    rules.push_back({0, code, "无此基金", "净值≥", "0.0001", "", "", ""});
    ASSERT_TRUE(kept.AddAlert(rules.back()));
  }
  EXPECT_EQ(rules, Rules());
  Restart();
  AddRule(Fund(6).code, "净值≥", "0.0001");
  Check();
  EXPECT_NE(std::string::npos, Status().find("2支基金未能检查")) << Status();
  ASSERT_EQ(1u, service_.notified.size());
  EXPECT_NE(std::string::npos, service_.notified[0].find(Fund(6).code));
  EXPECT_EQ(7u, Store().Records().size());
}

}  // namespace
