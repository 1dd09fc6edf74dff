#pragma once

// Search as you type: every change of 搜索框 asks the portal's suggest service and drops the
// results down in 超级列表框1 over the other controls.

#include "app/app.h"

namespace funds {

// The got-focus handler: the hint text goes and the text turns black.
void OnSearchBoxFocus(app::App& app);

// The text-changed handler. The list always ends showing the results for the box's text: an
// answer that arrives after a newer keystroke is dropped.
void SearchFunds(app::App& app);

// Attaches both handlers.
void InstallFundSearch(app::App& app);

}  // namespace funds
