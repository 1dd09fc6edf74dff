#include "funds/holdings_overlap.h"

#include <algorithm>
#include <vector>

#include "base/text.h"
#include "funds/holding_columns.h"

namespace funds {

namespace {

constexpr int kCodeColumn = Col(HoldingColumn::kCode);
constexpr int kShareColumn = Col(HoldingColumn::kShare);
constexpr long long kMillion = 1000000;

// The data rows of a holdings grid that hold a stock code.
std::vector<int> StockRows(const ui::Grid& grid) {
  std::vector<int> rows;
  for (int row = 1; row < grid.RowCount(); ++row) {
    if (!grid.Text(row, kCodeColumn).empty()) rows.push_back(row);
  }
  return rows;
}

int RowOf(const ui::Grid& grid, const std::vector<int>& rows, const std::string& code) {
  const auto found = std::find_if(rows.begin(), rows.end(),
                                  [&](int row) { return grid.Text(row, kCodeColumn) == code; });
  return found == rows.end() ? -1 : *found;
}

void ColourRow(ui::Grid& grid, int row, ui::Colour colour) {
  grid.SetTextColour(row, 0, row, kHoldingColumnCount - 1, colour);
}

}  // namespace

std::optional<long long> ShareMillionths(std::string_view text) {
  const std::string trimmed = base::TrimBlanks(text);
  text = trimmed;
  if (!text.empty() && text.back() == '%') text.remove_suffix(1);
  long long whole = 0, fraction = 0, scale = kMillion;
  bool digits = false, point = false;
  for (char c : text) {
    if (c == '.' && !point) {
      point = true;
    } else if (c >= '0' && c <= '9') {
      digits = true;
      if (!point) {
        if (whole > 1000000) return std::nullopt;  // no share is that large
        whole = whole * 10 + (c - '0');
      } else if (scale > 1) {
        scale /= 10;
        fraction += (c - '0') * scale;
      }
    } else {
      return std::nullopt;
    }
  }
  if (!digits) return std::nullopt;
  return whole * kMillion + fraction;
}

std::string OverlapCaption(int shared, long long overlap_millionths) {
  // Half away from zero at the second decimal; the sum is never negative.
  const long long hundredths = (overlap_millionths + kMillion / 200) / (kMillion / 100);
  std::string fraction = base::IntToText(hundredths % 100);
  if (fraction.size() < 2) fraction.insert(0, "0");
  return "重合" + base::IntToText(shared) + "只，重合度" + base::IntToText(hundredths / 100) + "." +
         fraction + "%";
}

void RefreshHoldingsOverlap(app::App& app) {
  app::MainWindow& main = app.main_window();
  ui::Grid& current = main.高级表格5;
  ui::Grid& compared = main.高级表格6;
  for (ui::Grid* grid : {&current, &compared}) {
    for (int row = 1; row < grid->RowCount(); ++row) ColourRow(*grid, row, ui::kDefaultTextColour);
  }
  const std::vector<int> current_rows = StockRows(current);
  const std::vector<int> compared_rows = StockRows(compared);
  if (current_rows.empty() || compared_rows.empty()) {
    main.重合标签.SetCaption("");
    return;
  }
  // A stock listed twice in a grid counts once, with its first share.
  int shared = 0;
  long long overlap = 0;
  for (int row : current_rows) {
    const std::string code = current.Text(row, kCodeColumn);
    const int other = RowOf(compared, compared_rows, code);
    if (other < 0) continue;
    ColourRow(current, row, kSharedStockColour);
    if (RowOf(current, current_rows, code) != row) continue;
    ++shared;
    const std::optional<long long> mine = ShareMillionths(current.Text(row, kShareColumn));
    const std::optional<long long> theirs = ShareMillionths(compared.Text(other, kShareColumn));
    overlap += std::min(mine.value_or(0), theirs.value_or(0));
  }
  for (int row : compared_rows) {
    if (RowOf(current, current_rows, compared.Text(row, kCodeColumn)) >= 0) {
      ColourRow(compared, row, kSharedStockColour);
    }
  }
  main.重合标签.SetCaption(OverlapCaption(shared, overlap));
}

}  // namespace funds
