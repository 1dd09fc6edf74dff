// The side-tools window opened from the main window, filled in and saved as a user does it,
// against the simulated forum and step service; the usage tip of its step label on hover.

#include <gtest/gtest.h>

#include <QApplication>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <cstdlib>
#include <vector>

#include "app/app_fixture.h"
#include "shell/bind_events.h"
#include "sim/server.h"
#include "sim/side_services.h"
#include "tools/side_tools.h"
#include "ui/qt/window_view.h"

namespace {

template <class W>
W* Find(ui::WindowView& view, const char* name) {
  auto* widget = qobject_cast<W*>(view.ControlWidget(name));
  EXPECT_NE(nullptr, widget) << name;
  return widget;
}

// With FUNDVIEW_SCREENSHOTS naming a directory, `window` and any tool-tip shown over it are
// saved there as one picture, for a look.
void SaveScreenshot(QWidget& window, const char* name) {
  const char* dir = std::getenv("FUNDVIEW_SCREENSHOTS");
  if (dir == nullptr || *dir == '\0') return;
  QRect area = window.frameGeometry();
  std::vector<QWidget*> tips;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->isVisible() && top->objectName() == "qtooltip_label") {
      tips.push_back(top);
      area |= top->geometry();
    }
  }
  QPixmap shot(area.size());
  shot.fill(Qt::white);
  QPainter painter(&shot);
  painter.drawPixmap(window.geometry().topLeft() - area.topLeft(), window.grab());
  for (QWidget* tip : tips)
    painter.drawPixmap(tip->geometry().topLeft() - area.topLeft(), tip->grab());
  painter.end();
  shot.save(QString(dir) + "/" + name);
}

TEST(SideToolsViewTest, SavedBoxesRunBothTasksAndTheMainWindowShowsTheirResults) {
  sim::PortalSim portal;
  ASSERT_GT(portal.Start(), 0);
  test_support::TempDir dir;
  const app::AppPaths paths = app_test::TestPaths(dir.path());
  app::ConfigFile config(paths.run_dir.string());
  config.Write("门户", "FORUM_BASE", portal.BaseUrl());
  config.Write("门户", "STEP_BASE", portal.BaseUrl());
  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui_thread;
  test_support::FixedClock clock{base::DateTime{2021, 8, 20, 15, 0, 0}};
  app::App app(paths, dialogs, ui_thread, clock);
  shell::Features features;
  shell::BindEvents(app, features);
  ui::WindowView main_view(app.main_window());
  ui::WindowView side_view(app.side_tools_window());
  main_view.show();

  QString tip_shown;
  bool was_modal = false;
  bool open_after_save = true;
  QTimer::singleShot(0, [&] {
    was_modal = side_view.isVisible() && side_view.isModal();
    QTest::keyClicks(Find<QLineEdit>(side_view, "小米账号框"), sim::kStepAccount);
    // Chinese characters arrive from the input method, the rest as keys.
    QLineEdit* password = Find<QLineEdit>(side_view, "小米密码框");
    const QString typed(sim::kStepPassword);
    const qsizetype chinese_from = typed.indexOf(QString("步"));
    QTest::keyClicks(password, typed.left(chinese_from));
    QInputMethodEvent composed;
    composed.setCommitString(typed.mid(chinese_from));
    QCoreApplication::sendEvent(password, &composed);
    QTest::keyClicks(Find<QLineEdit>(side_view, "目标步数框"), "16000");
    QTest::keyClicks(Find<QLineEdit>(side_view, "吾爱cookie框"),
                     QString("htVC_2132_saltkey=Qx9v; ") + sim::kForumAuthCookie);

    // Hovering the step label asks for its tip.
    QLabel* usage = Find<QLabel>(side_view, "标签6");
    const QPoint at = usage->rect().center();
    QHelpEvent hover(QEvent::ToolTip, at, usage->mapToGlobal(at));
    QCoreApplication::sendEvent(usage, &hover);
    // Read at once: the tip hides again on the next window activation.
    tip_shown = QToolTip::text();
    SaveScreenshot(side_view, "side_tools_window.png");

    Find<QPushButton>(side_view, "按钮1")->click();
    app_test::Settle(app, ui_thread);
    // Saving closes the window; a window left open would keep the modal loop running.
    open_after_save = side_view.isVisible();
    if (open_after_save) side_view.close();
  });
  Find<QPushButton>(main_view, "小功能钮")->click();

  EXPECT_TRUE(was_modal);
  EXPECT_EQ(QString(tools::kStepUsageTip), tip_shown);
  EXPECT_FALSE(open_after_save);
  EXPECT_EQ("吾爱破解，签到成功", Find<QLabel>(main_view, "标签5")->text().toStdString());
  EXPECT_EQ("修改步数成功，当前步数：16000",
            Find<QLabel>(main_view, "标签6")->text().toStdString());
  EXPECT_EQ(sim::kStepAccount, config.Read("小米运动刷步", "账号"));
  EXPECT_EQ("2021年8月20日15时", config.Read("刷步时间", "刷步时间"));
}

}  // namespace
