#pragma once

// The program's local cache: the last answer of each portal request that carried its marks, the
// profile columns today's full download has fetched so far, each fund's NAV history, and a few
// marks (how the day's last
// download ended). Everything here may be lost at any time: the cache is off when its file
// cannot be used (a full disk, a second copy of the program holding it), every read then finds
// nothing and every write does nothing. A write that fails (the file locked by another process
// beyond the busy wait, a full disk) turns it off for the rest of the run. A file the user may not
// change (read-only file, folder or mount) is read as it stands and every write does nothing. A
// damaged file is moved aside and a new one started. Any thread may call; one connection serves
// them in turn.

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "base/nav_history.h"
#include "store/database.h"

namespace store {

class Cache {
 public:
  // Nothing is opened before the first call that needs the file. An empty path is a cache that
  // is always off.
  explicit Cache(std::filesystem::path path);
  ~Cache();
  Cache(const Cache&) = delete;
  Cache& operator=(const Cache&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Opens the file when it is not open yet; false when the cache is off.
  bool Ready();

  // One stored answer: the values as text (the caller's form) and when the answer arrived, both
  // as the program shows a time (`arrived`) and as a sortable stamp (`stamp`, for pruning).
  struct Answer {
    std::string payload;
    std::string arrived;
    std::int64_t stamp = 0;
  };
  // Keeps `payload` as the one answer for `key` (a request URL), replacing the one before.
  bool SaveAnswer(std::string_view key, std::string_view payload, std::string_view arrived,
                  std::int64_t stamp);
  std::optional<Answer> LoadAnswer(std::string_view key);

  // A fund's details fetched on `day` (any text naming the calendar day), replacing those
  // stored for the same day and fund.
  bool SaveDetails(std::string_view day, std::string_view code, std::string_view payload);
  // Every fund's details stored for `day`, by fund code.
  std::map<std::string, std::string> LoadDetails(std::string_view day);
  // Removes the details of every day but `keep_day`; the answers stay.
  bool PruneDetails(std::string_view keep_day);

  // A fund's whole NAV history and when it arrived (as for an answer), kept in a compact form
  // under the fund's code, replacing the one before.
  struct KeptNavHistory {
    base::NavHistory history;
    std::string arrived;
    std::int64_t stamp = 0;
  };
  bool SaveNavHistory(std::string_view code, const base::NavHistory& history,
                      std::string_view arrived, std::int64_t stamp);
  // Nothing when none is kept for `code` or what is kept cannot be read.
  std::optional<KeptNavHistory> LoadNavHistory(std::string_view code);

  // Small values that must survive a restart, by name.
  bool SetMark(std::string_view name, std::string_view value);
  std::optional<std::string> Mark(std::string_view name);

  // Removes the answers whose stamp is below `stamp`.
  bool PruneAnswers(std::int64_t stamp);

  // Why the cache is off, when it is.
  std::string LastError();

 private:
  // With the lock held: the open database, or null when the cache is off.
  Database* OpenLocked();
  // With the lock held: the open database when it may be written, else null.
  Database* WritableLocked();
  // With the lock held: `written`; a failed write turns the cache off.
  bool WroteLocked(bool written);

  std::filesystem::path path_;
  std::mutex mutex_;
  std::unique_ptr<Database> database_;
  bool failed_ = false;  // the file could not be opened; not tried again this run
  std::string error_;
};

// A sortable stamp of a local date-time: YYYYMMDDhhmmss as a number.
std::int64_t TimeStamp(int year, int month, int day, int hour, int minute, int second);

// The local hour from which a trading day's NAV is out.
inline constexpr int kNavEveningHour = 20;

// Whether a kept NAV history still holds every NAV the portal can have, so that it is used
// without asking again (the user's 刷新 asks in any case). The portal publishes a trading day's
// NAV in that day's evening. So a history whose last point is `last_day` (YYYY-MM-DD), fetched
// at `fetched` (a local TimeStamp), is fresh at `now` unless there is a weekday evening after
// its last point's day that began (20:00 local time) after it was fetched and no later than
// now: then a NAV it lacks may be out. Weekdays stand for trading days, so on a holiday the
// history is asked once more in vain; at most once an evening. A history without a readable
// last day is never fresh.
bool NavHistoryFresh(std::string_view last_day, std::int64_t fetched, std::int64_t now);

}  // namespace store
