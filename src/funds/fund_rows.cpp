#include "funds/fund_rows.h"

#include <string>
#include <vector>

#include "base/text.h"

namespace funds {

namespace {

// Grid column and record field of each change column, in the order they are written.
struct PercentColumn {
  int column;
  size_t field;
};
constexpr PercentColumn kPercentColumns[] = {{5, 17}, {6, 5},  {7, 6},   {8, 7},  {9, 8},
                                             {10, 4}, {11, 9}, {12, 10}, {13, 11}};

// A field the record does not have reads as empty, so the split's dropping of an empty last
// field changes nothing.
const std::string& Field(const std::vector<std::string>& fields, size_t index) {
  static const std::string kEmpty;
  return index < fields.size() ? fields[index] : kEmpty;
}

}  // namespace

void WriteFundRow(ui::Grid& grid, int row, std::string_view record) {
  const std::vector<std::string> fields = base::Split(record, ",");
  grid.SetText(row, 0, Field(fields, 1));
  grid.SetText(row, 1, Field(fields, 0));
  grid.SetText(row, 2, Field(fields, 3));
  grid.SetText(row, 3, Field(fields, 15));
  grid.SetText(row, 4, Field(fields, 16));
  for (const PercentColumn& p : kPercentColumns) {
    const std::string& value = Field(fields, p.field);
    grid.SetText(row, p.column, value.empty() ? std::string("-") : value + "%");
  }
}

ui::Colour ChangeColour(double value) {
  if (value > 50 + kZeroBand) return kColourBlue;
  if (value > kZeroBand) return kColourRed;
  if (value < -kZeroBand) return kColourGreen;
  return kColourSilver;
}

void ColourChangeCells(ui::Grid& grid, int first_row, int last_row) {
  for (int row = first_row; row <= last_row; ++row) {
    for (int column = 5; column <= 13; ++column) {
      grid.SetTextColour(row, column, ChangeColour(base::ToNumber(grid.Text(row, column))));
    }
  }
}

}  // namespace funds
