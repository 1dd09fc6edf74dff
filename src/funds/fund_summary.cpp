#include "funds/fund_summary.h"

#include "base/text.h"
#include "funds/fund_profile.h"
#include "funds/fund_rows.h"
#include "funds/watchlist.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "script/regex_object.h"

namespace funds {

namespace {

// The text in front of the first `marker`; empty when it does not occur.
std::string Before(std::string_view text, std::string_view marker) {
  const long long at = base::Find(text, marker);
  return at > 0 ? std::string(text.substr(0, static_cast<size_t>(at - 1))) : std::string();
}

}  // namespace

FundSummary CutFundSummary(std::string_view page) {
  FundSummary summary;
  const std::string periods = base::TextBetween(
      page, "<div class=\"typeName\">阶段涨幅</div></td><td>  <div class=\"Rdata ui-color",
      "</td> </tr><tr><td>  <div class=\"typeName\">同类平均<div class=");
  const std::string nav =
      base::TextBetween(page, "单位净值</a></span> (</span>", "</span></dd><dd><span>近3月");
  summary.nav_date = Before(nav, ")</p></dt><dd class");
  summary.unit_nav = base::TextBetween(nav, "ui-num\">", "</span><span class=");
  summary.day_change =
      base::TextRightOfLast(base::TextRightOfLast(nav, "</span><span class="), "\">");
  summary.fund_type =
      base::TextRightOfLast(base::TextBetween(page, "基金类型：<", "</a>&nbsp"), ">");

  script::RegexObject regex;
  regex.Create("bold\">.*?</div>", periods);
  for (int i = 1; i <= 8; ++i) {
    summary.periods[i - 1] =
        base::ReplaceAll(base::ReplaceAll(regex.MatchText(i), "bold\">", ""), "</div>", "");
  }
  return summary;
}

ui::Colour NavColour(std::string_view text) {
  return base::ToNumber(text) > kZeroBand ? kColourRed : kColourGreen;
}

ui::Colour PeriodColour(std::string_view text) {
  const double value = base::ToNumber(text);
  if (value <= kZeroBand) return kColourGreen;
  return value - 50 > kZeroBand ? kColourBlue : kColourRed;
}

// `code` and `name` are copies: the lists they come from may change while the page is fetched.
void ShowFundSummary(app::App& app,
                     std::string code,  // NOLINT(performance-unnecessary-value-param)
                     std::string name, const ChartRefresh& refresh_chart) {
  const std::optional<app::LoadTicket> ticket =
      app::StartLoadOrRefuse(app, app::LoadTarget::kFundGrid);
  if (!ticket) return;
  const std::optional<std::string> page = net::GetAnswerText(
      net::FundMainPageUrl(app.portal(), code), &app.transfers(), net::kFundMainPageMaxBytes);
  if (!app.loads().IsCurrent(*ticket)) return;
  const FundSummary summary = CutFundSummary(page.value_or(""));

  ui::Grid& grid = app.main_window().高级表格1;
  grid.ResetToDesign();
  grid.SetText(1, 0, std::move(name));
  grid.SetText(1, 1, code);
  grid.SetText(1, 2, summary.fund_type);
  grid.SetText(1, 3, summary.nav_date);
  grid.SetText(1, 4, summary.unit_nav);
  grid.SetTextColour(1, 4, NavColour(summary.unit_nav));
  grid.SetText(1, 5, summary.day_change);
  grid.SetTextColour(1, 5, NavColour(summary.day_change));
  for (int i = 1; i <= 8; ++i) {
    grid.SetText(1, 5 + i, summary.periods[i - 1]);
    grid.SetTextColour(1, 5 + i, PeriodColour(summary.periods[i - 1]));
  }
  LoadFundDetails(app, refresh_chart);
}

void OnSearchResultPicked(app::App& app, const ChartRefresh& refresh_chart) {
  app::MainWindow& main = app.main_window();
  ui::ListView& results = main.超级列表框1;
  const int row = results.CurrentRow();
  const std::string code = results.Text(row, 1);
  app.globals.CurrentFundCode = code;
  ShowFundSummary(app, code, results.Text(row, 0), refresh_chart);
  main.搜索框.SetText("");
  results.Clear();
  results.SetVisible(false);
}

void OnWatchlistPicked(app::App& app, const ChartRefresh& refresh_chart) {
  app::MainWindow& main = app.main_window();
  ui::ListView& watchlist = main.超级列表框2;
  const int row = watchlist.CurrentRow();
  const std::string code = watchlist.Text(row, 1);
  const std::string& type = watchlist.Text(row, 3);
  if (type == kWatchlistStock) {
    ShowShareholderPage(app, code);
  } else if (type == kWatchlistFund) {
    main.外形框1.SetVisible(false);
    main.超文本浏览框1.SetVisible(false);
    ShowFundSummary(app, code, watchlist.Text(row, 2), refresh_chart);
  }
}

}  // namespace funds
