#include "app/side_windows.h"

#include "app/design.h"

namespace app {

SideToolsWindow::SideToolsWindow() : ui::Window("SideToolsWindow", 617, 209) {
  for (ui::Control* control : std::initializer_list<ui::Control*>{
           &分组框1, &标签1, &小米账号框, &标签2, &小米密码框, &标签3, &目标步数框, &标签6,
           &分组框2, &标签5, &吾爱cookie框, &标签7, &标签4, &按钮1}) {
    Add(*control);
  }
  ApplyDesign();
}

void SideToolsWindow::ApplyDesign() {
  Place(分组框1, "分组框1", "微信/支付宝/QQ刷步", {8, 8, 208, 168});
  Place(标签1, "标签1", "小米账号：", {8, 24, 56, 32}, true, &分组框1);
  Place(小米账号框, "小米账号框", {72, 24, 112, 32}, true, &分组框1);
  Place(标签2, "标签2", "小米密码：", {8, 64, 56, 32}, true, &分组框1);
  Place(小米密码框, "小米密码框", {72, 64, 112, 32}, true, &分组框1);
  Place(标签3, "标签3", "目标步数：", {8, 104, 56, 32}, true, &分组框1);
  Place(目标步数框, "目标步数框", {72, 104, 112, 32}, true, &分组框1);
  Place(标签6, "标签6", "使用方法", {152, 144, 48, 16}, true, &分组框1);
  Place(分组框2, "分组框2", "吾爱签到", {224, 8, 384, 80});
  Place(标签5, "标签5", "吾爱cookie：", {8, 16, 64, 32}, true, &分组框2);
  Place(吾爱cookie框, "吾爱cookie框", {80, 16, 296, 32}, true, &分组框2);
  // Too far right to lie inside its group box, so it is placed on the window.
  Place(标签7, "标签7", "使用方法", {552, 64, 48, 16});
  Place(标签4, "标签4", "以上功能配置好后，软件启动自动执行", {272, 152, 208, 24});
  Place(按钮1, "按钮1", "保存配置", {528, 144, 80, 32});
  for (ui::EditBox* box : {&小米账号框, &小米密码框, &目标步数框, &吾爱cookie框}) {
    box->SetDesignText("");
    box->SetTextColour(0);
  }
}

SupportWindow::SupportWindow() : ui::Window("SupportWindow", 631, 376) {
  Add(图片框1);
  Add(图片框2);
  Add(标签1);
  ApplyDesign();
}

void SupportWindow::ApplyDesign() {
  Place(图片框1, "图片框1", {8, 8, 280, 296});
  图片框1.SetImage("support_left.jpg");
  Place(图片框2, "图片框2", {304, 8, 304, 296});
  图片框2.SetImage("support_right.jpg");
  Place(标签1, "标签1", "如果喜欢可以支持一下，感谢每一个支持我的人。", {40, 312, 512, 32});
}

}  // namespace app
