// A file's rows imported by a real process killed at random moments: the ledger holds none of
// them or all of them, never a part; imported again to the end, every row is there once.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "ledger_import/layout.h"
#include "positions/positions_store.h"
#include "support/temp_dir.h"

namespace {

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
  const std::string driver = IMPORT_DRIVER, where = ledger.string(), what = file.string();
  const pid_t child = ::fork();
  if (child == 0) {
    ::execl(driver.c_str(), driver.c_str(), where.c_str(), what.c_str(), nullptr);
    ::_exit(127);
  }
  return child;
}

int WaitExit(pid_t child) {
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

  // Killed at a random moment of the clean run's time; a run that ended before its kill (a
  // loaded machine runs at another pace) makes the next moments earlier, until three were killed.
  std::mt19937 random(20261210);
  int killed = 0;
  auto latest = took.count();
  for (int run = 0; run < 30 && killed < 3; ++run) {
    SCOPED_TRACE(run);
    const std::filesystem::path ledger = dir.path() / ("run" + std::to_string(run) + ".sqlite3");
    positions::PositionsStore(ledger).Ready();
    const pid_t driver = Spawn(ledger, file);
    std::this_thread::sleep_for(
        std::uniform_int_distribution<std::int64_t>(latest / 3, latest)(random) *
        decltype(took)(1));
    if (::waitpid(driver, nullptr, WNOHANG) == 0) {
      ++killed;
    } else {
      latest = std::max(took.count() / 20, latest * 7 / 10);
    }
    ::kill(driver, SIGKILL);
    WaitExit(driver);
    const size_t held = Held(ledger);
    EXPECT_TRUE(held == 0 || held == static_cast<size_t>(kRows)) << held;
    ASSERT_EQ(0, WaitExit(Spawn(ledger, file)));
    EXPECT_EQ(static_cast<size_t>(kRows), Held(ledger));
  }
  EXPECT_GE(killed, 3);
}

}  // namespace
