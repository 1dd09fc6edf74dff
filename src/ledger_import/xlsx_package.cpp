#include "ledger_import/xlsx_package.h"

#include <zip.h>

#include <charconv>

#include "ledger_import/table.h"

namespace ledger_import::xlsx {
namespace {

std::string_view LocalName(const XML_Char* name) {
  std::string_view text(name);
  const size_t colon = text.rfind(':');
  return colon == std::string_view::npos ? text : text.substr(colon + 1);
}

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

}  // namespace

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

void Workbook::ZipCloser::operator()(struct zip* zip) const { zip_discard(zip); }

std::unique_ptr<Workbook> Workbook::Open(std::string_view bytes) {
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

PartState Workbook::Read(const std::string& path, XmlHandler& handler, std::string* message) {
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

std::string FolderOf(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string RelationshipsOf(std::string_view path) {
  const std::string folder = FolderOf(path);
  return folder + "_rels/" + std::string(path.substr(folder.size())) + ".rels";
}

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

}  // namespace ledger_import::xlsx
