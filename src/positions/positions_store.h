#pragma once

// The ledger's file: every buy, sale and dividend as entered, the last figures each fund's main
// page gave, and the time of the last refresh. User data: nothing here is ever pruned. A damaged
// file is moved aside and every record still readable in it is copied into the new one, with
// a notice for the user kept until it has been shown. A file the user may not change is read
// as it stands and every write fails. A file of an older schema is copied beside itself as
// `<name>.bak-v<its version>` before it is upgraded; an upgrade is whole or not at all.

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "positions/ledger.h"
#include "positions/settle.h"
#include "store/database.h"

namespace positions {

// One row of a file to import: its key, and a record, a pending trade (with the message its
// line in 交易表格 shows until it confirms) or a plan; in the account named (made when there is
// none of that name), else in `account`.
struct ImportItem {
  std::string key;
  std::optional<Record> record;
  std::optional<Trade> trade;
  std::optional<Plan> plan;
  std::string message;
  std::string account_name;
  std::int64_t account = kDefaultAccount;
};
struct ImportCounts {
  bool written = false;
  int added = 0;
  int duplicates = 0;  // rows whose key was imported before
};

enum class AccountRemoval { kRemoved, kInUse, kFailed };

// Safe to use from any thread.
class PositionsStore {
 public:
  explicit PositionsStore(std::filesystem::path path) : path_(std::move(path)) {}

  // The schema version a file has once this store has opened it.
  static int SchemaVersion();

  const std::filesystem::path& Path() const { return path_; }
  // Opens the file when it is not open yet; false when it cannot be used now.
  bool Ready();
  // Open for reading only.
  bool ReadOnly();

  // Each write is one transaction; false when it did not reach the file.
  bool Add(const Record& record);
  // Every record and pending trade of the fund in `account` (0: in every account), and its
  // quote once no account holds a record of it.
  bool RemoveFund(const std::string& code, std::int64_t account = 0);
  // A new account of that name (the names are unique); its id, nothing when not saved.
  std::optional<std::int64_t> AddAccount(const std::string& name);
  bool RenameAccount(std::int64_t id, const std::string& name);
  // An account is removed only while no record, trade or plan is in it.
  AccountRemoval RemoveAccount(std::int64_t id);
  // A pending trade by its id; a record by its id, a record the program made being remembered
  // so that it is not made again.
  bool AddTrade(const Trade& trade);
  bool RemoveTrade(std::int64_t id);
  // The rows whose keys were not imported yet, with their keys, in one transaction: every one
  // or none (written false).
  ImportCounts Import(const std::vector<ImportItem>& items);
  // The keys of every row imported so far.
  std::set<std::string> ImportedKeys();
  bool RemoveRecord(const Record& record);
  // A new plan (id 0) or the plan of its id changed; the plan's id, nothing when not saved.
  std::optional<std::int64_t> SavePlan(const Plan& plan);
  bool RemovePlan(std::int64_t id);
  bool SaveDividendMode(const std::string& code, DividendMode mode);
  // What a settlement made, in one transaction.
  bool Save(const Settlement& settlement);
  bool SaveQuote(const std::string& code, const Quote& quote);
  bool SaveRefreshTime(const std::string& text);

  // What the file holds; empty when it cannot be read.
  std::vector<Record> Records();
  // The records, trades, plans, removed records and dividend modes, with the number of writes
  // made through this store before it was read.
  Book ReadBook();
  // Settles the book against `histories` (settle.h) and saves what it made, round after round
  // until nothing more is made, with no other call in between; the book as it then stands.
  Book Settle(const std::map<std::string, base::NavHistory>& histories, std::string_view today);
  std::map<std::string, Quote> Quotes();
  std::string RefreshTime();

  // Runs `use` with the open file, one call at a time with the store's own: for the tables
  // another feature keeps in the ledger's file (the alert rules). False when the file cannot be
  // used now, else what `use` returned.
  bool Use(const std::function<bool(store::Database&)>& use);

  // The file replaced by `replacement`, a whole ledger in the same folder, with no other call in
  // between: the connection is closed (its write-ahead log folded into the file), the current
  // file kept as `kept` (a link, else a copy), `replacement` renamed over it and the file opened
  // again. False, the file as it was, when a step fails or the file may not be written.
  bool ReplaceWith(const std::filesystem::path& replacement, const std::filesystem::path& kept);

  // What the user is to be told about a damaged file found and mended ("持仓记录文件已损坏，
  // 已恢复n条记录，原文件保存为" + the moved file's name); empty when nothing is pending.
  std::string DamageNotice();
  // The notice has been shown: it is not given again.
  bool ForgetDamageNotice();

 private:
  // Copies the readable records of the damaged file at `moved` into the new file and keeps the
  // notice; the records keep their order.
  void Recover(const std::filesystem::path& moved);
  // Runs `write` in one transaction, committed when it gives true.
  bool Write(const std::function<bool(store::Database&)>& write);

  std::filesystem::path path_;
  // The store is used from the UI thread and from the loads' fetches on workers: one call at a
  // time (a call may open the file through Ready, hence recursive).
  std::recursive_mutex mutex_;
  std::unique_ptr<store::Database> database_;
  std::int64_t writes_ = 0;
};

}  // namespace positions
