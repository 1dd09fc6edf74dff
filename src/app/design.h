#pragma once

// Helpers the window classes use to put a control into its design state.

#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/controls.h"
#include "ui/grid.h"

namespace app {

void Place(ui::Control& control, std::string name, ui::Rect rect, bool visible = true,
           ui::Control* parent = nullptr);
void Place(ui::CaptionedControl& control, std::string name, std::string caption, ui::Rect rect,
           bool visible = true, ui::Control* parent = nullptr);

// The fund grid's columns (also the comparison grid's), one per FundColumn: headers and design
// widths.
std::vector<ui::GridColumn> FundGridColumns();
// The holdings grids' three columns.
std::vector<ui::GridColumn> HoldingsGridColumns();

}  // namespace app
