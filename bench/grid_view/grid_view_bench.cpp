// Filling the fund grid with 20,000 funds (rows written and change cells coloured), once
// with no view and once with the main window shown (offscreen) and the grid in its table view,
// until the view has taken every change. Prints the ratio of the two medians.

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "funds/fund_table.h"
#include "ui/qt/window_view.h"

namespace {

constexpr int kFunds = 20000;
constexpr int kRuns = 9;

std::vector<portal::FundRecord> Records() {
  std::vector<portal::FundRecord> records;
  records.reserve(kFunds);
  for (int i = 0; i < kFunds; ++i) {
    const auto change = [i](int k) {
      const int v = (i * 37 + k * 101) % 2001 - 1000;
      return v % 7 == 0 ? std::string() : std::to_string(v / 10.0).substr(0, 6);
    };
    std::string r =
        std::to_string(100000 + i) + ",测试基金" + std::to_string(i) + "号混合,CSJJ,混合型";
    for (int k = 4; k <= 11; ++k) r += "," + change(k);
    r += ",,,,2021-08-20,1." + std::to_string(i % 9000 + 1000) + "," + change(17) + ",,";
    records.push_back(portal::CutFundRecord(r));
  }
  return records;
}

double FillSeconds(ui::Grid& grid, const std::vector<portal::FundRecord>& records, bool with_view) {
  grid.ResetToDesign();
  grid.SetRowCount(app::kFundGridDesignRows);
  if (with_view) QCoreApplication::processEvents();
  const auto start = std::chrono::steady_clock::now();
  grid.SetRowCount(kFunds + 1);
  for (int i = 0; i < kFunds; ++i) {
    funds::WriteFundRow(grid, i + 1, records[i]);
    funds::ColourChangeCells(grid, i + 1, records[i]);
  }
  if (with_view) QCoreApplication::processEvents();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication application(argc, argv);
  const std::vector<portal::FundRecord> records = Records();

  app::MainWindow bare;
  std::vector<double> without_view;
  for (int run = 0; run < kRuns; ++run)
    without_view.push_back(FillSeconds(bare.高级表格1, records, false));

  // The main window as the program shows it, with the fund grid in its table view.
  app::MainWindow shown;
  ui::WindowView view(shown);
  view.show();
  std::vector<double> with_view;
  for (int run = 0; run < kRuns; ++run)
    with_view.push_back(FillSeconds(shown.高级表格1, records, true));

  const double bare_s = Median(without_view);
  const double view_s = Median(with_view);
  std::printf("grid fill, %d rows x 24 columns, median of %d runs\n", kFunds, kRuns);
  std::printf("  without view: %.1f ms\n  with Qt view: %.1f ms\n", bare_s * 1e3, view_s * 1e3);
  std::printf("ratio with view / without view: %.2f (goal: at most 1.5)\n", view_s / bare_s);
  return 0;
}
