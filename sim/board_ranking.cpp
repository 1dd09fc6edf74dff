#include "sim/board_ranking.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "sim/server.h"

namespace sim {
namespace {

// The fund growth period (kSortCodes index) behind each board period.
constexpr int kGrowthPeriods[] = {1, 2, 3, 6};

int PeriodIndex(std::string_view period) {
  for (int i = 0; i < 4; ++i) {
    if (kBoardPeriods[i] == period) return i;
  }
  return -1;
}

std::optional<double> MeanGrowth(const Market& market, const Board& board, int growth_period) {
  double sum = 0;
  int count = 0;
  for (int f : board.funds) {
    const std::optional<double>& growth = market.funds()[f].growth[growth_period];
    if (!growth) continue;
    sum += *growth;
    ++count;
  }
  if (count == 0) return std::nullopt;
  return std::round(sum / count * 10000) / 10000;
}

// Every byte outside ASCII as %XX, so the text reaches the client only through its decoding.
std::string EscapeNonAscii(const std::string& text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80) {
      out += c;
    } else {
      out += '%';
      out += kHex[byte >> 4];
      out += kHex[byte & 0xF];
    }
  }
  return out;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4f", value + 0.0);  // + 0.0 turns -0 into 0
  return text;
}

bool EndsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

}  // namespace

std::vector<BoardYields> RankBoards(const Market& market, std::string_view period) {
  std::vector<BoardYields> ranked;
  for (const Board& board : market.boards()) {
    BoardYields entry;
    entry.board = &board;
    for (int i = 0; i < 4; ++i) entry.yields[i] = MeanGrowth(market, board, kGrowthPeriods[i]);
    ranked.push_back(entry);
  }
  const int index = PeriodIndex(period);
  if (index < 0) return ranked;
  std::stable_sort(ranked.begin(), ranked.end(),
                   [index](const BoardYields& a, const BoardYields& b) {
                     const std::optional<double>& x = a.yields[index];
                     const std::optional<double>& y = b.yields[index];
                     if (!x || !y) return x.has_value() && !y.has_value();
                     return *x > *y;
                   });
  return ranked;
}

std::string BoardRankingAnswer(const Market& market, std::string_view callback,
                               std::string_view period, bool from_ranking_page) {
  std::vector<BoardYields> ranked;
  if (from_ranking_page) ranked = RankBoards(market, period);
  std::string body = std::string(callback) + "({\"Data\":[";
  for (size_t i = 0; i < ranked.size(); ++i) {
    const Board& board = *ranked[i].board;
    if (i > 0) body += ',';
    body += "{\"BKName\":\"" + (i % 2 == 1 ? EscapeNonAscii(board.name) : board.name) +
            "\",\"BKCode\":\"" + board.code + "\"";
    for (int p = 0; p < 4; ++p) {
      if (ranked[i].yields[p]) {
        body += ",\"" + std::string(kBoardPeriods[p]) + "\":" + Number(*ranked[i].yields[p]);
      }
    }
    body += ",\"FundCount\":" + std::to_string(board.funds.size()) + "}";
  }
  body += "],\"ErrCode\":0,\"ErrMsg\":null,\"TotalCount\":" + std::to_string(ranked.size()) +
          ",\"Expansion\":null})";
  return body;
}

void AddBoardRankingRoutes(PortalSim& sim) {
  const Market& market = sim.market();
  sim.AddGet(
      kBoardRankingPath, [&market](const httplib::Request& request, httplib::Response& response) {
        const bool from_ranking_page =
            EndsWith(request.get_header_value("Referer"), kBoardRankingRefererPath);
        response.set_content(BoardRankingAnswer(market, request.get_param_value("callback"),
                                                request.get_param_value("st"), from_ranking_page),
                             "application/javascript; charset=utf-8");
      });
}

}  // namespace sim
