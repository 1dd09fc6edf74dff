#include "funds/last_good.h"

#include <chrono>
#include <cmath>
#include <cstdint>
#include <limits>
#include <memory>
#include <nlohmann/json.hpp>
#include <utility>

#include "app/load.h"
#include "base/date_time.h"
#include "funds/download_resume.h"
#include "store/cache.h"

namespace funds {

namespace {

using Json = nlohmann::json;

constexpr std::string_view kNoteStart = "（离线数据 ";
constexpr std::string_view kNoteEnd = "）";
constexpr int kKeepDays = 30;

std::int64_t Stamp(const base::DateTime& when) {
  return store::TimeStamp(when.year, when.month, when.day, when.hour, when.minute, when.second);
}

// The values kept per kind. A reader throws (and the caller counts the value as missing) when a
// member is absent or of another type, so a damaged or foreign payload never reaches the grid.
Json ToJson(const std::string& text) { return text; }
void FromJson(const Json& json, std::string& text) { text = json.get<std::string>(); }

Json ToJson(const std::vector<std::string>& texts) { return texts; }
void FromJson(const Json& json, std::vector<std::string>& texts) {
  texts = json.get<std::vector<std::string>>();
}

// A count the answer did not hold is NaN, which JSON writes as null.
double CountFromJson(const Json& json) {
  return json.is_null() ? std::numeric_limits<double>::quiet_NaN() : json.get<double>();
}

// A page keeps its funds as arrays of the record's fields in record order under "funds"; a page
// kept as record texts under "records" (an earlier form) has no "funds" and so is not used.
Json ToJson(const portal::FundListPage& page) {
  Json funds = Json::array();
  for (const portal::FundRecord& record : page.records) {
    Json fields = Json::array();
    for (auto field : portal::kFundRecordFields) fields.push_back(record.*field);
    funds.push_back(std::move(fields));
  }
  return {
      {"funds", std::move(funds)}, {"all_pages", page.all_pages}, {"datacount", page.datacount}};
}
void FromJson(const Json& json, portal::FundListPage& page) {
  for (const Json& fund : json.at("funds").get<std::vector<Json>>()) {
    const auto fields = fund.get<std::vector<std::string>>();
    portal::FundRecord record;
    for (size_t i = 0; i < std::size(portal::kFundRecordFields); ++i) {
      record.*portal::kFundRecordFields[i] = fields.at(i);
    }
    page.records.push_back(std::move(record));
  }
  page.all_pages = CountFromJson(json.at("all_pages"));
  page.datacount = CountFromJson(json.at("datacount"));
  page.marked = true;  // only marked answers are kept
}

Json ToJson(const std::vector<portal::Board>& boards) {
  Json json = Json::array();
  for (const portal::Board& board : boards) json.push_back({board.name, board.code, board.yield});
  return json;
}
void FromJson(const Json& json, std::vector<portal::Board>& boards) {
  for (const Json& board : json.get<std::vector<Json>>()) {
    const auto fields = board.get<std::vector<std::string>>();
    boards.push_back({fields.at(0), fields.at(1), fields.at(2)});
  }
}

Json ToJson(const portal::FundSummary& summary) {
  return {{"type", summary.fund_type},
          {"date", summary.nav_date},
          {"nav", summary.unit_nav},
          {"day", summary.day_change},
          {"periods", summary.periods}};
}
void FromJson(const Json& json, portal::FundSummary& summary) {
  summary.fund_type = json.at("type").get<std::string>();
  summary.nav_date = json.at("date").get<std::string>();
  summary.unit_nav = json.at("nav").get<std::string>();
  summary.day_change = json.at("day").get<std::string>();
  const auto periods = json.at("periods").get<std::vector<std::string>>();
  for (size_t i = 0; i < std::size(summary.periods); ++i) summary.periods[i] = periods.at(i);
  summary.marked = true;
}

Json ToJson(const portal::ManagerFigures& manager) {
  return {{"return", manager.tenure_return}, {"tenure", manager.tenure}};
}
void FromJson(const Json& json, portal::ManagerFigures& manager) {
  manager.tenure_return = json.at("return").get<std::string>();
  manager.tenure = json.at("tenure").get<std::string>();
}

Json ToJson(const std::vector<portal::Holding>& holdings) {
  Json json = Json::array();
  for (const portal::Holding& holding : holdings) {
    json.push_back({holding.name, holding.code, holding.share});
  }
  return json;
}
void FromJson(const Json& json, std::vector<portal::Holding>& holdings) {
  for (const Json& holding : json.get<std::vector<Json>>()) {
    const auto fields = holding.get<std::vector<std::string>>();
    holdings.push_back({fields.at(0), fields.at(1), fields.at(2)});
  }
}

}  // namespace

template <class T>
std::optional<T> DecodeStored(std::string_view payload) {
  T value{};
  try {
    FromJson(Json::parse(payload), value);
  } catch (const Json::exception&) {
    return std::nullopt;
  } catch (const std::out_of_range&) {
    return std::nullopt;
  }
  return value;
}
template std::optional<portal::FundListPage> DecodeStored(std::string_view);
template std::optional<std::vector<portal::Board>> DecodeStored(std::string_view);
template std::optional<portal::FundSummary> DecodeStored(std::string_view);
template std::optional<std::string> DecodeStored(std::string_view);
template std::optional<portal::ManagerFigures> DecodeStored(std::string_view);
template std::optional<std::vector<std::string>> DecodeStored(std::string_view);
template std::optional<std::vector<portal::Holding>> DecodeStored(std::string_view);

namespace {

void Keep(app::App& app, const std::string& key, const Json& values) {
  const base::DateTime now = app.clock().Now();
  // Texts cut from a hostile answer may hold bytes that are no UTF-8; they must not stop the
  // write.
  app.cache().SaveAnswer(key, values.dump(-1, ' ', false, Json::error_handler_t::replace),
                         base::DateTimeText(now), Stamp(now));
}

template <class T>
std::optional<T> Stored(app::App& app, const std::string& key, OfflineSince& note) {
  const std::optional<store::Cache::Answer> answer = app.cache().LoadAnswer(key);
  if (!answer) return std::nullopt;
  std::optional<T> value = DecodeStored<T>(answer->payload);
  if (value) KeepOldest(note, {answer->stamp, answer->arrived});
  return value;
}

// The fresh answer when it came with its marks (and is kept), else the kept values, else the
// failure as it came.
template <class T>
std::optional<T> FreshOrStored(app::App& app, const std::string& key, std::optional<T> fetched,
                               bool marked, OfflineSince& note) {
  if (fetched && marked) {
    Keep(app, key, ToJson(*fetched));
    return fetched;
  }
  if (std::optional<T> stored = Stored<T>(app, key, note)) return stored;
  return fetched;
}

template <class T>
std::optional<T> FreshOrStored(app::App& app, const std::string& key, std::optional<T> fetched,
                               OfflineSince& note) {
  const bool marked = fetched.has_value();
  return FreshOrStored(app, key, std::move(fetched), marked, note);
}

// The oldest of the notes of what is shown. The grid's notes lapse once the grid was refilled by
// a load that notes nothing (the full download).
OfflineSince Oldest(app::App& app, const OfflineNotes& notes) {
  OfflineSince oldest = notes.boards;
  if (app.loads().IsCurrent(notes.grid)) {
    KeepOldest(oldest, notes.list);
    KeepOldest(oldest, notes.detail);
  }
  return oldest;
}

void ShowNote(Funds& funds) {
  app::MainWindow& main = funds.app().main_window();
  main.SetTitle(TitleWithNote(main.Title(), Oldest(funds.app(), funds.notes())));
}

}  // namespace

void KeepOldest(OfflineSince& note, const OfflineSince& other) {
  if (other.stamp == 0) return;
  if (note.stamp == 0 || other.stamp < note.stamp) note = other;
}

std::optional<portal::FundListPage> FundListPageOrStored(app::App& app, const std::string& url,
                                                         OfflineSince& note) {
  std::optional<portal::FundListPage> page = portal::FetchFundListPage(url, &app.transfers());
  const bool marked = page && page->marked;
  return FreshOrStored(app, url, std::move(page), marked, note);
}

std::optional<std::vector<portal::Board>> BoardRankingOrStored(app::App& app,
                                                               std::string_view period,
                                                               OfflineSince& note) {
  return FreshOrStored(app, portal::BoardRankingUrl(app.portal(), period),
                       portal::FetchBoardRanking(app.portal(), period, &app.transfers()), note);
}

std::optional<portal::FundSummary> FundSummaryOrStored(app::App& app, std::string_view code,
                                                       OfflineSince& note) {
  std::optional<portal::FundSummary> summary =
      portal::FetchFundSummary(app.portal(), code, &app.transfers());
  const bool marked = summary && summary->marked;
  return FreshOrStored(app, portal::FundMainPageUrl(app.portal(), code), std::move(summary), marked,
                       note);
}

std::optional<std::string> FundSizeOrStored(app::App& app, std::string_view code,
                                            OfflineSince& note) {
  return FreshOrStored(app, portal::FundSizePageUrl(app.portal(), code),
                       portal::FetchFundSize(app.portal(), code, &app.transfers()), note);
}

std::optional<portal::ManagerFigures> ManagerFiguresOrStored(app::App& app, std::string_view code,
                                                             OfflineSince& note) {
  return FreshOrStored(app, portal::FundManagerPageUrl(app.portal(), code),
                       portal::FetchManagerFigures(app.portal(), code, &app.transfers()), note);
}

std::optional<std::string> RatingOrStored(app::App& app, std::string_view code,
                                          OfflineSince& note) {
  return FreshOrStored(app, portal::FundRatingUrl(app.portal(), code),
                       portal::FetchRating(app.portal(), code, &app.transfers()), note);
}

std::optional<std::vector<std::string>> RiskStatisticsOrStored(app::App& app, std::string_view code,
                                                               OfflineSince& note) {
  return FreshOrStored(app, portal::FundRiskPageUrl(app.portal(), code),
                       portal::FetchRiskStatistics(app.portal(), code, &app.transfers()), note);
}

std::optional<std::vector<portal::Holding>> TopHoldingsOrStored(app::App& app,
                                                                const net::PortalUrls& urls,
                                                                std::string_view code,
                                                                OfflineSince& note) {
  return FreshOrStored(app, portal::HoldingsArchiveUrl(urls, code),
                       portal::FetchTopHoldings(urls, code, &app.transfers()), note);
}

void NoteListShown(Funds& funds, const OfflineSince& note) {
  OfflineNotes& notes = funds.notes();
  notes.list = note;
  notes.detail = {};
  notes.grid = funds.app().loads().Current(app::LoadTarget::kFundGrid);
  notes.boards = {};
  ShowNote(funds);
}

void NoteDetailShown(Funds& funds, const OfflineSince& note) {
  OfflineNotes& notes = funds.notes();
  if (!funds.app().loads().IsCurrent(notes.grid)) {
    notes.list = {};
    notes.grid = funds.app().loads().Current(app::LoadTarget::kFundGrid);
  }
  notes.detail = note;
  ShowNote(funds);
}

void NoteHoldingsShown(Funds& funds, const OfflineSince& note) {
  KeepOldest(funds.notes().detail, note);
  ShowNote(funds);
}

void NoteBoardsShown(Funds& funds, const OfflineSince& note) {
  funds.notes().boards = note;
  ShowNote(funds);
}

std::string TitleWithNote(std::string_view title, const OfflineSince& since) {
  std::string plain(title.substr(0, title.find(kNoteStart)));
  if (since.stamp == 0) return plain;
  return plain + std::string(kNoteStart) + since.arrived + std::string(kNoteEnd);
}

void PruneCache(app::App& app) {
  using std::chrono::days;
  using std::chrono::sys_days;
  using std::chrono::year_month_day;
  const base::DateTime now = app.clock().Now();
  const year_month_day today{std::chrono::year{now.year},
                             std::chrono::month{static_cast<unsigned>(now.month)},
                             std::chrono::day{static_cast<unsigned>(now.day)}};
  const year_month_day oldest{sys_days{today} - days{kKeepDays}};
  const std::int64_t cut = store::TimeStamp(
      static_cast<int>(oldest.year()), static_cast<int>(static_cast<unsigned>(oldest.month())),
      static_cast<int>(static_cast<unsigned>(oldest.day())), now.hour, now.minute, now.second);
  // Today's download details stay: a download killed before this start resumes from them.
  app.cache().PruneAnswers(cut);
  app.cache().PruneDetails(CalendarDay(now));
}

std::shared_future<void> StartCachePrune(app::App& app) {
  auto pruned = std::make_shared<std::promise<void>>();
  std::shared_future<void> future = pruned->get_future().share();
  app::StartStoreWrite(app, [&app, pruned] {
    // Ready whatever becomes of the prune: a failed one leaves the cache as it was.
    struct Ready {
      std::promise<void>& promise;
      ~Ready() { promise.set_value(); }
    } ready{*pruned};
    PruneCache(app);
  });
  return future;
}

}  // namespace funds
