#include "ledger_import/xlsx_table.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "base/nav_history.h"
#include "ledger_import/xlsx_package.h"

namespace ledger_import {
namespace {

using xlsx::Attribute;
using xlsx::FolderOf;
using xlsx::Integer;
using xlsx::kNotWorkbookText;
using xlsx::PartState;
using xlsx::Relationship;
using xlsx::RelationshipsHandler;
using xlsx::RelationshipsOf;
using xlsx::Resolve;
using xlsx::Workbook;
using xlsx::XmlHandler;

constexpr char kNoSheetText[] = "工作簿中没有工作表";
constexpr int kMaxColumns = 16'384;  // A to XFD
constexpr int kMaxRows = 1'048'576;

class WorkbookHandler : public XmlHandler {
 public:
  void Start(std::string_view name, const XML_Char** attributes) override {
    if (name == "workbookPr") {
      const std::string_view value = Attribute(attributes, "date1904").value_or("");
      date1904 = value == "1" || value == "true";
    } else if (name == "sheet" && !first_sheet) {
      first_sheet = std::string(Attribute(attributes, "id").value_or(""));
    }
  }
  void End(std::string_view) override {}

  bool date1904 = false;
  std::optional<std::string> first_sheet;  // its relationship id
};

// The text of rich or plain string items (<si> and <is>): their <t> runs, less the phonetic
// runs (<rPh>) that only guide reading.
class StringCollector {
 public:
  void Start(std::string_view name) {
    if (name == "rPh") ++phonetic_;
    if (name == "t") ++in_text_;
  }
  void End(std::string_view name) {
    if (name == "rPh" && phonetic_ > 0) --phonetic_;
    if (name == "t" && in_text_ > 0) --in_text_;
  }
  void Text(std::string_view text) {
    if (in_text_ > 0 && phonetic_ == 0) value.append(text);
  }
  void Reset() {
    value.clear();
    phonetic_ = in_text_ = 0;
  }

  std::string value;

 private:
  int phonetic_ = 0;
  int in_text_ = 0;
};

class SharedStringsHandler : public XmlHandler {
 public:
  void Start(std::string_view name, const XML_Char**) override {
    if (name == "si") {
      in_item_ = true;
      item_.Reset();
    } else if (in_item_) {
      item_.Start(name);
    }
  }
  void End(std::string_view name) override {
    if (name == "si" && in_item_) {
      in_item_ = false;
      if (strings.size() >= kMaxCells) {
        failure = kFileTooLargeText;
        return;
      }
      strings.push_back(TrimCell(item_.value));
    } else if (in_item_) {
      item_.End(name);
    }
  }
  void Text(std::string_view text) override {
    if (in_item_) item_.Text(text);
  }

  std::vector<std::string> strings;

 private:
  bool in_item_ = false;
  StringCollector item_;
};

class StylesHandler : public XmlHandler {
 public:
  void Start(std::string_view name, const XML_Char** attributes) override {
    if (name == "numFmt") {
      const auto id = Integer(Attribute(attributes, "numFmtId").value_or(""));
      if (id) custom_[*id] = DateFormatOf(Attribute(attributes, "formatCode").value_or(""));
    } else if (name == "cellXfs") {
      in_cell_formats_ = true;
    } else if (name == "xf" && in_cell_formats_ && formats_.size() < kMaxCells) {
      formats_.push_back(Integer(Attribute(attributes, "numFmtId").value_or("0")).value_or(0));
    }
  }
  void End(std::string_view name) override {
    if (name == "cellXfs") in_cell_formats_ = false;
  }

  // The date format of each cell style, by its index.
  std::vector<DateFormat> StyleFormats() const {
    std::vector<DateFormat> styles;
    styles.reserve(formats_.size());
    for (long long id : formats_) {
      const auto custom = custom_.find(id);
      styles.push_back(custom != custom_.end()
                           ? custom->second
                           : BuiltInDateFormat(static_cast<int>(std::clamp(id, -1LL, 1000LL))));
    }
    return styles;
  }

