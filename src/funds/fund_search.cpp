#include "funds/fund_search.h"

#include <algorithm>
#include <string>

#include "app/load.h"
#include "portal/fund_search.h"

namespace funds {

namespace {

constexpr int kItemHeight = 32;
// More results than any suggest answer holds would make a list taller than the screen.
constexpr int kMaxResults = 100;

}  // namespace

void OnSearchBoxFocus(app::App& app) {
  ui::EditBox& box = app.main_window().搜索框;
  box.SetTextColour(ui::kDefaultTextColour);
  box.SetText("");
}

void SearchFunds(app::App& app) {
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kSearchList);
  app::MainWindow& main = app.main_window();
  ui::ListView& results = main.超级列表框1;
  results.Clear();
  results.Raise();
  const std::string text = main.搜索框.Text();
  if (text.empty()) {
    results.SetVisible(false);
    return;
  }
  app::StartLoad(
      app, ticket,
      [&app, text] {
        return portal::FetchSearchHits(app.portal(), text, &app.transfers())
            .value_or(std::vector<portal::SearchHit>{});
      },
      [&results](const std::vector<portal::SearchHit>& hits) {
        const int count = std::min(static_cast<int>(hits.size()), kMaxResults);
        for (int i = 0; i < count; ++i) {
          const int row = results.InsertRow();
          results.SetText(row, 0, hits[i].name);
          results.SetText(row, 1, hits[i].code);
        }
        results.SetHeight((count + 1) * kItemHeight);
        results.SetVisible(true);
      });
}

void InstallFundSearch(app::App& app) {
  ui::EditBox& box = app.main_window().搜索框;
  box.on_focus = [&app] { OnSearchBoxFocus(app); };
  box.on_changed = [&app] { SearchFunds(app); };
}

}  // namespace funds
