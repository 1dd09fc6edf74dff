#include "support/write_lock_holder.h"

#include <chrono>
#include <string>
#include <thread>

namespace test_support {

namespace {

// Says it holds the lock by creating the file argv[3], then waits for its input to end.
constexpr const char* kScript =
    "import sqlite3, sys\n"
    "c = sqlite3.connect(sys.argv[1], isolation_level=None, timeout=10)\n"
    "c.execute(\"BEGIN IMMEDIATE\")\n"
    "c.execute(\"INSERT INTO \" + sys.argv[2] + \" VALUES(?, ?)\", (\"lock holder\", \"x\"))\n"
    "open(sys.argv[3], \"w\").close()\n"
    "sys.stdin.read()\n";

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

}  // namespace

WriteLockHolder::WriteLockHolder(const std::filesystem::path& database, const char* table) {
  std::filesystem::path signal = database;
  signal += ".holding";
  std::filesystem::remove(signal);
  const std::string command = "/usr/bin/python3 -c " + Quoted(kScript) + " " +
                              Quoted(database.string()) + " " + table + " " +
                              Quoted(signal.string());
  process_ = ::popen(command.c_str(), "w");
  if (!process_) return;
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!std::filesystem::exists(signal) && std::chrono::steady_clock::now() < give_up) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  holding_ = std::filesystem::exists(signal);
  std::filesystem::remove(signal);
}

WriteLockHolder::~WriteLockHolder() {
  // The end of its input ends the process, which rolls its write back.
  if (process_) ::pclose(process_);
}

}  // namespace test_support
