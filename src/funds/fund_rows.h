#pragma once

// One fund record of the portal's FundGuide list written into one row of the fund grid.

#include <string_view>

#include "ui/grid.h"

namespace funds {

// A value within this of zero counts as zero.
inline constexpr double kZeroBand = 0.0000001;

// Text colours of the change columns.
constexpr ui::Colour kColourSilver = ui::Rgb(192, 192, 192);
constexpr ui::Colour kColourRed = ui::Rgb(255, 0, 0);
constexpr ui::Colour kColourGreen = ui::Rgb(0, 128, 0);
constexpr ui::Colour kColourBlue = ui::Rgb(0, 96, 192);

// Writes columns 0-13 of `row` from a comma-separated fund record. A record with fewer
// fields than the list format has fills the fields it has; missing fields read as empty.
void WriteFundRow(ui::Grid& grid, int row, std::string_view record);

// Colours columns 5-13 of the data rows first..last by the sign and size of their change.
void ColourChangeCells(ui::Grid& grid, int first_row, int last_row);

// The colour of one change value: silver for zero, red for gains, blue for gains above 50,
// green for losses.
ui::Colour ChangeColour(double value);

}  // namespace funds