 private:
  std::map<long long, DateFormat> custom_;
  std::vector<long long> formats_;
  bool in_cell_formats_ = false;
};

// Column (0-based) and row (1-based) of a reference such as "C5"; nothing when it is not one.
std::optional<std::pair<int, int>> CellReference(std::string_view reference) {
  size_t at = 0;
  long long column = 0;
  while (at < reference.size() && reference[at] >= 'A' && reference[at] <= 'Z' && at < 3) {
    column = column * 26 + (reference[at] - 'A' + 1);
    ++at;
  }
  const std::optional<long long> row = Integer(reference.substr(at));
  if (at == 0 || column > kMaxColumns || !row || *row < 1 || *row > kMaxRows) return std::nullopt;
  return std::pair(static_cast<int>(column - 1), static_cast<int>(*row));
}

class SheetHandler : public XmlHandler {
 public:
  SheetHandler(const std::vector<std::string>& strings, const std::vector<DateFormat>& styles,
               bool date1904)
      : strings_(strings), styles_(styles), date1904_(date1904) {}

  void Start(std::string_view name, const XML_Char** attributes) override {
    if (name == "row") {
      const auto number = Integer(Attribute(attributes, "r").value_or(""));
      row_.line =
          number && *number >= 1 && *number <= kMaxRows ? static_cast<int>(*number) : row_.line + 1;
      row_.cells.clear();
      next_column_ = 0;
      in_row_ = true;
    } else if (name == "c" && in_row_) {
      const auto reference = CellReference(Attribute(attributes, "r").value_or(""));
      column_ = reference ? reference->first : next_column_;
      type_ = std::string(Attribute(attributes, "t").value_or(""));
      style_ = Integer(Attribute(attributes, "s").value_or("0")).value_or(0);
      value_.clear();
      inline_.Reset();
      in_cell_ = true;
    } else if (in_cell_ && name == "v") {
      in_value_ = true;
    } else if (in_cell_ && name == "is") {
      in_inline_ = true;
    } else if (in_inline_) {
      inline_.Start(name);
    }
  }

  void End(std::string_view name) override {
    if (name == "row" && in_row_) {
      in_row_ = false;
      if (!row_.cells.empty()) table.rows.push_back(row_);
    } else if (name == "c" && in_cell_) {
      in_cell_ = in_value_ = in_inline_ = false;
      Place(CellText());
    } else if (name == "v") {
      in_value_ = false;
    } else if (name == "is") {
      in_inline_ = false;
    } else if (in_inline_) {
      inline_.End(name);
    }
  }

  void Text(std::string_view text) override {
    if (in_value_) value_.append(text);
    if (in_inline_) inline_.Text(text);
  }

  Table table;

 private:
  std::string CellText() const {
    if (type_ == "s") {
      const auto index = Integer(value_);
      return index && *index >= 0 && static_cast<size_t>(*index) < strings_.size()
                 ? strings_[static_cast<size_t>(*index)]
                 : std::string();
    }
    if (type_ == "inlineStr") return TrimCell(inline_.value);
    if (type_ == "b") return value_ == "1" ? "TRUE" : value_ == "0" ? "FALSE" : TrimCell(value_);
    if (type_ == "d") {
      std::string text = TrimCell(value_).substr(0, 19);
      if (text.size() > 10 && text[10] == 'T') text[10] = ' ';
      if (text.ends_with(" 00:00:00")) text.resize(10);
      return text;
    }
    if (type_ == "str" || type_ == "e") return TrimCell(value_);
    const std::string number = TrimCell(value_);
    if (style_ >= 0 && static_cast<size_t>(style_) < styles_.size() &&
        styles_[static_cast<size_t>(style_)] != DateFormat::kNone) {
      double serial = 0;
      const auto [end, error] =
          std::from_chars(number.data(), number.data() + number.size(), serial);
      if (error == std::errc() && end == number.data() + number.size()) {
        std::string text = SerialText(serial, date1904_, styles_[static_cast<size_t>(style_)]);
        if (!text.empty()) return text;
      }
    }
    return NumberText(number);
  }

