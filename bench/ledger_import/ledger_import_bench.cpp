// A platform's bill of 10,000 lines in GBK (heading lines, buys, sales, closed trades and
// other purchases, the totals) written to a temporary file, then read from it, split into
// cells, its layout recognised and every row mapped into an import row or a reason; then each
// row made into what the ledger takes (its fund's code known) and the preview's grid filled
// with the rows. Prints the best time of five of each and its ratio to the budget of 1 s for a
// file to reach the preview.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <variant>

#include "base/encoding.h"
#include "ledger_import/layout.h"
#include "ledger_import/rows.h"
#include "ledger_import/text_table.h"
#include "positions/import.h"
#include "ui/grid.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kLines = 10'000;

std::string Bill() {
  std::string text =
      "支付宝交易记录明细查询\r\n账号:[someone@example.com]\r\n"
      "起始日期:[2020-01-01 00:00:00]    终止日期:[2024-01-01 00:00:00]\r\n"
      "---------------------------------交易记录明细列表------------------------------------\r\n"
      "交易号                  ,商家订单号               ,交易创建时间              ,付款时间     "
      "           ,最近修改时间              ,交易来源地     ,类型              ,交易对方      "
      "      ,商品名称                ,金额（元）   ,收/支     ,交易状态    ,服务费（元）   ,成功退"
      "款（元）  ,备注                  ,资金状态     ,\r\n";
  const char* funds[] = {"易方达蓝筹精选混合", "招商中证白酒指数A", "中欧医疗健康混合C",
                         "富国天惠成长混合A"};
  const int rows = kLines - 5 - 5;
  for (int i = 0; i < rows; ++i) {
    char line[512];
    const bool sale = i % 10 == 9;
    const bool closed = i % 25 == 24;
    const bool other = i % 40 == 39;
    std::snprintf(line, sizeof line,
                  "20%08d\t,M%d ,202%d-%02d-%02d %02d:%02d:%02d ,202%d-%02d-%02d 10:00:00 ,"
                  "202%d-%02d-%02d 10:00:00 ,其他 ,即时到账交易 ,某基金销售公司 ,%s%s%s ,%d.%02d ,"
                  "%s ,%s ,0.00 ,0.00 , ,%s ,\r\n",
                  i, i, i % 4, i % 12 + 1, i % 28 + 1, i % 24, i % 60, (i * 7) % 60, i % 4,
                  i % 12 + 1, i % 28 + 1, i % 4, i % 12 + 1, i % 28 + 1, other ? "" : "蚂蚁财富-",
                  other ? "日用品" : funds[i % 4],
                  other  ? ""
                  : sale ? "-卖出"
                         : "-买入",
                  100 + i % 900, i % 100, sale ? "收入" : "支出", closed ? "交易关闭" : "交易成功",
                  sale ? "已收入" : "已支出");
    text += line;
  }
  text +=
      "-----------------------------------------------------------------------------------\r\n"
      "共9990笔记录\r\n已收入:999笔,100000.00元\r\n已支出:8991笔,900000.00元\r\n导出时间:[2024-01-"
      "01]\r\n";
  return base::Utf8ToGbk(text);
}

}  // namespace

int main() {
  const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                     ("ledger_import_bench_" + std::to_string(getpid()) + ".csv");
  {
    std::ofstream out(file, std::ios::binary);
    out << Bill();
  }
  double best = 1e300, best_preview = 1e300;
  positions::ImportChoices choices;
  for (const char* name :
       {"易方达蓝筹精选混合", "招商中证白酒指数A", "中欧医疗健康混合C", "富国天惠成长混合A"}) {
    choices.codes[name] = "1" + std::to_string(choices.codes.size()) + "0011";
  }
  size_t lines = 0, rows = 0, reasons = 0;
  for (int run = 0; run < 5; ++run) {
    const auto start = Clock::now();
    std::ifstream in(file, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto table = ledger_import::ReadTextTable(bytes);
    if (!std::holds_alternative<ledger_import::Table>(table)) return 1;
    const auto& read = std::get<ledger_import::Table>(table);
    const ledger_import::Layout layout = ledger_import::Recognize(read);
    const auto mapped = ledger_import::ReadRows(read, layout, file.filename().string());
    const auto mapped_at = Clock::now();
    const std::chrono::duration<double, std::milli> spent = mapped_at - start;
    best = std::min(best, spent.count());
    ui::Grid grid(std::vector<ui::GridColumn>(13, ui::GridColumn{"列", 64}), 1);
    grid.SetRowCount(static_cast<int>(mapped.size()) + 1);
    int line = 0;
    for (const auto& row : mapped) {
      ++line;
      const auto* import_row = std::get_if<ledger_import::ImportRow>(&row);
      if (!import_row) {
        grid.SetText(line, 0, std::get<std::string>(row));
        continue;
      }
      const auto item = positions::ItemOf(*import_row, choices);
      grid.SetText(line, 0, item.index() == 0 ? "新增" : std::get<std::string>(item));
      grid.SetText(line, 1, import_row->day);
      grid.SetText(line, 2, import_row->time);
      grid.SetText(line, 4, import_row->name);
      for (int column = 5; column < 13; ++column) grid.SetText(line, column, import_row->key);
    }
    const std::chrono::duration<double, std::milli> previewed = Clock::now() - start;
    best_preview = std::min(best_preview, previewed.count());
    lines = read.rows.size();
    rows = static_cast<size_t>(std::count_if(mapped.begin(), mapped.end(), [](const auto& row) {
      return std::holds_alternative<ledger_import::ImportRow>(row);
    }));
    reasons = mapped.size() - rows;
  }
  std::filesystem::remove(file);
  std::printf("GBK bill of %d lines (%zu rows of cells): %zu import rows, %zu reasons\n", kLines,
              lines, rows, reasons);
  std::printf("read and mapped: %.2f ms, ratio to the 1 s budget %.3f (goal <= 1)\n", best,
              best / 1000.0);
  std::printf(
      "read, mapped and shown in the preview's grid: %.2f ms, ratio to the 1 s budget %.3f"
      " (goal <= 1)\n",
      best_preview, best_preview / 1000.0);
  return 0;
}
