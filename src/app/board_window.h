#pragma once

// The board window: 120 board positions in rows of nine, four period buttons and two labels.
// Buttons are numbered 1 to 124 by their design names; the board positions map onto them in
// a fixed, non-sequential order (rows after the first run right to left in numbering).

#include <array>

#include "ui/controls.h"
#include "ui/window.h"

namespace app {

inline constexpr int kBoardButtonCount = 124;
inline constexpr int kBoardPositionCount = 120;

class BoardWindow : public ui::Window {
  // First member, so the named references below can bind to its elements.
  std::array<ui::Button, kBoardButtonCount> buttons_;

 public:
  BoardWindow();

  // Button 按钮n, n from 1 to 124; null outside.
  ui::Button* 按钮(int n);
  // The button at board position k, k from 1 to 120; null outside.
  ui::Button* PositionButton(int k);
  // The board position (1 to 120) of button 按钮n, or 0 for a period button or outside.
  static int PositionOf(int button_number);
  // The button number at board position k, or 0 outside.
  static int ButtonAt(int position);
  // The design caption at board position k (a board name or "备用n").
  static const char* DesignCaptionAt(int position);

  ui::Button& 按钮112;  // period buttons
  ui::Button& 按钮113;
  ui::Button& 按钮114;
  ui::Button& 按钮115;
  ui::Label 标签1;  // the ranking title
  ui::Label 标签2;

 protected:
  void ApplyDesign() override;
};

}  // namespace app
