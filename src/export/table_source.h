#pragma once

#include <string_view>

namespace exporter {

// A table to write: row 0 is the header row. Texts are UTF-8 and must stay valid until the
// workbook has been built.
class TableSource {
 public:
  virtual ~TableSource() = default;
  virtual int RowCount() const = 0;
  virtual int ColumnCount() const = 0;
  virtual std::string_view Text(int row, int column) const = 0;
};

}  // namespace exporter
