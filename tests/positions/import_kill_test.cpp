// A file's rows imported by a real process killed at random moments: the ledger holds none of
// them or all of them, never a part; imported again to the end, every row is there once.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "ledger_import/layout.h"
#include "positions/kill_driver.h"
#include "positions/positions_store.h"
#include "support/temp_dir.h"

namespace {

using positions_test::WaitExit;

constexpr int kRows = 20000;

// Buys of this program's export, each with its own 交易号.
std::string ExportFile() {
  std::string text;
  for (const char* header : ledger_import::kExportHeader) text += std::string(header) + ",";
  text.back() = '\n';
  for (int i = 0; i < kRows; ++i) {
    const std::string code = "10000" + std::to_string(i % 5);
    text += "2021-0" + std::to_string(1 + i % 9) + "-1" + std::to_string(i % 10) + ",," + code +
            ",基金" + code + ",买入,,100.00,1.2345,0.00,T" + std::to_string(i) + ",\n";
  }
  return text;
}

pid_t Spawn(const std::filesystem::path& ledger, const std::filesystem::path& file) {
  return positions_test::SpawnDriver(IMPORT_DRIVER, {ledger.string(), file.string()});
}

size_t Held(const std::filesystem::path& ledger) {
  positions::PositionsStore store(ledger);
  const size_t records = store.Records().size();
  EXPECT_EQ(records, store.ImportedKeys().size());  // a row and its key go together
  return records;
}

TEST(ImportKillTest, AKilledImportLeavesNoRowOrEveryRowAndAgainAddsNothing) {
  test_support::TempDir dir;
  const std::filesystem::path file = dir.path() / "records.csv";
  test_support::WriteFileBytes(file, ExportFile());
  const std::filesystem::path clean = dir.path() / "clean.sqlite3";
  const auto started = std::chrono::steady_clock::now();
  ASSERT_EQ(0, WaitExit(Spawn(clean, file)));
  const auto took = std::chrono::steady_clock::now() - started;
  ASSERT_EQ(static_cast<size_t>(kRows), Held(clean));

  const auto ledger = [&](int run) {
    return dir.path() / ("run" + std::to_string(run) + ".sqlite3");
  };
  const int killed = positions_test::KillMidway(
      {took / 20, took, 3, 30, 20261210},
      [&](int run) {
        positions::PositionsStore(ledger(run)).Ready();
        return Spawn(ledger(run), file);
      },
      [&](int run) {
        const size_t held = Held(ledger(run));
        EXPECT_TRUE(held == 0 || held == static_cast<size_t>(kRows)) << held;
        ASSERT_EQ(0, WaitExit(Spawn(ledger(run), file)));
        EXPECT_EQ(static_cast<size_t>(kRows), Held(ledger(run)));
      });
  EXPECT_GE(killed, positions_test::kKilledMidway);
}

}  // namespace
