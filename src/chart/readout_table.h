#pragma once

#include <string>
#include <vector>

namespace chart {

// The texts the cursor read-out shows: row 1 holds the x title, the text colour and the
// dates; each later row a series name, its colour and its values. Rows and columns are
// 1-based; cells outside the table read as empty.
class ReadoutTable {
 public:
  int RowCount() const { return static_cast<int>(cells_.size()); }
  int ColumnCount() const { return columns_; }

  // Empties the table and gives it `rows` x `columns` empty cells.
  void Reset(int rows, int columns);
  // Adds empty rows and columns up to the given counts, keeping every cell.
  void Grow(int rows, int columns);

  const std::string& Cell(int row, int column) const;
  // Writing outside the table does nothing.
  void SetCell(int row, int column, std::string text);

 private:
  std::vector<std::vector<std::string>> cells_;
  int columns_ = 0;
};

}  // namespace chart
