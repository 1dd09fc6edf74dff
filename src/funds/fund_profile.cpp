#include "funds/fund_profile.h"

#include <algorithm>
#include <cctype>

#include "base/text.h"
#include "funds/holdings.h"
#include "net/http_fetch.h"
#include "script/regex_object.h"

namespace funds {

namespace {

constexpr int kSizeColumn = 14;
constexpr int kRatingColumn = 15;
constexpr int kReturnColumn = 16;
constexpr int kTenureColumn = 17;
constexpr int kFirstStatisticColumn = 18;
constexpr int kStatisticColumns = 6;
constexpr std::string_view kSizeMark = "<tr><th>资产规模</th><td>";
constexpr std::string_view kRiskTableStart = "<th class=\"num\">近3年</th>\r\n";
constexpr std::string_view kRiskTableEnd = "<div class=\"limit-time\">截止至：";

// A page that holds the end of an HTML document.
bool WholePage(std::string_view page) {
  constexpr std::string_view kEnd = "</html>";
  const auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == static_cast<unsigned char>(b);
  };
  return std::search(page.begin(), page.end(), kEnd.begin(), kEnd.end(), same) != page.end();
}

void WriteStatistics(ui::Grid& grid, int row, const std::vector<std::string>& statistics) {
  for (size_t i = 0; i < statistics.size(); ++i) {
    grid.SetText(row, kFirstStatisticColumn + static_cast<int>(i), statistics[i]);
  }
}

// Writes the first three pages' columns; a page that failed writes nothing.
void WriteFirstPages(ui::Grid& grid, int row, const std::optional<std::string>& size,
                     const std::optional<std::string>& rating,
                     const std::optional<ManagerFigures>& manager) {
  if (size) grid.SetText(row, kSizeColumn, *size);
  if (rating) grid.SetText(row, kRatingColumn, *rating);
  if (manager) {
    grid.SetText(row, kReturnColumn, manager->tenure_return);
    grid.SetText(row, kTenureColumn, manager->tenure);
  }
}

// While a fund is held for comparison, row 2 of the comparison grid shows the fund the user
// looks at beside it.
void RefreshComparisonGrid(app::App& app, int row) {
  ui::Grid& funds = app.main_window().高级表格1;
  ui::Grid& comparison = app.main_window().高级表格2;
  if (comparison.Text(1, 1).empty()) return;
  for (int column = 0; column <= 23; ++column) {
    comparison.SetText(2, column, funds.Text(row, column));
    if (column >= 5) comparison.SetTextColour(2, column, funds.TextColour(row, column));
  }
}

}  // namespace

std::string CutFundSize(std::string_view page) {
  return base::TextBetween(page, kSizeMark, "亿元（截止至");
}

ManagerFigures CutManagerFigures(std::string_view page) {
  script::RegexObject regex;
  regex.Create(
      "<th>任职期间</th><th>任职回报</th></tr></thead><tbody><tr><td>.*?</a> "
      "</td><td>.*?</td></tr>",
      page);
  const std::string row = regex.MatchText(1);
  const std::string tail = base::TextBetween(row, "</td><td class=", "</tr>");
  return {base::TextBetween(tail, ">", "</td>"),
          base::TextBetween(row, "</a> </td><td>", "</td><td class=")};
}

std::string CutRating(std::string_view answer) {
  std::string rating = base::TextBetween(answer, "\"SZPJ3\":\"", "\",\"ZSPJ5");
  return rating.empty() ? "0" : rating;
}

std::vector<std::string> CutRiskStatistics(std::string_view page) {
  const std::string table = base::TextBetween(page, kRiskTableStart, kRiskTableEnd);
  script::RegexObject regex;
  regex.Create("class='num'>.*?</td>", table);
  std::vector<std::string> statistics;
  for (int i = 1; i <= std::min(regex.Count(), kStatisticColumns); ++i) {
    statistics.push_back(
        base::ReplaceAll(base::ReplaceAll(regex.MatchText(i), "class='num'>", ""), "</td>", ""));
  }
  return statistics;
}

std::optional<std::string> FetchFundSize(const net::PortalUrls& urls, std::string_view code,
                                         net::TransferControl* control) {
  const std::optional<std::string> page =
      net::GetAnswerText(net::FundSizePageUrl(urls, code), control, net::kFundProfilePageMaxBytes);
  if (!page || page->find(kSizeMark) == std::string::npos) return std::nullopt;
  return CutFundSize(*page);
}

std::optional<ManagerFigures> FetchManagerFigures(const net::PortalUrls& urls,
                                                  std::string_view code,
                                                  net::TransferControl* control) {
  const std::optional<std::string> page = net::GetAnswerText(
      net::FundManagerPageUrl(urls, code), control, net::kFundProfilePageMaxBytes);
  if (!page || !WholePage(*page)) return std::nullopt;
  return CutManagerFigures(*page);
}

