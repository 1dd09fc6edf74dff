#pragma once

#include "app/app.h"

namespace shell {

// Attaches every control, menu and window event of the four windows to its handler: the
// shell's own (start-up, end of the process, the check boxes, the side and support windows,
// the page panel's close mark, the pop-up menus) and each feature's. A feature adds one
// call below the shell's own, to a function of its module that attaches its handlers and
// adds its start-up steps with App::AddStartupStep.
void BindEvents(app::App& app);

}  // namespace shell
