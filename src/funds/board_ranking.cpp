#include "funds/board_ranking.h"

#include <cmath>
#include <memory>
#include <string>

#include "app/load.h"
#include "base/text.h"
#include "funds/fund_lists.h"
#include "funds/last_good.h"
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

void LoadPeriod(app::App& app, Boards& boards, const Period& period) {
  LoadBoardRanking(app, boards, period.code,
                   [&app, &period] { app.board_window().标签1.SetCaption(period.title); });
}

// A yield rounded to two decimals in its shortest form: 12.346 gives 12.35, 5 gives 5, and
// -0.004 gives 0 (adding 0.0 turns the rounded -0 into 0).
std::string YieldText(const std::string& yield) {
  return base::DoubleToText(std::round(base::ToNumber(yield) * 100) / 100 + 0.0);
}

}  // namespace

void LoadBoardRanking(app::App& app, Boards& boards, std::string_view period,
                      std::function<void()> shown) {
  const app::LoadTicket ticket = app.loads().Start(app::LoadTarget::kBoardWindow);
  boards.clear();
  struct Answer {
    std::vector<portal::Board> ranking;
    OfflineSince offline;
  };
  app::StartLoad(
      app, ticket,
      [&app, period = std::string(period)] {
        Answer answer;
        answer.ranking = BoardRankingOrStored(app, period, answer.offline)
                             .value_or(std::vector<portal::Board>{});
        return answer;
      },
      [&app, &boards, shown = std::move(shown)](Answer answer) {
        boards = std::move(answer.ranking);
        if (boards.empty()) {
          // No ranking is shown, so none is shown from stored answers.
          NoteBoardsShown(app, {});
          app.dialogs().MessageBox("板块信息加载失败，请重试");
          app.board_window().Close();
          return;
        }
        LabelBoardButtons(app, boards);
        NoteBoardsShown(app, answer.offline);
        shown();
      });
}

void LabelBoardButtons(app::App& app, const Boards& boards) {
  const int filled = std::min<int>(app::kBoardPositionCount, boards.size());
  for (int k = 1; k <= filled; ++k) {
    ui::Button* button = app.board_window().PositionButton(k);
    const portal::Board& board = boards[k - 1];
    button->SetCaption(board.name + "\r\n" + YieldText(board.yield) + "%");
    if (k >= kFirstSparePosition) button->SetVisible(true);
  }
}

void OpenBoardWindow(app::App& app) {
  app.globals.FiveStarShown = 0;
  app.board_window().Show();
  app.main_window().选择板块钮.SetEnabled(false);
}

void OpenBoardFunds(app::App& app, const Boards& boards, int position) {
  if (position < 1 || position > static_cast<int>(boards.size())) return;
  const portal::Board& board = boards[position - 1];
  app::Globals& globals = app.globals;
  globals.BoardFreshClick = 1;
  globals.CurrentBoardName = board.name;
  app.board_window().Hide();
  const std::string number = base::TextRightOfLast(board.code, "BK0");
  LoadBoardFunds(app, static_cast<long long>(base::ToNumber(number)), "", "");
}

void InstallBoardLists(app::App& app) {
  // The ranking the window shows, kept until the next ranking load.
  auto boards = std::make_shared<Boards>();
  app::BoardWindow& board = app.board_window();
  for (int k = 1; k <= app::kBoardPositionCount; ++k) {
    board.PositionButton(k)->on_click = [&app, boards, k] { OpenBoardFunds(app, *boards, k); };
  }
  for (int i = 0; i < 4; ++i) {
    board.按钮(kFirstPeriodButton + i)->on_click = [&app, boards, i] {
      LoadPeriod(app, *boards, kPeriods[i]);
    };
  }
  board.on_created = [&app, boards] {
    if (app.board_window().标签1.Caption().empty()) {
      LoadPeriod(app, *boards, kPeriods[kThreeMonths]);
    }
  };
  app.main_window().选择板块钮.on_click = [&app] { OpenBoardWindow(app); };
}

}  // namespace funds
