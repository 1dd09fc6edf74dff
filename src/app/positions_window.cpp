#include "app/positions_window.h"

#include <utility>

#include "app/design.h"

namespace app {

PositionsWindow::PositionsWindow() : ui::Window("PositionsWindow", 936, 800) {
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &持仓表格,     &代码框,     &份额框,     &净值框,       &日期框,     &买入钮,
           &卖出钮,       &删除持仓钮, &刷新持仓钮, &导出持仓钮,   &费用框,     &金额框,
           &现金分红钮,   &红利再投钮, &持仓状态,   &费率框,       &午后框,     &按金额买入钮,
           &按份额卖出钮, &定投计划钮, &交易表格,   &分红方式标签, &分红方式框, &删除交易钮,
           &收益分析钮,   &导入钮,     &导出记录钮, &备份钮,       &恢复钮,     &账户标签,
           &账户框,       &账户名框,   &添加账户钮, &改名账户钮,   &删除账户钮}) {
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
  Place(份额框, "份额框", {112, 392, 96, 32});
  Place(净值框, "净值框", {216, 392, 96, 32});
  Place(日期框, "日期框", {320, 392, 112, 32});
  Place(买入钮, "买入钮", "买入", {448, 392, 64, 32});
  Place(卖出钮, "卖出钮", "卖出", {520, 392, 64, 32});
  Place(删除持仓钮, "删除持仓钮", "删除", {592, 392, 64, 32});
  Place(刷新持仓钮, "刷新持仓钮", "刷新", {664, 392, 64, 32});
  Place(导出持仓钮, "导出持仓钮", "导出", {736, 392, 56, 32});
  // The second row: the fee of a buy or sale, and the dividends.
  Place(费用框, "费用框", {8, 432, 96, 32});
  // 金额框 is a cash dividend's amount and the money a buy by amount pays.
  Place(金额框, "金额框", {112, 432, 96, 32});
  Place(现金分红钮, "现金分红钮", "现金分红", {216, 432, 96, 32});
  Place(红利再投钮, "红利再投钮", "红利再投", {320, 432, 96, 32});
  // A buy by amount and a sale by shares, confirmed at the NAV of their day.
  Place(费率框, "费率框", {424, 432, 72, 32});
  Place(午后框, "午后框", "15点后", {504, 432, 80, 32});
  Place(按金额买入钮, "按金额买入钮", "按金额买入", {592, 432, 104, 32});
  Place(按份额卖出钮, "按份额卖出钮", "按份额卖出", {704, 432, 104, 32});
  Place(定投计划钮, "定投计划钮", "定投计划", {816, 432, 112, 32});
  for (auto [box, hint] : {std::pair{&代码框, "基金代码"},
                           {&份额框, "份额"},
                           {&净值框, "成交净值"},
                           {&日期框, "日期"},
                           {&费用框, "手续费"},
                           {&金额框, "金额"},
                           {&费率框, "费率%"}}) {
    box->SetHint(hint);
    box->SetAccessibleName(hint);
  }
  Place(持仓状态, "持仓状态", "", {8, 472, 920, 32});
  Place(交易表格, "交易表格", {8, 512, 920, 200});
  交易表格.SetDesign({{"日期", 120},
                      {"基金名称", 120},
                      {"基金代码", 64},
                      {"类型", 72},
                      {"金额", 88},
                      {"份额", 88},
                      {"净值", 64},
                      {"手续费", 64},
                      {"费率", 56},
                      {"状态", 160}},
                     1);
  交易表格.SetAccessibleName("交易记录");
  Place(分红方式标签, "分红方式标签", "分红方式", {8, 720, 64, 32});
  Place(分红方式框, "分红方式框", {80, 720, 112, 32});
  分红方式框.SetItems({"现金分红", "红利再投"});
  分红方式框.SetAccessibleName("分红方式");
  Place(删除交易钮, "删除交易钮", "删除交易", {200, 720, 96, 32});
  Place(收益分析钮, "收益分析钮", "收益分析", {304, 720, 96, 32});
  Place(导入钮, "导入钮", "导入", {408, 720, 64, 32});
  Place(导出记录钮, "导出记录钮", "导出记录", {480, 720, 88, 32});
  Place(备份钮, "备份钮", "备份", {576, 720, 64, 32});
  Place(恢复钮, "恢复钮", "恢复", {648, 720, 64, 32});
  // The accounts: the one chosen filters the window; a new record goes to it.
  Place(账户标签, "账户标签", "账户", {8, 760, 40, 32});
  Place(账户框, "账户框", {56, 760, 136, 32});
  账户框.SetAccessibleName("账户");
  Place(账户名框, "账户名框", {200, 760, 120, 32});
  账户名框.SetHint("账户名称");
  账户名框.SetAccessibleName("账户名称");
  Place(添加账户钮, "添加账户钮", "添加账户", {328, 760, 88, 32});
  Place(改名账户钮, "改名账户钮", "改名", {424, 760, 64, 32});
  Place(删除账户钮, "删除账户钮", "删除账户", {496, 760, 88, 32});
}

}  // namespace app
