#include "funds/funds.h"

#include "funds/board_ranking.h"
#include "funds/download_guard.h"
#include "funds/full_download.h"
#include "funds/fund_lists.h"
#include "funds/fund_search.h"
#include "funds/fund_summary.h"
#include "funds/last_good.h"
#include "funds/ranking_lists.h"
#include "funds/watchlist.h"

namespace funds {

void Funds::Install(const ChartRefresh& refresh_chart) {
  using Phase = app::StartupPhase;
  app_.AddStartupStep(Phase::kBoardFresh, [this](app::App&) { lists_.BoardFreshClick = 1; });
  // Started before the ranking list chosen last is loaded, whose fetch waits for it as it may
  // read the cache.
  app_.AddStartupStep(Phase::kBoardFresh,
                      [this](app::App& app) { cache_pruned_ = StartCachePrune(app); });
  app_.AddStartupStep(Phase::kWatchlist, [this](app::App&) { LoadWatchlist(*this); });
  app_.AddStartupStep(Phase::kGuardFile, SeedGuardFile);
  InstallRankingLists(*this);
  InstallFundDetail(*this);
  InstallFundPickers(*this, refresh_chart);
  InstallBoardLists(*this);
  InstallFundLists(*this);
  InstallFundSearch(app_);
  InstallFullDownload(app_);
}

}  // namespace funds
