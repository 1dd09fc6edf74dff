#pragma once

// A workbook's package: the zip archive of its XML parts, each part streamed through a handler
// of its elements, and the relationships that name one part from another. What the parts mean
// (the sheet, its strings and styles) is read in xlsx_table.cpp.

#include <expat.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct zip;

namespace ledger_import::xlsx {

inline constexpr char kNotWorkbookText[] = "不是XLSX工作簿，或文件已损坏";
// A workbook has a few dozen parts; a directory of more is refused before it is read.
inline constexpr std::uint32_t kMaxParts = 10'000;

// The value of the attribute whose local name is `name`, or nothing.
std::optional<std::string_view> Attribute(const XML_Char** attributes, std::string_view name);

// A whole decimal integer, nothing else.
std::optional<long long> Integer(std::string_view text);

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

enum class PartState { kRead, kMissing, kFailed };

class Workbook {
 public:
  // The package of `bytes`, which must outlive it; nothing when it is no zip archive or
  // announces more than kMaxParts parts.
  static std::unique_ptr<Workbook> Open(std::string_view bytes);
  // Feeds the part named `path` through `handler`, unpacking at most kMaxFileBytes of it;
  // `message` says why it failed.
  PartState Read(const std::string& path, XmlHandler& handler, std::string* message);

 private:
  struct ZipCloser {
    void operator()(struct zip* zip) const;
  };
  explicit Workbook(struct zip* zip) : zip_(zip) {}
  std::unique_ptr<struct zip, ZipCloser> zip_;
};

// The folder of a part ("xl/" of "xl/workbook.xml").
std::string FolderOf(std::string_view path);
// The relationships part of `path`: "xl/_rels/workbook.xml.rels".
std::string RelationshipsOf(std::string_view path);
// A relationship's target, relative to `folder` unless it starts with "/", with "." and ".."
// resolved.
std::string Resolve(std::string_view folder, std::string_view target);

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

}  // namespace ledger_import::xlsx
