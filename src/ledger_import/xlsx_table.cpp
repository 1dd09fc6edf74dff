#include "ledger_import/xlsx_table.h"

#include <expat.h>
#include <zip.h>

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

namespace ledger_import {
namespace {

constexpr char kNotWorkbookText[] = "不是XLSX工作簿，或文件已损坏";
constexpr char kNoSheetText[] = "工作簿中没有工作表";
// A workbook has a few dozen parts; a directory of more is refused before it is read.
constexpr std::uint32_t kMaxParts = 10'000;
constexpr int kMaxColumns = 16'384;  // A to XFD
constexpr int kMaxRows = 1'048'576;

std::string_view LocalName(const XML_Char* name) {
  std::string_view text(name);
  const size_t colon = text.rfind(':');
  return colon == std::string_view::npos ? text : text.substr(colon + 1);
}

// The value of the attribute whose local name is `name`, or nothing.
std::optional<std::string_view> Attribute(const XML_Char** attributes, std::string_view name) {
  for (int i = 0; attributes[i] != nullptr; i += 2) {
    if (LocalName(attributes[i]) == name) return std::string_view(attributes[i + 1]);
  }
  return std::nullopt;
}

std::optional<long long> Integer(std::string_view text) {
  long long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// What reads one XML part: its elements by local name, and the text inside them.
class XmlHandler {
 public:
  virtual ~XmlHandler() = default;
  virtual void Start(std::string_view name, const XML_Char** attributes) = 0;
  virtual void End(std::string_view name) = 0;
  virtual void Text(std::string_view text) {}
  // Set by a handler that gives up (a sheet beyond its limits); the reading stops with it.
  std::string failure;
};

struct ParseContext {
  XML_Parser parser;
  XmlHandler* handler;
  bool doctype = false;
};

void StopIfFailed(ParseContext& context) {
  if (!context.handler->failure.empty()) XML_StopParser(context.parser, XML_FALSE);
}

void OnStart(void* data, const XML_Char* name, const XML_Char** attributes) {
  auto& context = *static_cast<ParseContext*>(data);
  context.handler->Start(LocalName(name), attributes);
  StopIfFailed(context);
}

void OnEnd(void* data, const XML_Char* name) {
  auto& context = *static_cast<ParseContext*>(data);
  context.handler->End(LocalName(name));
  StopIfFailed(context);
}

void OnText(void* data, const XML_Char* text, int length) {
  auto& context = *static_cast<ParseContext*>(data);
  context.handler->Text(std::string_view(text, static_cast<size_t>(length)));
  StopIfFailed(context);
}

// A workbook's parts never declare a document type; one that does (entities) is refused.
void OnDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  auto& context = *static_cast<ParseContext*>(data);
  context.doctype = true;
  XML_StopParser(context.parser, XML_FALSE);
}

enum class PartState { kRead, kMissing, kFailed };

struct ZipCloser {
  void operator()(zip_t* zip) const { zip_discard(zip); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* file) const { zip_fclose(file); }
};
struct ParserFree {
  void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

// Little-endian integer of `size` bytes at `at`; nothing beyond the end.
std::optional<std::uint64_t> LittleEndian(std::string_view bytes, std::size_t at,
                                          std::size_t size) {
  if (at > bytes.size() || bytes.size() - at < size) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = size; i-- > 0;) {
    value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  }
  return value;
}

// The count of parts the zip's end record announces (or, for a zip in its 64-bit form, the
// record that one points to); nothing when there is none.
std::optional<std::uint64_t> PartCount(std::string_view bytes) {
  constexpr std::size_t kEndRecord = 22;
  constexpr std::size_t kLocator = 20;
  if (bytes.size() < kEndRecord) return std::nullopt;
  const std::size_t lowest =
      bytes.size() > kEndRecord + 0xFFFF ? bytes.size() - kEndRecord - 0xFFFF : 0;
  for (std::size_t at = bytes.size() - kEndRecord + 1; at-- > lowest;) {
    if (bytes.compare(at, 4, "PK\x05\x06") != 0) continue;
    const std::optional<std::uint64_t> count = LittleEndian(bytes, at + 10, 2);
    if (count != 0xFFFF) return count;
    if (at < kLocator || bytes.compare(at - kLocator, 4, "PK\x06\x07") != 0) return std::nullopt;
    const std::optional<std::uint64_t> record = LittleEndian(bytes, at - kLocator + 8, 8);
    if (!record || *record > bytes.size() || bytes.compare(*record, 4, "PK\x06\x06") != 0) {
      return std::nullopt;
    }
    return LittleEndian(bytes, *record + 32, 8);
  }
  return std::nullopt;
}

class Workbook {
 public:
  static std::unique_ptr<Workbook> Open(std::string_view bytes) {
    const std::optional<std::uint64_t> parts = PartCount(bytes);
    if (!parts || *parts > kMaxParts) return nullptr;
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (source == nullptr) {
      zip_error_fini(&error);
      return nullptr;
    }
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY, &error);
    zip_error_fini(&error);
    if (zip == nullptr) {
      zip_source_free(source);
      return nullptr;
    }
    return std::unique_ptr<Workbook>(new Workbook(zip));
  }

