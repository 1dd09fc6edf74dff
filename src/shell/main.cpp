// The program: one Qt application, the App over the executable's directory, the four
// windows' views, and the main window shown. Closing the main window ends the event loop; the
// App then joins its workers, whose transfers were told to stop, and the program returns 0.
// The main window's native window destroyed from outside, SIGTERM and SIGINT close it alike.

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <filesystem>
#include <memory>

#include "app/app.h"
#include "shell/bind_events.h"
#include "ui/clock.h"
#include "ui/qt/end_signals.h"
#include "ui/qt/qt_canvas.h"
#include "ui/qt/qt_notifier.h"
#include "ui/qt/qt_services.h"
#include "ui/qt/window_view.h"

namespace {

std::filesystem::path ExecutablePath() {
  std::error_code error;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) exe = QCoreApplication::applicationFilePath().toStdString();
  return exe;
}

// The view of a window that most runs never open: made, with the draw panel's canvas, when the
// window is first loaded, so that nothing of it is built before.
class ViewWhenLoaded : public ui::WindowObserver {
 public:
  ViewWhenLoaded(ui::Window& window, const QWidget* centre_on, ui::DrawPanel* panel)
      : window_(window), centre_on_(centre_on), panel_(panel) {
    window_.SetObserver(this);
  }
  ~ViewWhenLoaded() override {
    if (!view_) window_.SetObserver(nullptr);
  }

  void WindowChanged() override {
    if (view_ || !window_.Loaded()) return;
    if (panel_ != nullptr && panel_->GetCanvas() == nullptr) {
      const ui::Rect& rect = panel_->Geometry();
      panel_->SetCanvas(std::make_unique<ui::QtCanvas>(rect.width, rect.height));
    }
    // The view observes the window from now on and shows it as it stands.
    view_ = std::make_unique<ui::WindowView>(window_, centre_on_);
  }
  void RunModal() override {}

 private:
  ui::Window& window_;
  const QWidget* centre_on_;
  ui::DrawPanel* panel_;
  std::unique_ptr<ui::WindowView> view_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setFont(QFont("Noto Sans CJK SC", 9));
  // The menu entry's name and icon, so that a desktop shows the running windows under them.
  QGuiApplication::setDesktopFileName("fundview");
  QApplication::setWindowIcon(QIcon::fromTheme("fundview", QIcon(":/images/fundview.png")));

  ui::QtUiThread ui_thread;
  ui::QtDialogs dialogs;
  ui::SystemClock clock;
  ui::QtNotifier notifier;
  app::App app(app::AppPaths::ForExecutable(ExecutablePath()), dialogs, ui_thread, clock,
               &notifier);
  shell::Features features;  // gone before the App, its loads ended first
  app::MainWindow& main_window = app.main_window();
  const ui::Rect& chart = main_window.画板1.Geometry();
  main_window.画板1.SetCanvas(std::make_unique<ui::QtCanvas>(chart.width, chart.height));
  shell::BindEvents(app, features);

  ui::WindowView main_view(main_window);
  ui::WindowView board_view(app.board_window(), &main_view);
  ui::WindowView side_tools_view(app.side_tools_window(), &main_view);
  ui::WindowView support_view(app.support_window(), &main_view);
  ui::WindowView positions_view(app.positions_window(), &main_view);
  ui::WindowView alerts_view(app.alerts_window(), &main_view);
  ui::WindowView plans_view(app.plans_window(), &main_view);
  ui::WindowView import_view(app.import_window(), &main_view);
  ui::WindowView figures_view(app.figures_window(), &main_view);
  ViewWhenLoaded nav_chart_view(app.nav_chart_window(), &main_view,
                                &app.nav_chart_window().净值画板);
  ViewWhenLoaded analysis_view(app.analysis_window(), &main_view, &app.analysis_window().资产画板);
  dialogs.SetParent(&main_view);

  ui::EndSignals end_signals([&main_view] { main_view.close(); });
  main_window.Show();
  application.exec();
  return 0;
}
