// The item-model adapters of the grid and the list view: consistent under Qt's model tester,
// and a burst of changes reaches the view as one notification.

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QSignalSpy>
#include <string>

#include "ui/qt/table_models.h"

namespace ui {
namespace {

std::string Cell(const QAbstractItemModel& model, int row, int column) {
  return model.data(model.index(row, column)).toString().toStdString();
}

TEST(TableModelTest, GridRowsBelowTheHeaderAreTheViewRowsWithTextAndColour) {
  Grid grid({{"名称", 100}, {"代码", 50}}, 3);
  GridTableModel model(grid);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  grid.SetText(1, 0, "华夏成长");
  grid.SetText(2, 1, "000001");
  grid.SetTextColour(1, 0, Rgb(255, 0, 0));
  grid.SetText(0, 1, "基金代码");
  model.Flush();
  EXPECT_EQ(2, model.rowCount());
  EXPECT_EQ(2, model.columnCount());
  EXPECT_EQ("华夏成长", Cell(model, 0, 0));
  EXPECT_EQ("000001", Cell(model, 1, 1));
  EXPECT_EQ("基金代码", model.headerData(1, Qt::Horizontal).toString().toStdString());
  EXPECT_EQ(QColor(255, 0, 0),
            model.data(model.index(0, 0), Qt::ForegroundRole).value<QBrush>().color());
  EXPECT_FALSE(model.data(model.index(1, 1), Qt::ForegroundRole).isValid());
}

TEST(TableModelTest, ABurstOfChangesReachesTheViewAsOneSignalPerKind) {
  Grid grid({{"a", 10}, {"b", 10}, {"c", 10}}, 21);
  GridTableModel model(grid);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);

  grid.SetRowCount(20001);
  for (int r = 1; r <= 20000; ++r) {
    for (int c = 0; c < 3; ++c) grid.SetText(r, c, std::to_string(r * 10 + c));
  }
  // New rows arrive at once; no cell change reaches the view before the event loop turns.
  EXPECT_EQ(20000, model.rowCount());
  EXPECT_EQ(1, inserted.count());
  EXPECT_EQ(0, changed.count());
  QCoreApplication::processEvents();
  EXPECT_EQ(1, inserted.count());
  EXPECT_EQ(1, changed.count());
  EXPECT_EQ("199992", Cell(model, 19998, 2));

  grid.ResetToDesign();
  grid.SetRowCount(5);
  QCoreApplication::processEvents();
  EXPECT_EQ(4, model.rowCount());
  EXPECT_EQ(1, removed.count());
  EXPECT_EQ(2, changed.count());
  EXPECT_EQ("", Cell(model, 0, 0));
  EXPECT_EQ(0, reset.count());

  // A new design with other columns resets the view.
  grid.SetDesign({{"x", 10}}, 2);
  QCoreApplication::processEvents();
  EXPECT_EQ(1, reset.count());
  EXPECT_EQ(1, model.columnCount());
  EXPECT_EQ(1, model.rowCount());
}

TEST(TableModelTest, ListViewRowsFollowInsertsAndDeletesAfterTheTurn) {
  ListView list;
  list.SetColumns({{"序", 20}, {"代码", 40}});
  ListTableModel model(list);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  for (int i = 0; i < 3; ++i) {
    const int row = list.InsertRow();
    list.SetText(row, 0, std::to_string(row + 1));
  }
  QCoreApplication::processEvents();
  EXPECT_EQ(3, model.rowCount());
  EXPECT_EQ("代码", model.headerData(1, Qt::Horizontal).toString().toStdString());
  list.DeleteRow(0);
  list.SetText(0, 1, "600519");
  QCoreApplication::processEvents();
  EXPECT_EQ(2, model.rowCount());
  EXPECT_EQ("2", Cell(model, 0, 0));
  EXPECT_EQ("600519", Cell(model, 0, 1));
  list.Clear();
  QCoreApplication::processEvents();
  EXPECT_EQ(0, model.rowCount());
}

}  // namespace
}  // namespace ui
