#include "app/figures_window.h"

#include "app/design.h"

namespace app {

FiguresWindow::FiguresWindow() : ui::Window("FiguresWindow", 720, 160) {
  Add(指标表格);
  Add(指标说明);
  ApplyDesign();
}

void FiguresWindow::ApplyDesign() {
  SetTitle("风险指标");
  Place(指标表格, "指标表格", {8, 8, 704, 96});
  // The header row only: a row per drawn fund is added when the chart has drawn. The columns
  // leave the grid's frame its pixels, so that no scroll bar cuts the last one.
  指标表格.SetDesign({{"基金名称", 112},
                      {"区间", 96},
                      {"区间收益", 72},
                      {"年化收益", 72},
                      {"最大回撤", 72},
                      {"回撤区间", 164},
                      {"年化波动", 56},
                      {"夏普比率", 56}},
                     1);
  Place(指标说明, "指标说明", "", {8, 120, 704, 32});
}

}  // namespace app
