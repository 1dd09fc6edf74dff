#pragma once

// The last good values of the portal's answers. Every answer that arrives with its marks is kept
// in the local cache under its request URL, as the values cut from it (JSON text), with the time
// it arrived. When a later request for the same URL fails (no answer, an error status, an answer
// without its marks), the kept values stand in and are shown exactly as a fresh answer would
// be, and the main window's title ends with "（离线数据 " + the arrival of the oldest of them +
// "）". Without kept values (none yet, the cache off, a damaged value) a failure stays what it
// was. An answer with its marks but no records is a real answer: kept, and shown empty.
//
// Each "...OrStored" asks the portal client and gives what the caller would have got from it,
// or the kept values when the request failed; `note` then keeps the oldest arrival used.

#include <cstdint>
#include <future>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "funds/funds.h"
#include "portal/board_ranking.h"
#include "portal/fund_list.h"
#include "portal/fund_page.h"
#include "portal/fund_profile.h"
#include "portal/holdings.h"

namespace funds {

// The values of a kept payload; nothing for a damaged or foreign one, which then counts as not
// kept. Defined for the kinds below (a list page, boards, a summary, a profile page's values,
// holdings).
template <class T>
std::optional<T> DecodeStored(std::string_view payload);

// `note` becomes whichever of the two arrived first; a note without a stamp counts as fresh.
void KeepOldest(OfflineSince& note, const OfflineSince& other);

// UI thread.
std::optional<portal::FundListPage> FundListPageOrStored(app::App& app, const std::string& url,
                                                         OfflineSince& note);
std::optional<std::vector<portal::Board>> BoardRankingOrStored(app::App& app,
                                                               std::string_view period,
                                                               OfflineSince& note);
std::optional<portal::FundSummary> FundSummaryOrStored(app::App& app, std::string_view code,
                                                       OfflineSince& note);
std::optional<std::string> FundSizeOrStored(app::App& app, std::string_view code,
                                            OfflineSince& note);
std::optional<portal::ManagerFigures> ManagerFiguresOrStored(app::App& app, std::string_view code,
                                                             OfflineSince& note);
std::optional<std::string> RatingOrStored(app::App& app, std::string_view code, OfflineSince& note);
std::optional<std::vector<std::string>> RiskStatisticsOrStored(app::App& app, std::string_view code,
                                                               OfflineSince& note);
// Any thread: of `app` it uses only the cache, the clock and the transfer control.
std::optional<std::vector<portal::Holding>> TopHoldingsOrStored(app::App& app,
                                                                const net::PortalUrls& urls,
                                                                std::string_view code,
                                                                OfflineSince& note);

// The title's note follows what is shown, on the UI thread, after the loader wrote its title. A
// list that refilled the fund grid (or a fund's summary row) replaces every note; a fund's
// detail replaces the previous detail's, its holdings add to it; a board ranking replaces the
// previous ranking's. So a later load whose answers were all fresh removes its kind's note.
void NoteListShown(Funds& funds, const OfflineSince& note);
void NoteDetailShown(Funds& funds, const OfflineSince& note);
void NoteHoldingsShown(Funds& funds, const OfflineSince& note);
void NoteBoardsShown(Funds& funds, const OfflineSince& note);

// `title` without a note, then the note of `since` when it has a stamp.
std::string TitleWithNote(std::string_view title, const OfflineSince& since);

// Forgets answers kept for more than 30 days and the download details of other days. Any thread:
// of `app` it uses only the cache and the clock.
void PruneCache(app::App& app);

// Start-up: PruneCache as a store write on a worker. The future is ready once it is done (or has
// failed); a load that must not see what it forgets waits for it in its fetch. The prune is
// queued before any such load, and workers take jobs in the order they were started, so the
// wait is never for a job behind the waiting one.
std::shared_future<void> StartCachePrune(app::App& app);

}  // namespace funds
