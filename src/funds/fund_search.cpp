#include "funds/fund_search.h"

#include <algorithm>
#include <string>

#include "base/encoding.h"
#include "base/text.h"
#include "net/http_fetch.h"
#include "net/portal.h"
#include "script/json_object.h"

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
  const std::string answer =
      net::GetAnswerText(net::FundSearchUrl(app.portal(), base::PercentEncode(text, true, true)),
                         &app.transfers(), net::kFundSearchMaxBytes)
          .value_or("");
  if (!app.loads().IsCurrent(ticket)) return;
  script::JsonObject found;
  found.Parse(base::TextBetween(answer, std::string(net::kFundSearchCallback) + "(", "]})") + "]}");
  const int count = std::min(found.GetCount("Datas"), kMaxResults);
  for (int i = 0; i < count; ++i) {
    const std::string item = "Datas[" + base::IntToText(i) + "]";
    const int row = results.InsertRow();
    results.SetText(row, 0, found.GetText(item + ".NAME"));
    results.SetText(row, 1, found.GetText(item + "['_id']"));
  }
  results.SetHeight((count + 1) * kItemHeight);
  results.SetVisible(true);
}

void InstallFundSearch(app::App& app) {
  ui::EditBox& box = app.main_window().搜索框;
  box.on_focus = [&app] { OnSearchBoxFocus(app); };
  box.on_changed = [&app] { SearchFunds(app); };
}

}  // namespace funds
