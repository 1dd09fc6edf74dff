#include "funds/holdings_overlap.h"

#include <algorithm>
#include <vector>

#include "base/text.h"
#include "funds/holding_columns.h"

namespace funds {

namespace {

constexpr long long kMillion = 1000000;

using Holdings = std::vector<portal::Holding>;

// The holdings a grid's rows show (rows 1 to kHoldingCount) that name a stock, by index.
std::vector<size_t> StockIndexes(const Holdings& holdings) {
  std::vector<size_t> indexes;
  for (size_t i = 0; i < holdings.size() && i < size_t{portal::kHoldingCount}; ++i) {
    if (!holdings[i].code.empty()) indexes.push_back(i);
  }
  return indexes;
}

// The first of `indexes` whose holding is stock `code`; nothing when there is none.
std::optional<size_t> IndexOf(const Holdings& holdings, const std::vector<size_t>& indexes,
                              const std::string& code) {
  const auto found = std::find_if(indexes.begin(), indexes.end(),
                                  [&](size_t i) { return holdings[i].code == code; });
  if (found == indexes.end()) return std::nullopt;
  return *found;
}

int RowOf(size_t index) { return static_cast<int>(index) + 1; }

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

void RefreshHoldingsOverlap(app::App& app, const FundDetail& detail) {
  app::MainWindow& main = app.main_window();
  ui::Grid& current = main.高级表格5;
  ui::Grid& compared = main.高级表格6;
  for (ui::Grid* grid : {&current, &compared}) {
    for (int row = 1; row < grid->RowCount(); ++row) ColourRow(*grid, row, ui::kDefaultTextColour);
  }
  const Holdings& mine = detail.current_holdings;
  const Holdings& theirs = detail.compared_holdings;
  const std::vector<size_t> my_stocks = StockIndexes(mine);
  const std::vector<size_t> their_stocks = StockIndexes(theirs);
  if (my_stocks.empty() || their_stocks.empty()) {
    main.重合标签.SetCaption("");
    return;
  }
  // A stock listed twice in a grid counts once, with its first share.
  int shared = 0;
  long long overlap = 0;
  for (size_t i : my_stocks) {
    const std::optional<size_t> other = IndexOf(theirs, their_stocks, mine[i].code);
    if (!other) continue;
    ColourRow(current, RowOf(i), kSharedStockColour);
    if (IndexOf(mine, my_stocks, mine[i].code) != i) continue;
    ++shared;
    overlap += std::min(ShareMillionths(mine[i].share).value_or(0),
                        ShareMillionths(theirs[*other].share).value_or(0));
  }
  for (size_t i : their_stocks) {
    if (IndexOf(mine, my_stocks, theirs[i].code)) ColourRow(compared, RowOf(i), kSharedStockColour);
  }
  main.重合标签.SetCaption(OverlapCaption(shared, overlap));
}

}  // namespace funds
