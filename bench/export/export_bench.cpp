// Writes a 20,000 x 24 fund grid with our exporter and with Perl's Spreadsheet::WriteExcel,
// both formatted the same way, and prints how many times faster ours is. Each side's best of
// several runs counts; both start with the table in memory and end with the file on disk.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "export/grid_export.h"
#include "support/recording_dialogs.h"
#include "ui/grid.h"

namespace {

constexpr int kRows = 20000;
constexpr int kColumns = 24;
constexpr int kOurRuns = 5;
constexpr int kPerlRuns = 3;

void FillGrid(ui::Grid& grid) {
  std::vector<ui::GridColumn> columns;
  for (int c = 0; c < kColumns; ++c) columns.push_back({"列" + std::to_string(c), 60});
  columns[0].header = "基金名称";
  columns[1].header = "基金代码";
  grid.SetDesign(columns, kRows + 1);
  for (int r = 1; r <= kRows; ++r) {
    char code[8];
    std::snprintf(code, sizeof code, "%06d", (r * 7919) % 1000000);
    grid.SetText(r, 0, "测试基金" + std::to_string(r % 4000) + "号混合A");
    grid.SetText(r, 1, code);
    grid.SetText(r, 2, r % 3 ? "混合型" : "债券型");
    grid.SetText(r, 3, "2021-08-0" + std::to_string(1 + r % 9));
    for (int c = 4; c < kColumns; ++c) {
      if ((r + c) % 11 == 0) continue;
      grid.SetText(r, c,
                   std::to_string((r * 31 + c * 17) % 2000 - 1000) + "." +
                       std::to_string((r + c) % 100) + (c >= 5 && c <= 13 ? "%" : ""));
    }
  }
}

void WriteTsv(const ui::Grid& grid, const std::filesystem::path& file) {
  std::ofstream out(file, std::ios::binary);
  for (int r = 0; r < grid.RowCount(); ++r) {
    for (int c = 0; c < grid.ColumnCount(); ++c) out << (c ? "\t" : "") << grid.Text(r, c);
    out << "\n";
  }
}

double PerlSeconds(const std::filesystem::path& tsv, const std::filesystem::path& xls) {
  const std::string command =
      "perl '" FUNDVIEW_BENCH_DIR "/write_excel.pl' '" + tsv.string() + "' '" + xls.string() + "'";
  double seconds = -1;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    if (std::fscanf(pipe, "%lf", &seconds) != 1) seconds = -1;
    if (pclose(pipe) != 0) seconds = -1;
  }
  return seconds;
}

}  // namespace

int main() {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() /
                                    ("fundview-export-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  ui::Grid grid;
  FillGrid(grid);
  WriteTsv(grid, dir / "grid.tsv");

  test_support::RecordingDialogs dialogs;
  double ours = 1e9;
  for (int i = 0; i < kOurRuns; ++i) {
    const auto start = std::chrono::steady_clock::now();
    if (!exporter::ExportGrid(nullptr, &grid, (dir / "ours.xls").string(), dialogs)) {
      std::fprintf(stderr, "export failed\n");
      return 1;
    }
    ours = std::min(
        ours, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  double perl = 1e9;
  for (int i = 0; i < kPerlRuns; ++i) {
    const double s = PerlSeconds(dir / "grid.tsv", dir / "perl.xls");
    if (s < 0) {
      std::fprintf(stderr, "perl baseline failed (Spreadsheet::WriteExcel installed?)\n");
      return 1;
    }
    perl = std::min(perl, s);
  }
  std::printf(
      "export of %d x %d cells: ours %.3f s (%ju bytes), Spreadsheet::WriteExcel %.3f s "
      "(%ju bytes)\n",
      kRows + 1, kColumns, ours, std::uintmax_t{std::filesystem::file_size(dir / "ours.xls")}, perl,
      std::uintmax_t{std::filesystem::file_size(dir / "perl.xls")});
  std::printf("ratio (WriteExcel time / our time): %.1f\n", perl / ours);
  if (!getenv("KEEP_BENCH_FILES")) std::filesystem::remove_all(dir);
  return 0;
}
