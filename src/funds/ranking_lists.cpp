#include "funds/ranking_lists.h"

#include <string>

#include "base/text.h"
#include "funds/fund_guide.h"
#include "funds/fund_rows.h"
#include "net/http_fetch.h"
#include "net/portal.h"

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
// After the restored check boxes and before the watchlist; a first start runs it too.
constexpr int kStartupRankingStep = 8;

std::string StartupKey(int n) { return "加载" + base::IntToText(n); }

}  // namespace

void LoadRankingList(app::App& app, std::string_view sort_code, std::string_view order) {
  ui::Grid& grid = app.main_window().高级表格1;
  grid.ResetToDesign();
  const net::HttpFetchResult answer =
      net::HttpGet(net::RankingListUrl(app.portal(), sort_code, order), &app.transfers(),
                   net::kFundListMaxBytes);
  const script::JsonObject list = ParseFundGuideResponse(answer.text);
  const int count = list.GetCount("datas");
  for (int i = 1; i <= count; ++i) {
    WriteFundRow(grid, i, list.GetText("datas[" + base::IntToText(i - 1) + "]"));
  }
  ColourChangeCells(grid, 1, count);
}

void OnRankingRadioClick(app::App& app, int n) {
  if (n < 1 || n > 6) return;
  const Ranking& ranking = kRankings[n - 1];
  app::ConfigFile config = app.config();
  config.Write(kStartupSection, StartupKey(n), "真");
  LoadRankingList(app, ranking.sort_code, ranking.order);
  app.main_window().SetTitle(ranking.title);
  for (int other = 1; other <= 6; ++other) {
    if (other != n) config.Write(kStartupSection, StartupKey(other), "假");
  }
}

void LoadStartupRanking(app::App& app) {
  const app::ConfigFile config = app.config();
  for (int n = 1; n <= 6; ++n) {
    if (config.Read(kStartupSection, StartupKey(n)) != "真") continue;
    app.main_window().RankingRadio(n)->SetChecked(true);
    OnRankingRadioClick(app, n);
    return;
  }
}

void InstallRankingLists(app::App& app) {
  for (int n = 1; n <= 6; ++n) {
    app.main_window().RankingRadio(n)->on_click = [&app, n] { OnRankingRadioClick(app, n); };
  }
  app.AddStartupStep(kStartupRankingStep, LoadStartupRanking);
}

}  // namespace funds
