#include "ledger_import/text_table.h"

#include <csv.h>

#include <array>
#include <map>
#include <string>
#include <utility>

#include "base/encoding.h"

namespace ledger_import {
namespace {

// The first lines that choose the delimiter.
constexpr int kGuessLines = 50;

bool IsBlankByte(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The trimmed cell with CR LF inside a quoted field as LF, and a spreadsheet's ="…" guard for
// leading zeros taken off.
std::string CleanCell(std::string_view field) {
  std::string cell = TrimCell(field);
  if (cell.size() >= 3 && cell.starts_with("=\"") && cell.ends_with("\"")) {
    cell = cell.substr(2, cell.size() - 3);
  }
  std::string out;
  out.reserve(cell.size());
  for (size_t i = 0; i < cell.size(); ++i) {
    if (cell[i] == '\r' && i + 1 < cell.size() && cell[i + 1] == '\n') continue;
    out.push_back(cell[i]);
  }
  return out;
}

int IsSpace(unsigned char c) { return c == ' ' || c == '\t'; }
int IsSpaceNotTab(unsigned char c) { return c == ' '; }

// What the parser's callbacks build.
struct Collector {
  Table table;
  std::vector<std::string> cells;
  int row_start = 0;
  bool in_row = false;
  std::size_t cell_count = 0;
  bool too_many = false;
};

void OnField(void* field, std::size_t length, void* data) {
  auto& collector = *static_cast<Collector*>(data);
  if (++collector.cell_count > kMaxCells) {
    collector.too_many = true;
    return;
  }
  collector.cells.push_back(
      CleanCell(std::string_view(field == nullptr ? "" : static_cast<const char*>(field), length)));
}

void OnRow(int /*terminator*/, void* data) {
  auto& collector = *static_cast<Collector*>(data);
  while (!collector.cells.empty() && collector.cells.back().empty()) collector.cells.pop_back();
  if (!collector.cells.empty() && !collector.too_many) {
    collector.table.rows.push_back({collector.row_start, std::move(collector.cells)});
  }
  collector.cells.clear();
  collector.in_row = false;
}

// Parses `text` with `delimiter`, feeding it line by line (a line ends with LF, CR LF or a lone
// CR) so that each row knows the line it starts on; at most `max_lines` lines (0: all).
// False when the table would hold more than kMaxCells cells.
bool Parse(std::string_view text, char delimiter, int max_lines, Collector* collector) {
  csv_parser parser;
  if (csv_init(&parser, 0) != 0) return false;
  csv_set_delim(&parser, static_cast<unsigned char>(delimiter));
  csv_set_space_func(&parser, delimiter == '\t' ? IsSpaceNotTab : IsSpace);
  int line = 0;
  std::size_t at = 0;
  bool ok = true;
  while (at < text.size() && (max_lines == 0 || line < max_lines)) {
    std::size_t end = text.find_first_of("\r\n", at);
    if (end == std::string_view::npos) {
      end = text.size();
    } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
      end += 2;
    } else {
      end += 1;
    }
    const std::string_view piece = text.substr(at, end - at);
    ++line;
    if (!collector->in_row) {
      for (char c : piece) {
        if (!IsBlankByte(c)) {
          collector->in_row = true;
          collector->row_start = line;
          break;
        }
      }
    }
    if (csv_parse(&parser, piece.data(), piece.size(), OnField, OnRow, collector) != piece.size() ||
        collector->too_many) {
      ok = false;
      break;
    }
    at = end;
  }
  if (ok) csv_fini(&parser, OnField, OnRow, collector);
  csv_free(&parser);
  return ok && !collector->too_many;
}

// The text of the file's bytes, as UTF-8.
std::string Decode(std::string_view bytes) {
  std::string text;
  if (bytes.starts_with("\xEF\xBB\xBF")) return base::ToValidUtf8(bytes.substr(3));
  if (bytes.starts_with("\xFF\xFE") && base::DecodeCharset(bytes.substr(2), "UTF-16LE", &text)) {
    return text;
  }
  if (bytes.starts_with("\xFE\xFF") && base::DecodeCharset(bytes.substr(2), "UTF-16BE", &text)) {
    return text;
  }
  if (base::IsValidUtf8(bytes)) return std::string(bytes);
  return base::GbkToUtf8(bytes);
}

}  // namespace

std::string TrimCell(std::string_view cell) {
  constexpr std::string_view kWideSpace = "\u3000";
  for (;;) {
    if (!cell.empty() && IsBlankByte(cell.front())) {
      cell.remove_prefix(1);
    } else if (cell.starts_with(kWideSpace)) {
      cell.remove_prefix(kWideSpace.size());
    } else if (!cell.empty() && IsBlankByte(cell.back())) {
      cell.remove_suffix(1);
    } else if (cell.ends_with(kWideSpace)) {
      cell.remove_suffix(kWideSpace.size());
    } else {
      return std::string(cell);
    }
  }
}

char GuessDelimiter(std::string_view text) {
  char best = ',';
  std::pair<int, std::size_t> best_score{0, 0};  // rows of the most common width, that width
  for (char delimiter : {',', '\t', ';'}) {
    Collector collector;
    Parse(text, delimiter, kGuessLines, &collector);
    std::map<std::size_t, int> widths;
    for (const SourceRow& row : collector.table.rows) ++widths[row.cells.size()];
    std::pair<int, std::size_t> score{0, 0};
    for (const auto& [width, rows] : widths) {
      if (width > 1 && std::pair(rows, width) > score) score = {rows, width};
    }
    if (score > best_score) {
      best_score = score;
      best = delimiter;
    }
  }
  return best;
}

TableOrError ReadTextTable(std::string_view bytes) {
  if (bytes.size() > kMaxFileBytes) return std::string(kFileTooLargeText);
  const std::string text = Decode(bytes);
  Collector collector;
  if (!Parse(text, GuessDelimiter(text), 0, &collector)) return std::string(kFileTooLargeText);
  return std::move(collector.table);
}

}  // namespace ledger_import
