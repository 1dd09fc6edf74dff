#include "app/design.h"

#include <iterator>

#include "app/fund_columns.h"

namespace app {

void Place(ui::Control& control, std::string name, ui::Rect rect, bool visible,
           ui::Control* parent) {
  control.SetName(std::move(name));
  control.SetGeometry(rect);
  control.SetVisible(visible);
  control.SetEnabled(true);
  control.SetParent(parent);
  control.SetToolTip("");
}

void Place(ui::CaptionedControl& control, std::string name, std::string caption, ui::Rect rect,
           bool visible, ui::Control* parent) {
  Place(control, std::move(name), rect, visible, parent);
  control.SetCaption(std::move(caption));
}

std::vector<ui::GridColumn> FundGridColumns() {
  // One header for each column of the enum, in its order: a column added there without a header
  // here does not compile.
  const ui::GridColumn columns[] = {
      {"基金名称", 160}, {"基金代码", 55},  {"基金类型", 60},  {"日期", 75},      {"净值", 50},
      {"日增长率", 60},  {"近1周", 50},     {"近1月", 50},     {"近3月", 60},     {"近6月", 60},
      {"今年来", 60},    {"近一年", 60},    {"近2年", 60},     {"近3年", 60},     {"规模(亿)", 60},
      {"基金评级", 60},  {"任期回报", 60},  {"任期年限", 60},  {"标准差1", 60},   {"标准差2", 60},
      {"标准差3", 60},   {"夏普比率1", 60}, {"夏普比率2", 60}, {"夏普比率3", 60},
  };
  static_assert(std::size(columns) == kFundColumnCount);
  return {std::begin(columns), std::end(columns)};
}

std::vector<ui::GridColumn> HoldingsGridColumns() {
  return {{"股票名称", 64}, {"代码", 48}, {"占比", 48}};
}

}  // namespace app
