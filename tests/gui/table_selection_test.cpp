// The current row of a grid or list view and its table's selection agree, whichever side
// moves it: the user's click, rows deleted above it, the program's choice, a reset.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QTableView>
#include <QTest>
#include <vector>

#include "ui/grid.h"
#include "ui/list_view.h"
#include "ui/qt/control_view.h"

namespace ui {
namespace {

class TableSelectionTest : public ::testing::Test {
 protected:
  // Shows `control` in its table widget, with Qt's model tester watching the adapter.
  QTableView* Show(Control& control) {
    control.SetGeometry({0, 0, 240, 160});
    auto* table = qobject_cast<QTableView*>(ControlView::Create(control, &window_)->widget());
    tester_ = std::make_unique<QAbstractItemModelTester>(
        table->model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    window_.resize(300, 200);
    window_.show();
    QCoreApplication::processEvents();
    return table;
  }

  static void Click(QTableView* table, int view_row) {
    const QRect cell = table->visualRect(table->model()->index(view_row, 0));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  }

  // The rows the table shows selected, each also its current row.
  static std::vector<int> Selected(QTableView* table) {
    std::vector<int> rows;
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) {
      rows.push_back(index.row());
      EXPECT_EQ(index.row(), table->selectionModel()->currentIndex().row());
    }
    return rows;
  }

  // The models outlive the window, whose adapters detach from them when it goes.
  ListView list_;
  Grid grid_;
  QWidget window_;
  std::unique_ptr<QAbstractItemModelTester> tester_;
};

TEST_F(TableSelectionTest, ListSelectionStaysOnItsRowWhenRowsAboveItAreDeleted) {
  ListView& list = list_;
  list.SetColumns({{"代码", 80}});
  for (const char* code : {"A", "B", "C"}) list.SetText(list.InsertRow(), 0, code);
  QTableView* table = Show(list);
  Click(table, 1);
  ASSERT_EQ(1, list.CurrentRow());

  list.DeleteRow(0);
  for (int turn = 0; turn < 2; ++turn) {
    EXPECT_EQ(0, list.CurrentRow());
    EXPECT_EQ(std::vector<int>{0}, Selected(table));
    EXPECT_EQ("B", table->model()->index(0, 0).data().toString().toStdString());
    QCoreApplication::processEvents();
  }

  // The table would move on to a neighbour of a deleted current row; the list has none.
  list.DeleteRow(0);
  EXPECT_EQ(-1, list.CurrentRow());
  EXPECT_EQ(std::vector<int>{}, Selected(table));
  list.SetCurrentRow(0);
  EXPECT_EQ(std::vector<int>{0}, Selected(table));
  list.Clear();
  EXPECT_EQ(std::vector<int>{}, Selected(table));
}

TEST_F(TableSelectionTest, GridResetOrShrinkLeavesNoCurrentRowAndNoSelection) {
  Grid& grid = grid_;
  grid.SetDesign({{"名称", 100}}, 4);
  for (int row = 1; row <= 3; ++row) grid.SetText(row, 0, std::string(1, 'A' + row - 1));
  QTableView* table = Show(grid);
  Click(table, 1);
  ASSERT_EQ(2, grid.CurrentRow());

  grid.ResetToDesign();
  EXPECT_EQ(-1, grid.CurrentRow());
  EXPECT_EQ(std::vector<int>{}, Selected(table));
  QCoreApplication::processEvents();
  EXPECT_EQ(std::vector<int>{}, Selected(table));

  grid.SetCurrentRow(3);
  EXPECT_EQ(std::vector<int>{2}, Selected(table));
  grid.SetRowCount(3);
  EXPECT_EQ(-1, grid.CurrentRow());
  EXPECT_EQ(std::vector<int>{}, Selected(table));
  // The header row is not a row one can select.
  grid.SetCurrentRow(0);
  EXPECT_EQ(-1, grid.CurrentRow());
}

}  // namespace
}  // namespace ui
