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

void LoadPeriod(Funds& funds, const Period& period) {
  LoadBoardRanking(funds, period.code, [&funds, &period] {
    funds.app().board_window().标签1.SetCaption(period.title);
  });
}

// A yield rounded to two decimals in its shortest form: 12.346 gives 12.35, 5 gives 5, and
// -0.004 gives 0 (adding 0.0 turns the rounded -0 into 0).
std::string YieldText(const std::string& yield) {
  return base::DoubleToText(std::round(base::ToNumber(yield) * 100) / 100 + 0.0);
}

}  // namespace

void LoadBoardRanking(Funds& funds, std::string_view period, std::function<void()> shown) {
  app::App& app = funds.app();
  Boards& boards = funds.boards();
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
      [&app, &funds, &boards, shown = std::move(shown)](Answer answer) {
        boards = std::move(answer.ranking);
        if (boards.empty()) {
          // No ranking is shown, so none is shown from stored answers.
          NoteBoardsShown(funds, {});
          app.dialogs().MessageBox("板块信息加载失败，请重试");
          app.board_window().Close();
          return;
        }
        LabelBoardButtons(app, boards);
        NoteBoardsShown(funds, answer.offline);
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

void OpenBoardWindow(Funds& funds) {
  app::App& app = funds.app();
  funds.lists().FiveStarShown = 0;
  app.board_window().Show();
  app.main_window().选择板块钮.SetEnabled(false);
}

void OpenBoardFunds(Funds& funds, int position) {
  const Boards& boards = funds.boards();
  if (position < 1 || position > static_cast<int>(boards.size())) return;
  const portal::Board& board = boards[position - 1];
  FundListState& lists = funds.lists();
  lists.BoardFreshClick = 1;
  lists.CurrentBoardName = board.name;
  funds.app().board_window().Hide();
  const std::string number = base::TextRightOfLast(board.code, "BK0");
  LoadBoardFunds(funds, static_cast<long long>(base::ToNumber(number)), "", "");
}

void InstallBoardLists(Funds& funds) {
  app::BoardWindow& board = funds.app().board_window();
  for (int k = 1; k <= app::kBoardPositionCount; ++k) {
    board.PositionButton(k)->on_click = [&funds, k] { OpenBoardFunds(funds, k); };
  }
  for (int i = 0; i < 4; ++i) {
    board.按钮(kFirstPeriodButton + i)->on_click = [&funds, i] { LoadPeriod(funds, kPeriods[i]); };
  }
  board.on_created = [&funds, &board] {
    if (board.标签1.Caption().empty()) LoadPeriod(funds, kPeriods[kThreeMonths]);
  };
  board.on_destroyed = [&funds] {
    funds.lists().BoardFreshClick = 0;
    // A ranking still on its way belongs to the window that was closed.
    funds.app().loads().Invalidate(app::LoadTarget::kBoardWindow);
  };
  funds.app().main_window().选择板块钮.on_click = [&funds] { OpenBoardWindow(funds); };
}

}  // namespace funds
