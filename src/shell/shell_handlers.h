#pragma once

// Handlers of the main window's controls that belong to the shell itself.

#include "app/app.h"
#include "tools/side_tasks.h"

namespace shell {

// 选择框1: remembers whether board and five-star lists load all pages.
void OnLoadAllClicked(app::App& app);
// 选择框2: adds or removes the log-on autostart entry and remembers the choice.
void OnAutostartClicked(app::App& app);
// 小功能钮: the side-tools window, modally; then the main window shows the latest results.
void OnSideToolsClicked(app::App& app, const tools::SideTaskResults& results);
// 支持钮: the support window, modally.
void OnSupportClicked(app::App& app);
// 图片框1 pressed: hides the page panel with its web page.
void OnClosePagePanel(app::App& app);

// Ends the program, whatever windows are open and loads are in flight: transfers are asked to
// stop and the event loop ends, so what the workers still bring reaches nobody. The workers
// are joined when the App goes.
void EndProcess(app::App& app);

}  // namespace shell
