#include "shell/shell_handlers.h"

#include "app/autostart.h"

namespace shell {

namespace {

void ShowModalAndClose(ui::Window& window) {
  window.ShowModal();
  // The modal show ends when the user is done with the window; one that was only hidden
  // is closed now so the next opening loads it afresh.
  if (window.Loaded()) window.Close();
}

}  // namespace

void OnLoadAllClicked(app::App& app) {
  app.config().WriteBool("加载数据", "是否全部加载", app.main_window().选择框1.Checked());
}

void OnAutostartClicked(app::App& app) {
  const std::string name = app.paths().executable.filename().string();
  const bool checked = app.main_window().选择框2.Checked();
  if (checked) {
    // A failure is not reported: the box and the setting keep what the user chose.
    app::AddAutostartEntry(app.paths().autostart_dir, name, app.paths().executable);
  } else {
    app::RemoveAutostartEntry(app.paths().autostart_dir, name);
  }
  app.config().WriteBool("开机自启", "自启", checked);
}

void OnSideToolsClicked(app::App& app, const tools::SideTaskResults& results) {
  ShowModalAndClose(app.side_tools_window());
  app.main_window().标签5.SetCaption(results.sign_in);
  app.main_window().标签6.SetCaption(results.step);
}

void OnSupportClicked(app::App& app) { ShowModalAndClose(app.support_window()); }

void OnClosePagePanel(app::App& app) {
  app.main_window().外形框1.SetVisible(false);
  app.main_window().超文本浏览框1.SetVisible(false);
}

void EndProcess(app::App& app) {
  // Transfers end within one wait slice; what the workers still bring reaches nobody, as the
  // event loop that would run it has ended.
  app.workers().RequestStop();
  app.ui().Quit();
}

}  // namespace shell