  void Place(std::string text) {
    next_column_ = column_ + 1;
    if (text.empty()) return;
    const size_t column = static_cast<size_t>(column_);
    if (column >= row_.cells.size()) {
      cells_ += column + 1 - row_.cells.size();
      if (cells_ > kMaxCells) {
        failure = kFileTooLargeText;
        return;
      }
      row_.cells.resize(column + 1);
    }
    row_.cells[column] = std::move(text);
  }

  const std::vector<std::string>& strings_;
  const std::vector<DateFormat>& styles_;
  const bool date1904_;
  SourceRow row_;
  bool in_row_ = false, in_cell_ = false, in_value_ = false, in_inline_ = false;
  int column_ = 0, next_column_ = 0;
  long long style_ = 0;
  std::string type_, value_;
  StringCollector inline_;
  size_t cells_ = 0;
};

// The rows by their numbers; a row number that comes twice (a damaged file) is one row with the
// cells of both, the later one's where both have one.
Table InRowOrder(Table table) {
  std::stable_sort(table.rows.begin(), table.rows.end(),
                   [](const SourceRow& a, const SourceRow& b) { return a.line < b.line; });
  std::vector<SourceRow> rows;
  for (SourceRow& row : table.rows) {
    if (rows.empty() || rows.back().line != row.line) {
      rows.push_back(std::move(row));
      continue;
    }
    std::vector<std::string>& cells = rows.back().cells;
    if (cells.size() < row.cells.size()) cells.resize(row.cells.size());
    for (size_t i = 0; i < row.cells.size(); ++i) {
      if (!row.cells[i].empty()) cells[i] = std::move(row.cells[i]);
    }
  }
  table.rows = std::move(rows);
  return table;
}

}  // namespace

TableOrError ReadXlsxTable(std::string_view bytes) {
  if (bytes.size() > kMaxFileBytes) return std::string(kFileTooLargeText);
  const std::unique_ptr<Workbook> workbook = Workbook::Open(bytes);
  if (workbook == nullptr) return std::string(kNotWorkbookText);
  std::string message;
  // The package's relationships name the workbook part.
  RelationshipsHandler root;
  std::string workbook_path = "xl/workbook.xml";
  if (workbook->Read("_rels/.rels", root, &message) == PartState::kFailed) return message;
  if (const Relationship* office = root.ByType("/officeDocument")) {
    workbook_path = Resolve("", office->target);
  }
  WorkbookHandler book;
  if (workbook->Read(workbook_path, book, &message) != PartState::kRead) {
    return message.empty() ? std::string(kNotWorkbookText) : message;
  }
  RelationshipsHandler parts;
  if (workbook->Read(RelationshipsOf(workbook_path), parts, &message) != PartState::kRead) {
    return message.empty() ? std::string(kNotWorkbookText) : message;
  }
  if (!book.first_sheet) return std::string(kNoSheetText);
  const Relationship* sheet = parts.ById(*book.first_sheet);
  if (sheet == nullptr) return std::string(kNotWorkbookText);
  const std::string folder = FolderOf(workbook_path);

  SharedStringsHandler strings;
  const Relationship* strings_part = parts.ByType("/sharedStrings");
  if (strings_part != nullptr && workbook->Read(Resolve(folder, strings_part->target), strings,
                                                &message) == PartState::kFailed) {
    return message;
  }
  StylesHandler styles;
  const Relationship* styles_part = parts.ByType("/styles");
  if (styles_part != nullptr && workbook->Read(Resolve(folder, styles_part->target), styles,
                                               &message) == PartState::kFailed) {
    return message;
  }
  const std::vector<DateFormat> style_formats = styles.StyleFormats();
  SheetHandler cells(strings.strings, style_formats, book.date1904);
  if (workbook->Read(Resolve(folder, sheet->target), cells, &message) != PartState::kRead) {
    return message.empty() ? std::string(kNotWorkbookText) : message;
  }
  return InRowOrder(std::move(cells.table));
}

}  // namespace ledger_import
