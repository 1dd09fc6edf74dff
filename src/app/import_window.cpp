#include "app/import_window.h"

#include <iterator>
#include <utility>

#include "app/design.h"

namespace app {

ImportWindow::ImportWindow() : ui::Window("ImportWindow", 1000, 560) {
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &导入表格, &格式标签, &源列框, &映射框, &导入账户框, &卖出费率框, &快照日期框, &候选标签,
           &候选框, &确认导入钮, &取消导入钮, &导入状态}) {
    Add(*control);
  }
  ApplyDesign();
}

void ImportWindow::ApplyDesign() {
  SetTitle("导入预览");
  Place(导入表格, "导入表格", {8, 8, 984, 384});
  导入表格.SetDesign({{"状态", 236},
                      {"日期", 76},
                      {"时间", 60},
                      {"代码", 52},
                      {"名称", 100},
                      {"类型", 80},
                      {"金额", 64},
                      {"份额", 64},
                      {"净值", 52},
                      {"成本价", 48},
                      {"手续费", 48},
                      {"交易号", 48},
                      {"账户", 40}},
                     1);
  导入表格.SetAccessibleName("导入预览");
  Place(格式标签, "格式标签", "", {8, 400, 200, 32});
  Place(源列框, "源列框", {216, 400, 200, 32});
  源列框.SetAccessibleName("源列");
  Place(映射框, "映射框", {424, 400, 96, 32});
  映射框.SetAccessibleName("映射为");
  Place(导入账户框, "导入账户框", {528, 400, 136, 32});
  导入账户框.SetAccessibleName("导入到账户");
  Place(卖出费率框, "卖出费率框", {672, 400, 96, 32});
  卖出费率框.SetHint("卖出费率%");
  卖出费率框.SetAccessibleName("卖出费率%");
  Place(快照日期框, "快照日期框", {776, 400, 112, 32});
  快照日期框.SetHint("快照日期");
  快照日期框.SetAccessibleName("快照日期");
  Place(候选标签, "候选标签", "", {8, 440, 400, 32});
  Place(候选框, "候选框", {416, 440, 248, 32});
  候选框.SetAccessibleName("候选基金");
  Place(确认导入钮, "确认导入钮", "导入0行", {672, 440, 96, 32});
  Place(取消导入钮, "取消导入钮", "取消", {776, 440, 64, 32});
  Place(导入状态, "导入状态", "", {8, 480, 984, 32});
}

}  // namespace app
