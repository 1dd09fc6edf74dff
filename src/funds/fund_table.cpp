#include "funds/fund_table.h"

#include "base/text.h"

namespace funds {

namespace {

// Grid column and record field of each change column, in the order they are written.
struct PercentColumn {
  FundColumn column;
  std::string portal::FundRecord::*field;
};
using R = portal::FundRecord;
constexpr PercentColumn kPercentColumns[] = {
    {FundColumn::kDayChange, &R::day_change},  {FundColumn::kWeek, &R::week},
    {FundColumn::kMonth, &R::month},           {FundColumn::kThreeMonths, &R::three_months},
    {FundColumn::kSixMonths, &R::six_months},  {FundColumn::kThisYear, &R::this_year},
    {FundColumn::kOneYear, &R::one_year},      {FundColumn::kTwoYears, &R::two_years},
    {FundColumn::kThreeYears, &R::three_years}};

constexpr int kStatisticColumns = 6;

}  // namespace

std::string_view SortCodeOfColumn(int column) {
  static constexpr std::string_view kCodes[] = {"r", "z", "1y", "3y", "6y", "jn", "1n", "2n", "3n"};
  return column >= Col(kFirstChangeColumn) && column <= Col(kLastChangeColumn)
             ? kCodes[column - Col(kFirstChangeColumn)]
             : std::string_view();
}

std::string FundCodeAt(const ui::Grid& grid, int row) {
  return grid.Text(row, Col(FundColumn::kCode));
}

std::string FundNameAt(const ui::Grid& grid, int row) {
  return grid.Text(row, Col(FundColumn::kName));
}

void WriteFundRow(ui::Grid& grid, int row, const portal::FundRecord& record) {
  grid.SetText(row, Col(FundColumn::kName), record.name);
  grid.SetText(row, Col(FundColumn::kCode), record.code);
  grid.SetText(row, Col(FundColumn::kType), record.type);
  grid.SetText(row, Col(FundColumn::kDate), record.nav_date);
  grid.SetText(row, Col(FundColumn::kNav), record.unit_nav);
  for (const PercentColumn& p : kPercentColumns) {
    const std::string& value = record.*p.field;
    grid.SetText(row, Col(p.column), value.empty() ? std::string("-") : value + "%");
  }
}

ui::Colour ChangeColour(double value) {
  if (value > 50 + kZeroBand) return kColourBlue;
  if (value > kZeroBand) return kColourRed;
  if (value < -kZeroBand) return kColourGreen;
  return kColourSilver;
}

void ColourChangeCells(ui::Grid& grid, int row, const portal::FundRecord& record) {
  // The cell shows the change followed by "%" (or "-" when empty); the leading number of either
  // is the change's own.
  for (const PercentColumn& p : kPercentColumns) {
    grid.SetTextColour(row, Col(p.column), ChangeColour(base::ToNumber(record.*p.field)));
  }
}

ui::Colour NavColour(std::string_view text) {
  return base::ToNumber(text) > kZeroBand ? kColourRed : kColourGreen;
}

ui::Colour PeriodColour(std::string_view text) {
  const double value = base::ToNumber(text);
  if (value <= kZeroBand) return kColourGreen;
  return value - 50 > kZeroBand ? kColourBlue : kColourRed;
}

void WriteSummaryRow(ui::Grid& grid, int row, const std::string& name, const std::string& code,
                     const portal::FundSummary& summary) {
  grid.SetText(row, Col(FundColumn::kName), name);
  grid.SetText(row, Col(FundColumn::kCode), code);
  grid.SetText(row, Col(FundColumn::kType), summary.fund_type);
  grid.SetText(row, Col(FundColumn::kDate), summary.nav_date);
  grid.SetText(row, Col(FundColumn::kNav), summary.unit_nav);
  grid.SetTextColour(row, Col(FundColumn::kNav), NavColour(summary.unit_nav));
  grid.SetText(row, Col(FundColumn::kDayChange), summary.day_change);
  grid.SetTextColour(row, Col(FundColumn::kDayChange), NavColour(summary.day_change));
  // The page's eight periods fill the columns after the day's change, 近1周 to 近3年.
  for (int i = 1; i <= 8; ++i) {
    const int column = Col(FundColumn::kDayChange) + i;
    grid.SetText(row, column, summary.periods[i - 1]);
    grid.SetTextColour(row, column, PeriodColour(summary.periods[i - 1]));
  }
}

void WriteFundSize(ui::Grid& grid, int row, const std::string& size) {
  grid.SetText(row, Col(FundColumn::kSize), size);
}

void WriteRating(ui::Grid& grid, int row, const std::string& rating) {
  grid.SetText(row, Col(FundColumn::kRating), rating);
}

void WriteManagerFigures(ui::Grid& grid, int row, const portal::ManagerFigures& manager) {
  grid.SetText(row, Col(FundColumn::kTenureReturn), manager.tenure_return);
  grid.SetText(row, Col(FundColumn::kTenure), manager.tenure);
}

void WriteStatistics(ui::Grid& grid, int row, const std::vector<std::string>& statistics) {
  for (size_t i = 0; i < statistics.size() && i < kStatisticColumns; ++i) {
    grid.SetText(row, Col(FundColumn::kStdDev1) + static_cast<int>(i), statistics[i]);
  }
}

ProfileColumns ProfileColumnsOf(const std::string& size, const std::string& rating,
                                const portal::ManagerFigures& manager,
                                const std::vector<std::string>& statistics) {
  ProfileColumns columns;
  const auto at = [&columns](FundColumn column) -> std::string& {
    return columns[static_cast<size_t>(Col(column) - Col(FundColumn::kSize))];
  };
  at(FundColumn::kSize) = size;
  at(FundColumn::kRating) = rating;
  at(FundColumn::kTenureReturn) = manager.tenure_return;
  at(FundColumn::kTenure) = manager.tenure;
  for (size_t i = 0; i < statistics.size() && i < kStatisticColumns; ++i) {
    columns[static_cast<size_t>(Col(FundColumn::kStdDev1) - Col(FundColumn::kSize)) + i] =
        statistics[i];
  }
  return columns;
}

void WriteProfileColumns(ui::Grid& grid, int row, const ProfileColumns& columns) {
  for (size_t i = 0; i < columns.size(); ++i) {
    grid.SetText(row, Col(FundColumn::kSize) + static_cast<int>(i), columns[i]);
  }
}

void CopyFundRow(const ui::Grid& funds, int from_row, ui::Grid& comparison, int to_row,
                 FundColumn first_coloured) {
  for (int column = 0; column < kFundColumnCount; ++column) {
    comparison.SetText(to_row, column, funds.Text(from_row, column));
    if (column >= Col(first_coloured)) {
      comparison.SetTextColour(to_row, column, funds.TextColour(from_row, column));
    }
  }
}

}  // namespace funds