std::optional<std::string> FetchRating(const net::PortalUrls& urls, std::string_view code,
                                       net::TransferControl* control) {
  const std::optional<std::string> answer =
      net::GetAnswerText(net::FundRatingUrl(urls, code), control, net::kFundRatingMaxBytes,
                         net::FundRatingHeaders(urls, code));
  if (!answer || answer->find(std::string(net::kFundRatingCallback) + "(") == std::string::npos) {
    return std::nullopt;
  }
  return CutRating(*answer);
}

std::optional<std::vector<std::string>> FetchRiskStatistics(const net::PortalUrls& urls,
                                                            std::string_view code,
                                                            net::TransferControl* control) {
  const std::optional<std::string> page =
      net::GetAnswerText(net::FundRiskPageUrl(urls, code), control, net::kFundProfilePageMaxBytes);
  if (!page || page->find(kRiskTableStart) == std::string::npos ||
      page->find(kRiskTableEnd) == std::string::npos) {
    return std::nullopt;
  }
  return CutRiskStatistics(*page);
}

void LoadFundDetails(app::App& app, const ChartRefresh& refresh_chart) {
  ui::Grid& grid = app.main_window().高级表格1;
  const int row = grid.CurrentRow() > 0 ? grid.CurrentRow() : 1;
  app.globals.DetailRow = row;
  const std::string code = grid.Text(row, 1);
  app.globals.CurrentFundCode = code;
  if (!code.empty()) {
    app::LoadGenerations& loads = app.loads();
    const app::LoadTicket detail = loads.Start(app::LoadTarget::kFundDetail);
    const app::LoadTicket filled = loads.Current(app::LoadTarget::kFundGrid);
    // Each page is written as soon as it is cut, unless the row no longer holds this fund.
    auto current = [&] { return loads.IsCurrent(detail) && loads.IsCurrent(filled); };
    // A page that failed leaves its cells empty.
    const std::string size = FetchFundSize(app.portal(), code, &app.transfers()).value_or("");
    if (!current()) return;
    grid.SetText(row, kSizeColumn, size);
    const ManagerFigures manager =
        FetchManagerFigures(app.portal(), code, &app.transfers()).value_or(ManagerFigures{});
    if (!current()) return;
    grid.SetText(row, kReturnColumn, manager.tenure_return);
    grid.SetText(row, kTenureColumn, manager.tenure);
    const std::string rating = FetchRating(app.portal(), code, &app.transfers()).value_or("");
    if (!current()) return;
    grid.SetText(row, kRatingColumn, rating);
    const std::vector<std::string> statistics =
        FetchRiskStatistics(app.portal(), code, &app.transfers())
            .value_or(std::vector<std::string>{});
    if (!current()) return;
    WriteStatistics(grid, row, statistics);
    RefreshComparisonGrid(app, row);
    StartTopHoldings(app);
  }
  if (refresh_chart) refresh_chart();
}

void OnFundRowSelected(app::App& app, const ChartRefresh& refresh_chart) {
  if (app.main_window().高级表格1.CurrentRow() != -1) LoadFundDetails(app, refresh_chart);
}

DetailJob DetailJobForRow(app::App& app, int row, unsigned pages) {
  return {row, app.main_window().高级表格1.Text(row, 1), app.globals.AllFundsTotal,
          app.loads().Current(app::LoadTarget::kFundGrid), pages};
}

unsigned LoadFundDetailsForRow(app::App& app, const DetailJob& job) {
  if (job.row > job.funds_total) return 0;
  const net::PortalUrls& urls = app.portal();
  net::TransferControl* control = &app.transfers();
  const auto asked = [&job](unsigned page) { return (job.pages & page) != 0; };
  std::optional<std::string> size;
  std::optional<ManagerFigures> manager;
  std::optional<std::string> rating;
  if (asked(kSizePage)) size = FetchFundSize(urls, job.code, control);
  if (asked(kManagerPage)) manager = FetchManagerFigures(urls, job.code, control);
  if (asked(kRatingPage)) rating = FetchRating(urls, job.code, control);
  unsigned failed = (asked(kSizePage) && !size ? kSizePage : 0) |
                    (asked(kManagerPage) && !manager ? kManagerPage : 0) |
                    (asked(kRatingPage) && !rating ? kRatingPage : 0);
  app.ui().Post([&app, job, size = std::move(size), rating = std::move(rating),
                 manager = std::move(manager)] {
    if (app.loads().IsCurrent(job.grid)) {
      WriteFirstPages(app.main_window().高级表格1, job.row, size, rating, manager);
    }
  });
  if (asked(kRiskPage)) {
    std::optional<std::vector<std::string>> statistics =
        FetchRiskStatistics(urls, job.code, control);
    if (statistics) {
      app.ui().Post([&app, job, statistics = std::move(*statistics)] {
        if (app.loads().IsCurrent(job.grid)) {
          WriteStatistics(app.main_window().高级表格1, job.row, statistics);
        }
      });
    } else {
      failed |= kRiskPage;
    }
  }
  app.globals.LoadThreadCount.fetch_sub(1);
  return failed;
}

}  // namespace funds
