#pragma once

// 备份 and 恢复 of the positions window: the whole ledger (records, trades, plans, accounts,
// alert rules) written as one file into a folder the user picks, and a backup put in the
// ledger's place once it is checked and the user has seen what it holds. A backup is whole or
// not there at all; a restore changes nothing until the user agrees, and keeps the ledger it
// replaces beside it.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "app/app.h"
#include "base/date_time.h"
#include "positions/positions_store.h"
#include "positions/positions_view.h"

namespace positions {

inline constexpr char kBackupPrefix[] = "基金账本备份-";
inline constexpr char kBackedUpText[] = "已备份到";
inline constexpr char kBackupFailedText[] = "备份失败：";
inline constexpr char kNotBackupText[] = "不是本程序的备份文件";
inline constexpr char kNewerBackupText[] = "备份文件来自更新的版本";
inline constexpr char kDamagedBackupText[] = "备份文件已损坏";
inline constexpr char kUnreadableBackupText[] = "无法读取备份文件";
inline constexpr char kRestoreAskText[] = "恢复后将替换当前的持仓记录";
inline constexpr char kRestoredText[] = "已恢复备份，原持仓记录保存为";
inline constexpr char kRestoreFailedText[] = "恢复失败，持仓记录未改变";

// "yyyyMMdd-HHmmss" of `when`.
std::string StampText(const base::DateTime& when);
// "基金账本备份-yyyyMMdd-HHmmss.sqlite3".
std::string BackupFileName(const base::DateTime& when);

// Writes the whole ledger, as it stands at one moment, into `folder` as BackupFileName(when),
// readable by its owner alone: under a temporary name, synced, then renamed. The backup's path,
// or nothing with `error` set and no file left.
std::optional<std::filesystem::path> WriteBackup(PositionsStore& store,
                                                 const std::filesystem::path& folder,
                                                 const base::DateTime& when, std::string* error);

// What a backup holds; `accounts` when it keeps accounts.
struct BackupContents {
  std::optional<std::int64_t> accounts;
  std::int64_t records = 0;
  std::int64_t plans = 0;
  std::int64_t rules = 0;
  std::string newest_day;  // of its records, empty when it has none
};

// A backup checked and brought to this program's version: a private copy in a folder of its
// own beside the ledger, removed with this object unless it took the ledger's place.
class CheckedBackup {
 public:
  explicit CheckedBackup(std::filesystem::path folder) : folder_(std::move(folder)) {}
  ~CheckedBackup();
  CheckedBackup(const CheckedBackup&) = delete;
  CheckedBackup& operator=(const CheckedBackup&) = delete;

  const std::filesystem::path& Folder() const { return folder_; }
  std::filesystem::path File() const { return folder_ / "ledger.sqlite3"; }
  BackupContents contents;

 private:
  std::filesystem::path folder_;
};

// The backup at `backup` copied beside `ledger` and checked there, the user's file never
// changed: it must be sound (PRAGMA integrity_check), a ledger of this program (its version and
// tables) and not of a newer version; an older one is upgraded on the copy. Nothing, with
// `error` the text for the user, when it is refused.
std::unique_ptr<CheckedBackup> CheckBackup(const std::filesystem::path& backup,
                                           const std::filesystem::path& ledger, std::string* error);

// The question asked before a restore: what the backup holds.
std::string RestoreQuestion(const BackupContents& contents);

// The checked backup put in the ledger's place, the current file kept beside it as
// `<ledger>.bak-yyyyMMdd-HHmmss`; the kept file's path, nothing when the ledger is unchanged.
std::optional<std::filesystem::path> Restore(PositionsStore& store, CheckedBackup& checked,
                                             const base::DateTime& when);

// The handlers of 备份钮 and 恢复钮.
void InstallBackup(app::App& app, State& state);

}  // namespace positions
