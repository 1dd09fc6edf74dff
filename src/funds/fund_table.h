#pragma once

// The fund grid 高级表格1 and its copies in the comparison grid 高级表格2: the 24 columns and
// every write the fund features make into them. Nothing else names a column by its number.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "app/fund_columns.h"
#include "portal/fund_list.h"
#include "portal/fund_page.h"
#include "portal/fund_profile.h"
#include "ui/grid.h"

namespace funds {

// The columns in grid order, with the header texts of the design.
// The 24 columns, in grid order; the grids' headers are laid out from the same enum.
using app::Col;
using app::FundColumn;
using app::kFundColumnCount;

// The change columns of a list record, kDayChange..kThreeYears, and the sort code of each.
inline constexpr FundColumn kFirstChangeColumn = FundColumn::kDayChange;
inline constexpr FundColumn kLastChangeColumn = FundColumn::kThreeYears;
// The sort code of a header click on `column`; empty for a column that is no change column.
std::string_view SortCodeOfColumn(int column);

// A value within this of zero counts as zero.
inline constexpr double kZeroBand = 0.0000001;

// Text colours of the change columns.
constexpr ui::Colour kColourSilver = ui::Rgb(192, 192, 192);
constexpr ui::Colour kColourRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kColourGreen = ui::Rgb(0, 128, 0);
constexpr ui::Colour kColourBlue = ui::Rgb(0, 96, 192);

// The fund shown in `row`.
std::string FundCodeAt(const ui::Grid& grid, int row);
std::string FundNameAt(const ui::Grid& grid, int row);

// A list record: writes columns 0-13 of `row`; an empty change shows "-".
void WriteFundRow(ui::Grid& grid, int row, const portal::FundRecord& record);

// Colours the change columns of `row` by the sign and size of the record's changes: the leading
// number of each (an empty or non-numeric change counts as 0).
void ColourChangeCells(ui::Grid& grid, int row, const portal::FundRecord& record);

// The colour of one change value: silver for zero, red for gains, blue for gains above 50,
// green for losses.
ui::Colour ChangeColour(double value);

// Text colours of the summary row: no silver band, so zero and empty values are green.
ui::Colour NavColour(std::string_view text);     // red above zero
ui::Colour PeriodColour(std::string_view text);  // blue above 50, red above zero

// The page summary row: name, code and the main page's values in columns 0-13, coloured.
void WriteSummaryRow(ui::Grid& grid, int row, const std::string& name, const std::string& code,
                     const portal::FundSummary& summary);

// The profile columns 14-23, one page's worth each.
void WriteFundSize(ui::Grid& grid, int row, const std::string& size);
void WriteRating(ui::Grid& grid, int row, const std::string& rating);
void WriteManagerFigures(ui::Grid& grid, int row, const portal::ManagerFigures& manager);
void WriteStatistics(ui::Grid& grid, int row, const std::vector<std::string>& statistics);

// The profile columns 14-23 of one fund as texts, in column order: what the four writes above
// put into a row, in a form that can be kept and written back whole.
inline constexpr int kProfileColumnCount = kFundColumnCount - Col(FundColumn::kSize);
using ProfileColumns = std::array<std::string, kProfileColumnCount>;
ProfileColumns ProfileColumnsOf(const std::string& size, const std::string& rating,
                                const portal::ManagerFigures& manager,
                                const std::vector<std::string>& statistics);
void WriteProfileColumns(ui::Grid& grid, int row, const ProfileColumns& columns);

// Copies every column of `from_row` of the fund grid into `to_row` of the comparison grid, with
// the text colours from column `first_coloured` on.
void CopyFundRow(const ui::Grid& funds, int from_row, ui::Grid& comparison, int to_row,
                 FundColumn first_coloured);

}  // namespace funds
