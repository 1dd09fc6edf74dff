#pragma once

// Text tables (CSV/TXT): the bytes of a file as rows of cells.

#include <string_view>

#include "ledger_import/table.h"

namespace ledger_import {

// The encoding: UTF-16 when the bytes start with its byte-order mark; UTF-8, with or without
// its mark, when the bytes are well-formed UTF-8; GB18030 (GBK) otherwise.
// The delimiter: a comma, a tab or a semicolon, whichever splits the first lines (outside
// quotes) into the same number of cells, above one, most often.
// Fields as RFC 4180: a field in double quotes may hold delimiters and line breaks, and "" in
// it stands for one quote; lines end with LF or CR LF.
TableOrError ReadTextTable(std::string_view bytes);

// The delimiter ReadTextTable would choose for `text` (UTF-8).
char GuessDelimiter(std::string_view text);

}  // namespace ledger_import
