// The alerts through a real session bus: a private dbus-daemon started here and, where the test
// wants a notification service, a small one of its own that records every Notify call. The
// program runs against the simulated portal with the Qt notifier.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QThread>
#include <fstream>

#include "alerts/alerts_fixture.h"
#include "sim/fund_detail.h"
#include "support/temp_dir.h"
#include "ui/qt/qt_notifier.h"

namespace {

constexpr char kBusConfig[] =
    "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
    "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n";

// What the service records before each body: the app name and the summary.
const std::string kSent = "fundview|基金提醒|";

// Counts the answers still on their way, so that the test waits for each.
class CountingNotifier : public ui::Notifier {
 public:
  explicit CountingNotifier(ui::Notifier& inner) : inner_(inner) {}
  void Notify(const std::string& summary, const std::string& body,
              std::function<void(bool)> done) override {
    ++pending;
    inner_.Notify(summary, body, [this, done = std::move(done)](bool delivered) {
      --pending;
      done(delivered);
    });
  }
  bool ShowTrayMessage(const std::string& s, const std::string& b) override {
    return inner_.ShowTrayMessage(s, b);
  }
  void SetTrayToolTip(const std::string& text) override { inner_.SetTrayToolTip(text); }
  int pending = 0;

 private:
  ui::Notifier& inner_;
};

class NotifyBusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    portal_ = alerts_test::StartPortal(dir_.path());
    ASSERT_NE(nullptr, portal_);
    std::ofstream(dir_ / "bus.conf") << kBusConfig;
    bus_.start("dbus-daemon",
               {"--nofork", "--print-address=1",
                QString::fromStdString("--config-file=" + (dir_ / "bus.conf").string())});
    ASSERT_TRUE(bus_.waitForReadyRead(10000)) << bus_.errorString().toStdString();
    address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    connection_ = std::make_unique<QDBusConnection>(
        QDBusConnection::connectToBus(address_, "alerts-" + QString::number(++buses_)));
    ASSERT_TRUE(connection_->isConnected());
    qt_notifier_ = std::make_unique<ui::QtNotifier>(*connection_, false);
    counting_ = std::make_unique<CountingNotifier>(*qt_notifier_);
  }
  void TearDown() override {
    program_.reset();
    for (QProcess* process : {&service_, &bus_}) {
      process->kill();
      process->waitForFinished();
    }
  }
  void StartService() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", address_);
    service_.setProcessEnvironment(environment);
    service_.start(NOTIFY_RECORDER, {QString::fromStdString(Recorded().string())});
    for (int i = 0;
         i < 500 && !connection_->interface()->isServiceRegistered("org.freedesktop.Notifications");
         ++i) {
      QThread::msleep(10);
    }
    ASSERT_TRUE(
        connection_->interface()->isServiceRegistered("org.freedesktop.Notifications").value());
  }
  std::filesystem::path Recorded() { return dir_ / "notified.txt"; }
  std::vector<std::string> Notified() {
    std::vector<std::string> lines;
    std::ifstream in(Recorded());
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }
  // Runs the program until its loads have ended and every notification has its answer.
  void Drain() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    do {
      program_->Drain([] { QCoreApplication::processEvents(); });
    } while (counting_->pending > 0 && std::chrono::steady_clock::now() < deadline);
    ASSERT_EQ(0, counting_->pending);
  }
  void Start() {
    program_.reset();
    program_ = std::make_unique<alerts_test::AlertsProgram>(dir_.path(), counting_.get());
    program_->RunStartupSteps();
    Drain();
  }
  void Check() {
    program_->app.alerts_window().检查提醒钮.Click();
    Drain();
  }
  std::string Body(const sim::Fund& fund, const std::string& drop, const std::string& date) {
    return fund.name + "(" + fund.code + ") 日跌幅 " + drop + " ≥ 2.00%，净值" +
           sim::UnitNavText(fund) + "（" + date + "）";
  }

  static inline int buses_ = 0;
  test_support::TempDir dir_;
  std::unique_ptr<sim::PortalSim> portal_;
  QProcess bus_;
  QProcess service_;
  QString address_;
  std::unique_ptr<QDBusConnection> connection_;
  std::unique_ptr<ui::QtNotifier> qt_notifier_;
  std::unique_ptr<CountingNotifier> counting_;
  std::unique_ptr<alerts_test::AlertsProgram> program_;
};

TEST_F(NotifyBusTest, ARuleTellsOnceForEachNavDateAndNotAgainAfterARestart) {
  StartService();
  const sim::Fund& fund = portal_->market().funds()[2];
  portal_->SetFundNav(fund.code, "2021-08-06", -2.31);
  Start();
  program_->AddRule(fund.code, "日跌幅≥", "2");
  Check();
  EXPECT_EQ(std::vector<std::string>{kSent + Body(fund, "2.31%", "2021-08-06")}, Notified());
  Check();
  EXPECT_EQ(1u, Notified().size());

  portal_->SetFundNav(fund.code, "2021-08-09", -2.05);
  Check();
  EXPECT_EQ((std::vector<std::string>{kSent + Body(fund, "2.31%", "2021-08-06"),
                                      kSent + Body(fund, "2.05%", "2021-08-09")}),
            Notified());
  // The check at start sees the date already told.
  Start();
  EXPECT_EQ(2u, Notified().size());
  EXPECT_EQ("2021-08-09", program_->app.alerts_window().提醒表格.Text(1, app::kAlertNavDate));
}

TEST_F(NotifyBusTest, WithoutAServiceOnTheBusTheStatusLineTells) {
  const sim::Fund& fund = portal_->market().funds()[3];
  portal_->SetFundNav(fund.code, "2021-08-06", -2.31);
  Start();
  program_->AddRule(fund.code, "日跌幅≥", "2");
  Check();
  const std::string status = program_->app.alerts_window().提醒状态.Caption();
  EXPECT_NE(std::string::npos, status.find(Body(fund, "2.31%", "2021-08-06"))) << status;
  EXPECT_TRUE(Notified().empty());
}

}  // namespace
