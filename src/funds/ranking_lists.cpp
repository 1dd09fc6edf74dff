#include "funds/ranking_lists.h"

#include <optional>
#include <string>

#include "app/load.h"
#include "base/text.h"
#include "funds/last_good.h"
#include "funds/paged_list.h"
#include "portal/fund_list.h"

namespace funds {

namespace {

struct Ranking {
  const char* sort_code;
  const char* order;
  const char* title;
};

constexpr Ranking kRankings[6] = {{"r", "desc", "昨日涨幅榜"}, {"1y", "desc", "1月涨幅榜"},
                                  {"3y", "desc", "3月涨幅榜"}, {"r", "asc", "昨日跌幅榜"},
                                  {"1y", "asc", "1月跌幅榜"},  {"3y", "asc", "3月跌幅榜"}};

constexpr const char* kStartupSection = "启动加载";

std::string StartupKey(int n) { return "加载" + base::IntToText(n); }

// The number of the first ranking stored as "真", or 0 when there is none.
int StoredRanking(const app::ConfigFile& config) {
  for (int n = 1; n <= 6; ++n) {
    if (config.Read(kStartupSection, StartupKey(n)) == "真") return n;
  }
  return 0;
}

// Checks the radio box of the stored ranking; with none stored, unchecks box `clicked`.
void CheckStoredRanking(app::App& app, int clicked) {
  const int stored = StoredRanking(app.config());
  if (stored > 0) {
    app.main_window().RankingRadio(stored)->SetChecked(true);
  } else {
    app.main_window().RankingRadio(clicked)->SetChecked(false);
  }
}

}  // namespace

void LoadRankingList(Funds& funds, const app::LoadTicket& ticket, std::string_view sort_code,
                     std::string_view order,
                     std::function<void(const OfflineSince& offline)> done) {
  app::App& app = funds.app();
  ui::Grid& grid = app.main_window().高级表格1;
  grid.ResetToDesign();
  // One page, whatever the answer claims: more records than a page holds are not a ranking.
  PagedList list;
  list.page_url = [url = portal::RankingListUrl(app.portal(), sort_code, order)](int) {
    return url;
  };
  list.fetch = [&app, pruned = funds.cache_pruned()](const std::string& url) {
    if (pruned.valid()) pruned.wait();
    ListAnswer answer;
    answer.page = FundListPageOrStored(app, url, answer.offline);
    return answer;
  };
  list.done = [done = std::move(done)](int, const OfflineSince& offline) { done(offline); };
  LoadListPages(app, ticket, grid, std::move(list));
}

void OnRankingRadioClick(Funds& funds, int n) {
  if (n < 1 || n > 6) return;
  app::App& app = funds.app();
  const std::optional<app::LoadTicket> ticket =
      app::StartLoadOrRefuse(app, app::LoadTarget::kFundGrid);
  if (!ticket) {
    // The grid keeps what the long job shows; the boxes go back to the stored choice.
    CheckStoredRanking(app, n);
    return;
  }
  const Ranking& ranking = kRankings[n - 1];
  // All six keys in one replacement of the file: written one by one, a kill between two
  // writes would leave two lists stored as chosen.
  std::string keys[6];
  app::ConfigFile::KeyValue choice[6];
  for (int k = 1; k <= 6; ++k) {
    keys[k - 1] = StartupKey(k);
    choice[k - 1] = {keys[k - 1], k == n ? "真" : "假"};
  }
  app.config().WriteKeys(kStartupSection, choice);
  // Overtaken by a newer load of the grid: its title and stored choice stand.
  LoadRankingList(funds, *ticket, ranking.sort_code, ranking.order,
                  [&funds, title = ranking.title](const OfflineSince& offline) {
                    funds.app().main_window().SetTitle(title);
                    NoteListShown(funds, offline);
                  });
}

void LoadStartupRanking(Funds& funds) {
  const int n = StoredRanking(funds.app().config());
  if (n == 0) return;
  funds.app().main_window().RankingRadio(n)->SetChecked(true);
  OnRankingRadioClick(funds, n);
}

void InstallRankingLists(Funds& funds) {
  for (int n = 1; n <= 6; ++n) {
    funds.app().main_window().RankingRadio(n)->on_click = [&funds, n] {
      OnRankingRadioClick(funds, n);
    };
  }
  funds.app().AddStartupStep(app::StartupPhase::kRankingList,
                             [&funds](app::App&) { LoadStartupRanking(funds); });
}

}  // namespace funds
