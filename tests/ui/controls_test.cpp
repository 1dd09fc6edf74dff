#include "ui/controls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/edit_box.h"
#include "ui/grid.h"
#include "ui/list_view.h"
#include "ui/menu.h"

namespace ui {
namespace {

class CountingObserver : public ControlObserver {
 public:
  void ControlChanged() override { ++changes; }
  void ControlRaised() override { ++raises; }
  int changes = 0;
  int raises = 0;
};

TEST(ControlsTest, CheckBoxClickFlipsBeforeTheHandlerButProgramSetsAreSilent) {
  CheckBox box;
  std::vector<bool> seen;
  box.on_click = [&] { seen.push_back(box.Checked()); };
  box.Click();
  box.Click();
  box.SetChecked(true);
  EXPECT_EQ(std::vector<bool>({true, false}), seen);
  EXPECT_TRUE(box.Checked());

  box.SetEnabled(false);
  box.Click();
  EXPECT_EQ(2u, seen.size());
  EXPECT_TRUE(box.Checked());
}

TEST(ControlsTest, RadioBoxesOfOneGroupExcludeEachOther) {
  RadioBox a, b, c, lone;
  RadioBox::Group({&a, &b, &c});
  int clicks = 0;
  b.on_click = [&] { ++clicks; };
  a.SetChecked(true);
  lone.SetChecked(true);
  b.Click();
  EXPECT_EQ(1, clicks);
  EXPECT_FALSE(a.Checked());
  EXPECT_TRUE(b.Checked());
  EXPECT_FALSE(c.Checked());
  EXPECT_TRUE(lone.Checked());
  c.SetChecked(true);
  EXPECT_FALSE(b.Checked());
  c.SetChecked(false);
  EXPECT_FALSE(a.Checked() || b.Checked() || c.Checked());
}

TEST(ControlsTest, DisabledButtonIgnoresClicksAndChangesReachTheObserverOnce) {
  Button button;
  CountingObserver observer;
  button.SetControlObserver(&observer);
  int clicks = 0;
  button.on_click = [&] { ++clicks; };
  button.Click();
  button.SetEnabled(false);
  button.Click();
  EXPECT_EQ(1, clicks);

  button.SetCaption("x");
  button.SetCaption("x");
  button.SetGeometry({1, 2, 3, 4});
  button.SetHeight(4);
  button.SetHeight(9);
  button.Raise();
  EXPECT_EQ((Rect{1, 2, 3, 9}), button.Geometry());
  EXPECT_EQ(4, observer.changes);  // enabled, caption, geometry, height
  EXPECT_EQ(1, observer.raises);
}

TEST(ControlsTest, EditBoxRaisesChangedForEveryTextChangeButNotForItsDesignText) {
  EditBox box;
  std::vector<std::string> seen;
  box.on_changed = [&] { seen.push_back(box.Text()); };
  box.SetDesignText("hint");
  box.SetText("");
  box.SetText("");
  box.SetText("00");
  EXPECT_EQ(std::vector<std::string>({"", "00"}), seen);
  int focus = 0;
  box.on_focus = [&] { ++focus; };
  box.FocusGained();
  EXPECT_EQ(1, focus);
}

TEST(ControlsTest, ListViewRowsAndSelectionFollowInsertsAndDeletes) {
  ListView list;
  list.SetColumns({{"a", 10}, {"b", 20}});
  for (int i = 0; i < 3; ++i) {
    const int row = list.InsertRow();
    EXPECT_EQ(i, row);
    list.SetText(row, 0, std::to_string(i));
  }
  list.SetText(5, 0, "outside");
  list.SetText(0, 2, "outside");
  EXPECT_EQ("", list.Text(5, 0));
  EXPECT_EQ("", list.Text(0, 2));

  list.SetCurrentRow(2);
  list.DeleteRow(0);
  EXPECT_EQ(2, list.RowCount());
  EXPECT_EQ(1, list.CurrentRow());
  EXPECT_EQ("1", list.Text(0, 0));
  list.DeleteRow(1);
  EXPECT_EQ(-1, list.CurrentRow());
  list.SetCurrentRow(7);
  EXPECT_EQ(-1, list.CurrentRow());
  list.Clear();
  EXPECT_EQ(0, list.RowCount());
}

// Writes down what a view of a grid or list view is told, in order.
class RecordingGridObserver : public GridObserver {
 public:
  void CellChanged(int row, int column) override { Log("cell", row, column); }
  void AllCellsChanged() override { told.push_back("all cells"); }
  void RowsInserted(int first, int count) override { Log("inserted", first, count); }
  void RowsRemoved(int first, int count) override { Log("removed", first, count); }
  void LayoutChanged() override { told.push_back("layout"); }
  void CurrentRowChanged(int row) override { told.push_back("current " + std::to_string(row)); }
  std::vector<std::string> told;

