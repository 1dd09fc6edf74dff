#pragma once

// The risk figures window: one row per fund the yield chart draws, and the risk-free rate the
// Sharpe ratios use.

#include "ui/controls.h"
#include "ui/grid.h"
#include "ui/window.h"

namespace app {

// The grid's columns, in order.
enum FiguresColumn {
  kFigName,
  kFigPeriod,
  kFigReturn,
  kFigAnnualReturn,
  kFigDrawdown,
  kFigDrawdownSpan,
  kFigVolatility,
  kFigSharpe,
  kFiguresColumnCount
};

class FiguresWindow : public ui::Window {
 public:
  FiguresWindow();

  ui::Grid 指标表格;
  ui::Label 指标说明;

 protected:
  void ApplyDesign() override;
};

}  // namespace app