  // Feeds the part named `path` through `handler`, unpacking at most kMaxFileBytes of it.
  PartState Read(const std::string& path, XmlHandler& handler, std::string* message) {
    const zip_int64_t index = zip_name_locate(zip_.get(), path.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return PartState::kMissing;
    std::unique_ptr<zip_file_t, ZipFileCloser> file(
        zip_fopen_index(zip_.get(), static_cast<zip_uint64_t>(index), 0));
    *message = kNotWorkbookText;
    if (file == nullptr) return PartState::kFailed;
    std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreate(nullptr));
    if (parser == nullptr) return PartState::kFailed;
    ParseContext context{parser.get(), &handler};
    XML_SetUserData(parser.get(), &context);
    XML_SetElementHandler(parser.get(), OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser.get(), OnText);
    XML_SetStartDoctypeDeclHandler(parser.get(), OnDoctype);
    std::vector<char> buffer(std::size_t{1} << 16);
    std::size_t total = 0;
    for (;;) {
      const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
      if (got < 0) return PartState::kFailed;
      total += static_cast<std::size_t>(got);
      if (total > kMaxFileBytes) {
        *message = kFileTooLargeText;
        return PartState::kFailed;
      }
      const bool last = got == 0;
      if (XML_Parse(parser.get(), buffer.data(), static_cast<int>(got), last) != XML_STATUS_OK) {
        if (!handler.failure.empty()) *message = handler.failure;
        return PartState::kFailed;
      }
      if (last) return PartState::kRead;
    }
  }

 private:
  explicit Workbook(zip_t* zip) : zip_(zip) {}
  std::unique_ptr<zip_t, ZipCloser> zip_;
};

// The folder of a part ("xl/" of "xl/workbook.xml").
std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

// The relationships part of `path`: "xl/_rels/workbook.xml.rels".
std::string RelationshipsOf(std::string_view path) {
  const std::string folder = FolderOf(path);
  return folder + "_rels/" + std::string(path.substr(folder.size())) + ".rels";
}

// A relationship's target, relative to `folder` unless it starts with "/", with "." and ".."
// resolved.
std::string Resolve(std::string_view folder, std::string_view target) {
  std::string joined = target.starts_with('/') ? std::string(target.substr(1))
                                               : std::string(folder) + std::string(target);
  std::vector<std::string> parts;
  size_t at = 0;
  while (at <= joined.size()) {
    size_t slash = joined.find('/', at);
    if (slash == std::string::npos) slash = joined.size();
    const std::string part = joined.substr(at, slash - at);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    at = slash + 1;
  }
  std::string path;
  for (const std::string& part : parts) path += (path.empty() ? "" : "/") + part;
  return path;
}

struct Relationship {
  std::string id, type, target;
};

class RelationshipsHandler : public XmlHandler {
 public:
  void Start(std::string_view name, const XML_Char** attributes) override {
    if (name != "Relationship" || list.size() >= kMaxParts) return;
    list.push_back({std::string(Attribute(attributes, "Id").value_or("")),
                    std::string(Attribute(attributes, "Type").value_or("")),
                    std::string(Attribute(attributes, "Target").value_or(""))});
  }
  void End(std::string_view) override {}

  const Relationship* ByType(std::string_view suffix) const {
    for (const Relationship& relationship : list) {
      if (relationship.type.ends_with(suffix)) return &relationship;
    }
    return nullptr;
  }
  const Relationship* ById(std::string_view id) const {
    for (const Relationship& relationship : list) {
      if (relationship.id == id) return &relationship;
    }
    return nullptr;
  }

  std::vector<Relationship> list;
};

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