 private:
  void Log(const char* what, int a, int b) {
    told.push_back(std::string(what) + " " + std::to_string(a) + "," + std::to_string(b));
  }
};

TEST(ControlsTest, ViewsAreToldWhereRowsGoAndWhereTheCurrentRowWent) {
  ListView list;
  RecordingGridObserver list_view;
  list.SetObserver(&list_view);
  list.SetColumns({{"a", 10}});
  for (int i = 0; i < 3; ++i) list.InsertRow();
  list.SetCurrentRow(2);
  list.DeleteRow(1);
  list.Clear();
  EXPECT_EQ(std::vector<std::string>({"layout", "inserted 0,1", "inserted 1,1", "inserted 2,1",
                                      "current 2", "removed 1,1", "current 1", "removed 0,2",
                                      "current -1"}),
            list_view.told);

  Grid grid({{"h", 10}}, 3);
  RecordingGridObserver grid_view;
  grid.SetObserver(&grid_view);
  grid.SetRowCount(6);
  grid.SetCurrentRow(4);
  grid.SetCurrentRow(4);
  grid.SetRowCount(4);
  grid.SetCurrentRow(2);
  grid.ResetToDesign();
  EXPECT_EQ(std::vector<std::string>({"inserted 3,3", "current 4", "removed 4,2", "current -1",
                                      "current 2", "all cells", "current -1"}),
            grid_view.told);
}

TEST(ControlsTest, GridStartsWithoutSelectionAndResetKeepsRowsAndHeader) {
  Grid grid({{"h0", 10}, {"h1", 20}}, 3);
  EXPECT_EQ(-1, grid.CurrentRow());
  grid.SetRowCount(5);
  grid.SetText(4, 1, "x");
  grid.SetTextColour(1, 0, 4, 1, 0x0000ff);
  grid.SetCurrentRow(4);
  grid.ResetToDesign();
  EXPECT_EQ(-1, grid.CurrentRow());
  EXPECT_EQ(5, grid.RowCount());
  EXPECT_EQ("h1", grid.Text(0, 1));
  EXPECT_EQ("", grid.Text(4, 1));
  EXPECT_EQ(kDefaultTextColour, grid.TextColour(2, 0));
  EXPECT_EQ(ControlKind::kGrid, grid.Kind());
}

TEST(ControlsTest, MenuItemsKeepHandlersWhenCaptionsChangeAndChoiceRunsThem) {
  PopupMenu menu;
  menu.SetCaptions({"one", "two"});
  std::vector<int> chosen;
  menu.Item(0).on_click = [&] { chosen.push_back(0); };
  menu.FindItem("two")->on_click = [&] { chosen.push_back(1); };
  EXPECT_EQ(nullptr, menu.FindItem("three"));
  menu.SetCaptions({"one", "two"});
  menu.Popup();
  menu.Choose(1);
  menu.Choose(0);
  menu.Choose(5);
  EXPECT_EQ(std::vector<int>({1, 0}), chosen);
  EXPECT_EQ(1, menu.PopupCount());
}

}  // namespace
}  // namespace ui
