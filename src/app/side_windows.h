#pragma once

// The two small windows: the side-tools settings window and the support window.

#include "ui/controls.h"
#include "ui/edit_box.h"
#include "ui/window.h"

namespace app {

class SideToolsWindow : public ui::Window {
 public:
  SideToolsWindow();

  ui::GroupBox 分组框1;  // step posting
  ui::Label 标签1;
  ui::EditBox 小米账号框;
  ui::Label 标签2;
  ui::EditBox 小米密码框;
  ui::Label 标签3;
  ui::EditBox 目标步数框;
  ui::Label 标签6;       // usage hint of the step tool
  ui::GroupBox 分组框2;  // forum sign-in
  ui::Label 标签5;
  ui::EditBox 吾爱cookie框;
  ui::Label 标签7;  // usage hint of the cookie
  ui::Label 标签4;
  ui::Button 按钮1;  // save the settings

 protected:
  void ApplyDesign() override;
};

class SupportWindow : public ui::Window {
 public:
  SupportWindow();

  ui::PictureBox 图片框1;
  ui::PictureBox 图片框2;
  ui::Label 标签1;

 protected:
  void ApplyDesign() override;
};

}  // namespace app
