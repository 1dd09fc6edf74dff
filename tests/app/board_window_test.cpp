#include "app/board_window.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace app {
namespace {

TEST(BoardWindowTest, PositionsMapOntoDistinctButtonsLaidOutInRowsOfNine) {
  BoardWindow window;
  const int lefts[9] = {10, 111, 211, 311, 411, 511, 611, 711, 811};
  std::set<int> numbers;
  for (int k = 1; k <= kBoardPositionCount; ++k) {
    const int n = BoardWindow::ButtonAt(k);
    numbers.insert(n);
    EXPECT_EQ(k, BoardWindow::PositionOf(n));
    ui::Button* button = window.PositionButton(k);
    ASSERT_NE(nullptr, button);
    EXPECT_EQ(window.按钮(n), button);
    EXPECT_EQ("按钮" + std::to_string(n), button->Name());
    EXPECT_EQ((ui::Rect{lefts[(k - 1) % 9], 8 + 40 * ((k - 1) / 9), 90, 38}), button->Geometry())
        << "position " << k;
    EXPECT_EQ(k <= 110, button->Visible()) << "position " << k;
    EXPECT_EQ(BoardWindow::DesignCaptionAt(k), button->Caption());
  }
  EXPECT_EQ(120u, numbers.size());
  for (int n = 112; n <= 115; ++n) {
    EXPECT_EQ(0u, numbers.count(n));
    EXPECT_EQ(0, BoardWindow::PositionOf(n));
  }
  EXPECT_EQ(0, BoardWindow::ButtonAt(0));
  EXPECT_EQ(nullptr, window.PositionButton(121));
  EXPECT_EQ(nullptr, window.按钮(125));
}

TEST(BoardWindowTest, SpotChecksOfTheMappingAndThePeriodButtons) {
  struct Case {
    int position;
    int button;
    const char* caption;
  };
  const Case cases[] = {{1, 1, "工程建设"},  {10, 18, "家电行业"},   {18, 10, "酿酒行业"},
                        {47, 53, "央视5_"},  {108, 100, "生物识别"}, {109, 109, "备用1"},
                        {111, 111, "备用3"}, {112, 116, "备用4"},    {120, 124, "备用12"}};
  for (const Case& c : cases) {
    EXPECT_EQ(c.button, BoardWindow::ButtonAt(c.position));
    EXPECT_STREQ(c.caption, BoardWindow::DesignCaptionAt(c.position));
  }
  BoardWindow window;
  EXPECT_EQ((ui::Rect{215, 576, 90, 40}), window.按钮112.Geometry());
  EXPECT_EQ((ui::Rect{515, 576, 90, 40}), window.按钮115.Geometry());
  EXPECT_EQ("近1年", window.按钮115.Caption());
  EXPECT_EQ(window.按钮(113), &window.按钮113);
}

TEST(BoardWindowTest, ClosingRestoresTheDesignCaptionsForTheNextCreation) {
  BoardWindow window;
  window.Show();
  window.PositionButton(1)->SetCaption("半导体 3.2%");
  window.PositionButton(120)->SetVisible(true);
  window.标签1.SetCaption("近3月板块涨跌幅排行");
  window.Close();
  EXPECT_EQ("工程建设", window.PositionButton(1)->Caption());
  EXPECT_FALSE(window.PositionButton(120)->Visible());
  EXPECT_EQ("", window.标签1.Caption());
}

}  // namespace
}  // namespace app
