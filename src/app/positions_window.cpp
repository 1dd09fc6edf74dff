#include "app/positions_window.h"

#include "app/design.h"

namespace app {

PositionsWindow::PositionsWindow() : ui::Window("PositionsWindow", 936, 520) {
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &持仓表格, &代码框, &份额框, &净值框, &日期框, &买入钮, &卖出钮, &删除持仓钮,
           &刷新持仓钮, &导出持仓钮, &费用框, &金额框, &现金分红钮, &红利再投钮, &持仓状态}) {
    Add(*control);
  }
  ApplyDesign();
}

void PositionsWindow::ApplyDesign() {
  SetTitle("我的持仓");
  Place(持仓表格, "持仓表格", {8, 8, 920, 368});
  // Header row and the total row; the fund rows go between them.
  // The columns leave the grid's frame and a vertical scroll bar their pixels.
  持仓表格.SetDesign({{"基金名称", 104},
                      {"基金代码", 64},
                      {"持有份额", 72},
                      {"成本价", 64},
                      {"持仓成本", 72},
                      {"最新净值", 64},
                      {"净值日期", 72},
                      {"日涨幅", 56},
                      {"当日收益", 64},
                      {"持有收益", 72},
                      {"收益率", 60},
                      {"累计分红", 64},
                      {"年化收益", 72}},
                     2);
  持仓表格.SetText(1, kPosName, "合计");
  Place(代码框, "代码框", {8, 392, 96, 32});
  代码框.SetHint("基金代码");
  Place(份额框, "份额框", {112, 392, 96, 32});
  份额框.SetHint("份额");
  Place(净值框, "净值框", {216, 392, 96, 32});
  净值框.SetHint("成交净值");
  Place(日期框, "日期框", {320, 392, 112, 32});
  日期框.SetHint("日期");
  Place(买入钮, "买入钮", "买入", {448, 392, 64, 32});
  Place(卖出钮, "卖出钮", "卖出", {520, 392, 64, 32});
  Place(删除持仓钮, "删除持仓钮", "删除", {592, 392, 64, 32});
  Place(刷新持仓钮, "刷新持仓钮", "刷新", {664, 392, 64, 32});
  Place(导出持仓钮, "导出持仓钮", "导出", {736, 392, 56, 32});
  // The second row: the fee of a buy or sale, and the dividends.
  Place(费用框, "费用框", {8, 432, 96, 32});
  费用框.SetHint("手续费");
  Place(金额框, "金额框", {112, 432, 96, 32});
  金额框.SetHint("分红金额");
  Place(现金分红钮, "现金分红钮", "现金分红", {216, 432, 96, 32});
  Place(红利再投钮, "红利再投钮", "红利再投", {320, 432, 96, 32});
  Place(持仓状态, "持仓状态", "", {8, 472, 920, 32});
}

}  // namespace app
