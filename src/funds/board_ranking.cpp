#include "funds/board_ranking.h"

#include <cmath>
#include <string>

#include "base/text.h"
#include "funds/fund_lists.h"
#include "portal/board_ranking.h"

namespace funds {

namespace {

struct Period {
  const char* code;
  const char* title;
};
constexpr Period kPeriods[] = {{"SYL_W", "近1周板块涨跌幅排行"},
                               {"SYL_M", "近1月板块涨跌幅排行"},
                               {"SYL_Q", "近3月板块涨跌幅排行"},
                               {"SYL_1N", "近1年板块涨跌幅排行"}};
constexpr int kFirstPeriodButton = 112;
constexpr int kThreeMonths = 2;
constexpr int kFirstSparePosition = 111;

void LoadPeriod(app::App& app, const Period& period) {
  if (LoadBoardRanking(app, period.code)) app.board_window().标签1.SetCaption(period.title);
}

// A yield rounded to two decimals in its shortest form: 12.346 gives 12.35, 5 gives 5, and
// -0.004 gives 0 (adding 0.0 turns the rounded -0 into 0).
std::string YieldText(const std::string& yield) {
  return base::DoubleToText(std::round(base::ToNumber(yield) * 100) / 100 + 0.0);
}

}  // namespace

bool LoadBoardRanking(app::App& app, std::string_view period) {
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kBoardWindow);
  app::Globals& globals = app.globals;
  globals.BoardNames.clear();
  globals.BoardCodes.clear();
  globals.BoardYields.clear();
  const std::vector<portal::Board> boards =
      portal::FetchBoardRanking(app.portal(), period, &app.transfers())
          .value_or(std::vector<portal::Board>{});
  if (!app.loads().IsCurrent(ticket)) return false;
  for (const portal::Board& board : boards) {
    globals.BoardNames.push_back(board.name);
    globals.BoardCodes.push_back(board.code);
    globals.BoardYields.push_back(board.yield);
  }
  const int count = static_cast<int>(boards.size());
  globals.BoardCount = count;
  if (count == 0) {
    app.dialogs().MessageBox("板块信息加载失败，请重试");
    app.board_window().Close();
    return false;
  }
  LabelBoardButtons(app);
  return true;
}

void LabelBoardButtons(app::App& app) {
  const app::Globals& globals = app.globals;
  const int filled = std::min<int>(app::kBoardPositionCount, globals.BoardNames.size());
  for (int k = 1; k <= filled; ++k) {
    ui::Button* button = app.board_window().PositionButton(k);
    button->SetCaption(globals.BoardNames[k - 1] + "\r\n" + YieldText(globals.BoardYields[k - 1]) +
                       "%");
    if (k >= kFirstSparePosition) button->SetVisible(true);
  }
}

void OpenBoardWindow(app::App& app) {
  app.globals.FiveStarShown = 0;
  app.board_window().Show();
  app.main_window().选择板块钮.SetEnabled(false);
}

void OpenBoardFunds(app::App& app, int position) {
  app::Globals& globals = app.globals;
  if (position < 1 || position > static_cast<int>(globals.BoardNames.size())) return;
  globals.BoardFreshClick = 1;
  globals.CurrentBoardName = globals.BoardNames[position - 1];
  app.board_window().Hide();
  const std::string number = base::TextRightOfLast(globals.BoardCodes[position - 1], "BK0");
  LoadBoardFunds(app, static_cast<long long>(base::ToNumber(number)), "", "");
}

void InstallBoardLists(app::App& app) {
  app::BoardWindow& board = app.board_window();
  for (int k = 1; k <= app::kBoardPositionCount; ++k) {
    board.PositionButton(k)->on_click = [&app, k] { OpenBoardFunds(app, k); };
  }
  for (int i = 0; i < 4; ++i) {
    board.按钮(kFirstPeriodButton + i)->on_click = [&app, i] { LoadPeriod(app, kPeriods[i]); };
  }
  board.on_created = [&app] {
    if (app.board_window().标签1.Caption().empty()) LoadPeriod(app, kPeriods[kThreeMonths]);
  };
  app::MainWindow& main = app.main_window();
  main.选择板块钮.on_click = [&app] { OpenBoardWindow(app); };
  main.五星基金钮.on_click = [&app] { OnFiveStarClicked(app); };
  main.高级表格1.on_header_click = [&app](int column) { OnFundGridHeaderClicked(app, column); };
}

}  // namespace funds
