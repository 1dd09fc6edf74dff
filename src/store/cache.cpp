#include "store/cache.h"

#include <chrono>

#include "store/nav_history_blob.h"

namespace store {

namespace {

const Migrations kMigrations = {
    "CREATE TABLE answers(key TEXT PRIMARY KEY, payload TEXT NOT NULL, arrived TEXT NOT NULL,"
    " stamp INTEGER NOT NULL);"
    "CREATE INDEX answers_by_stamp ON answers(stamp);"
    "CREATE TABLE details(day TEXT NOT NULL, code TEXT NOT NULL, payload TEXT NOT NULL,"
    " PRIMARY KEY(day, code));"
    "CREATE TABLE marks(name TEXT PRIMARY KEY, value TEXT NOT NULL);",
    // One row per fund: its NAV history in the compact form of nav_history_blob.h.
    "CREATE TABLE nav_histories(code TEXT PRIMARY KEY, history BLOB NOT NULL,"
    " arrived TEXT NOT NULL, stamp INTEGER NOT NULL);",
};

// A cache write may be lost with a power cut; it must not make the UI thread wait for the disk.
constexpr const char* kCachePragmas = "PRAGMA synchronous=NORMAL; PRAGMA busy_timeout=200;";

}  // namespace

Cache::Cache(std::filesystem::path path) : path_(std::move(path)) {}

Cache::~Cache() = default;

Database* Cache::OpenLocked() {
  if (database_) return database_.get();
  if (failed_ || path_.empty()) return nullptr;
  OpenResult opened = Database::Open(path_, kMigrations);
  if (!opened.database) {
    failed_ = true;
    error_ = opened.error.empty() ? "cannot open " + path_.string() : opened.error;
    return nullptr;
  }
  // A read-only file keeps the journal settings it has; changing them would be a write.
  if (!opened.database->ReadOnly()) opened.database->Execute(kCachePragmas);
  database_ = std::move(opened.database);
  return database_.get();
}

Database* Cache::WritableLocked() {
  Database* database = OpenLocked();
  return database && !database->ReadOnly() ? database : nullptr;
}

bool Cache::WroteLocked(bool written) {
  if (written) return true;
  // Each later write would wait out the busy timeout again, on a worker that holds the lock
  // every other caller waits for.
  database_.reset();
  failed_ = true;
  error_ = "cannot write " + path_.string();
  return false;
}

bool Cache::Ready() {
  const std::lock_guard lock(mutex_);
  return OpenLocked() != nullptr;
}

bool Cache::SaveAnswer(std::string_view key, std::string_view payload, std::string_view arrived,
                       std::int64_t stamp) {
  const std::lock_guard lock(mutex_);
  Database* database = WritableLocked();
  if (!database) return false;
  Statement statement = database->Prepare(
      "INSERT OR REPLACE INTO answers(key, payload, arrived, stamp) VALUES(?, ?, ?, ?)");
  statement.Bind(1, key).Bind(2, payload).Bind(3, arrived).Bind(4, stamp);
  return WroteLocked(statement.Run());
}

std::optional<Cache::Answer> Cache::LoadAnswer(std::string_view key) {
  const std::lock_guard lock(mutex_);
  Database* database = OpenLocked();
  if (!database) return std::nullopt;
  Statement statement =
      database->Prepare("SELECT payload, arrived, stamp FROM answers WHERE key = ?");
  statement.Bind(1, key);
  if (!statement.Step()) return std::nullopt;
  return Answer{statement.Text(0), statement.Text(1), statement.Int(2)};
}

bool Cache::SaveDetails(std::string_view day, std::string_view code, std::string_view payload) {
  const std::lock_guard lock(mutex_);
  Database* database = WritableLocked();
  if (!database) return false;
  Statement statement =
      database->Prepare("INSERT OR REPLACE INTO details(day, code, payload) VALUES(?, ?, ?)");
  statement.Bind(1, day).Bind(2, code).Bind(3, payload);
  return WroteLocked(statement.Run());
}

std::map<std::string, std::string> Cache::LoadDetails(std::string_view day) {
  const std::lock_guard lock(mutex_);
  std::map<std::string, std::string> details;
  Database* database = OpenLocked();
  if (!database) return details;
  Statement statement = database->Prepare("SELECT code, payload FROM details WHERE day = ?");
  statement.Bind(1, day);
  while (statement.Step()) details[statement.Text(0)] = statement.Text(1);
  // A read cut short by an error gives nothing rather than a part taken for the whole.
  if (statement.Failed()) details.clear();
  return details;
}

bool Cache::PruneDetails(std::string_view keep_day) {
  const std::lock_guard lock(mutex_);
  Database* database = WritableLocked();
  if (!database) return false;
  Statement statement = database->Prepare("DELETE FROM details WHERE day <> ?");
  statement.Bind(1, keep_day);
  return WroteLocked(statement.Run());
}

bool Cache::SaveNavHistory(std::string_view code, const base::NavHistory& history,
                           std::string_view arrived, std::int64_t stamp) {
  // Encoded before the lock: other callers need not wait for it.
  const std::string bytes = EncodeNavHistory(history);
  const std::lock_guard lock(mutex_);
  Database* database = WritableLocked();
  if (!database) return false;
  Statement statement = database->Prepare(
      "INSERT OR REPLACE INTO nav_histories(code, history, arrived, stamp) VALUES(?, ?, ?, ?)");
  statement.Bind(1, code).BindBytes(2, bytes).Bind(3, arrived).Bind(4, stamp);
  return WroteLocked(statement.Run());
}

std::optional<Cache::KeptNavHistory> Cache::LoadNavHistory(std::string_view code) {
  std::string bytes, arrived;
  std::int64_t stamp = 0;
  {
    const std::lock_guard lock(mutex_);
    Database* database = OpenLocked();
    if (!database) return std::nullopt;
    Statement statement =
        database->Prepare("SELECT history, arrived, stamp FROM nav_histories WHERE code = ?");
    statement.Bind(1, code);
    if (!statement.Step()) return std::nullopt;
    bytes = statement.Bytes(0);
    arrived = statement.Text(1);
    stamp = statement.Int(2);
  }
  std::optional<base::NavHistory> history = DecodeNavHistory(bytes);
  if (!history) return std::nullopt;
  return KeptNavHistory{std::move(*history), std::move(arrived), stamp};
}

bool Cache::SetMark(std::string_view name, std::string_view value) {
  const std::lock_guard lock(mutex_);
  Database* database = WritableLocked();
  if (!database) return false;
  Statement statement = database->Prepare("INSERT OR REPLACE INTO marks(name, value) VALUES(?, ?)");
  statement.Bind(1, name).Bind(2, value);
  return WroteLocked(statement.Run());
}

std::optional<std::string> Cache::Mark(std::string_view name) {
  const std::lock_guard lock(mutex_);
  Database* database = OpenLocked();
  if (!database) return std::nullopt;
  Statement statement = database->Prepare("SELECT value FROM marks WHERE name = ?");
  statement.Bind(1, name);
  if (!statement.Step()) return std::nullopt;
  return statement.Text(0);
}

bool Cache::PruneAnswers(std::int64_t stamp) {
  const std::lock_guard lock(mutex_);
  Database* database = WritableLocked();
  if (!database) return false;
  Statement statement = database->Prepare("DELETE FROM answers WHERE stamp < ?");
  statement.Bind(1, stamp);
  return WroteLocked(statement.Run());
}

std::string Cache::LastError() {
  const std::lock_guard lock(mutex_);
  return error_;
}

std::int64_t TimeStamp(int year, int month, int day, int hour, int minute, int second) {
  return ((((static_cast<std::int64_t>(year) * 100 + month) * 100 + day) * 100 + hour) * 100 +
          minute) *
             100 +
         second;
}

bool NavHistoryFresh(std::string_view last_day, std::int64_t fetched, std::int64_t now) {
  const std::optional<std::int32_t> last = base::DayNumber(last_day);
  if (!last) return false;
  using std::chrono::days;
  using std::chrono::sys_days;
  const std::int64_t now_date = now / 1'000'000;
  const std::chrono::year_month_day today{
      std::chrono::year(static_cast<int>(now_date / 10000)),
      std::chrono::month(static_cast<unsigned>(now_date / 100 % 100)),
      std::chrono::day(static_cast<unsigned>(now_date % 100))};
  if (!today.ok()) return false;
  // The latest weekday evening that has begun by now.
  sys_days evening = sys_days(today);
  if (now % 1'000'000 < std::int64_t{kNavEveningHour} * 10000) evening -= days(1);
  while (std::chrono::weekday(evening) == std::chrono::Saturday ||
         std::chrono::weekday(evening) == std::chrono::Sunday) {
    evening -= days(1);
  }
  if (evening.time_since_epoch().count() <= *last) return true;
  const std::chrono::year_month_day date(evening);
  return fetched >= TimeStamp(static_cast<int>(date.year()),
                              static_cast<int>(unsigned(date.month())),
                              static_cast<int>(unsigned(date.day())), kNavEveningHour, 0, 0);
}

}  // namespace store
