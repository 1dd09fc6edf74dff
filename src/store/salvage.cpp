#include "store/salvage.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>

namespace store {

namespace {

// The file format's constants: the header, the page kinds of a table's tree and the largest
// payload a leaf keeps on its own page.
constexpr std::string_view kMagic("SQLite format 3\0", 16);
constexpr size_t kHeaderBytes = 100;
constexpr unsigned char kInteriorTablePage = 0x05;
constexpr unsigned char kLeafTablePage = 0x0D;
constexpr size_t kLeafOverhead = 35;
// No sound tree is deeper; a damaged one that loops is stopped by the visited pages too.
constexpr int kMaxDepth = 40;

std::uint64_t BigEndian(std::string_view bytes) {
  std::uint64_t value = 0;
  for (const char c : bytes) value = value << 8 | static_cast<unsigned char>(c);
  return value;
}

bool ReadVarint(std::string_view data, size_t* pos, std::uint64_t* value) {
  std::uint64_t result = 0;
  for (int i = 0; i < 9 && *pos < data.size(); ++i) {
    const auto byte = static_cast<unsigned char>(data[(*pos)++]);
    if (i == 8) {
      *value = result << 8 | byte;
      return true;
    }
    result = result << 7 | (byte & 0x7f);
    if ((byte & 0x80) == 0) {
      *value = result;
      return true;
    }
  }
  return false;
}

// One column of a record: its serial type says its kind and length.
bool ReadValue(std::uint64_t type, std::string_view body, size_t* at, SalvagedValue* value) {
  static constexpr size_t kIntBytes[] = {0, 1, 2, 3, 4, 6, 8};
  size_t length = 0;
  if (type == 10 || type == 11) return false;  // reserved
  if (type >= 1 && type <= 6) length = kIntBytes[type];
  if (type == 7) length = 8;
  if (type >= 12) length = static_cast<size_t>((type - 12) / 2);
  if (length > body.size() - *at) return false;
  const std::string_view bytes = body.substr(*at, length);
  *at += length;
  if (type == 0) {
    *value = std::monostate();
  } else if (type <= 6) {
    std::uint64_t raw = BigEndian(bytes);
    const unsigned bits = static_cast<unsigned>(length * 8);
    if (bits < 64 && (raw >> (bits - 1)) != 0) raw |= ~std::uint64_t{0} << bits;
    *value = static_cast<std::int64_t>(raw);
  } else if (type == 7) {
    const std::uint64_t raw = BigEndian(bytes);
    double real = 0;
    std::memcpy(&real, &raw, sizeof real);
    *value = real;
  } else if (type == 8 || type == 9) {
    *value = static_cast<std::int64_t>(type - 8);
  } else {
    *value = std::string(bytes);
  }
  return true;
}

bool DecodeRecord(std::string_view payload, std::vector<SalvagedValue>* values) {
  size_t pos = 0;
  std::uint64_t header_size = 0;
  if (!ReadVarint(payload, &pos, &header_size) || header_size < pos ||
      header_size > payload.size()) {
    return false;
  }
  const std::string_view header = payload.substr(0, static_cast<size_t>(header_size));
  size_t at = header.size();
  while (pos < header.size()) {
    std::uint64_t type = 0;
    SalvagedValue value;
    if (!ReadVarint(header, &pos, &type) || !ReadValue(type, payload, &at, &value)) return false;
    values->push_back(std::move(value));
  }
  return true;
}

class TreeWalk {
 public:
  explicit TreeWalk(std::string bytes) : bytes_(std::move(bytes)) {
    if (bytes_.size() < kHeaderBytes || std::string_view(bytes_).substr(0, 16) != kMagic) return;
    size_t size = static_cast<size_t>(BigEndian(std::string_view(bytes_).substr(16, 2)));
    if (size == 1) size = 65536;
    const size_t reserved = static_cast<unsigned char>(bytes_[20]);
    if (size < 512 || (size & (size - 1)) != 0 || reserved + 480 > size) return;
    page_size_ = size;
    usable_ = size - reserved;
    // A file cut off inside a page reads as SQLite reads it: the missing bytes as zeros.
    bytes_.resize((bytes_.size() + size - 1) / size * size, '\0');
  }

  // Every readable row of the tree whose root is `page`.
  std::vector<SalvagedRow> Rows(std::uint64_t root) {
    std::vector<SalvagedRow> rows;
    visited_.clear();
    Walk(root, 0, &rows);
    std::stable_sort(rows.begin(), rows.end(),
                     [](const auto& a, const auto& b) { return a.rowid < b.rowid; });
    rows.erase(std::unique(rows.begin(), rows.end(),
                           [](const auto& a, const auto& b) { return a.rowid == b.rowid; }),
               rows.end());
    return rows;
  }

 private:
  void Walk(std::uint64_t number, int depth, std::vector<SalvagedRow>* rows) {
    if (page_size_ == 0 || number < 1 || number > bytes_.size() / page_size_ || depth > kMaxDepth ||
        !visited_.insert(number).second) {
      return;
    }
    const std::string_view page =
        std::string_view(bytes_).substr((number - 1) * page_size_, usable_);
    const size_t header = number == 1 ? kHeaderBytes : 0;
    const auto kind = static_cast<unsigned char>(page[header]);
    if (kind != kInteriorTablePage && kind != kLeafTablePage) return;
    const bool leaf = kind == kLeafTablePage;
    const size_t cells = static_cast<size_t>(BigEndian(page.substr(header + 3, 2)));
    const size_t pointers = header + (leaf ? 8 : 12);
    if (pointers + cells * 2 > page.size()) return;
    for (size_t i = 0; i < cells; ++i) {
      const size_t cell = static_cast<size_t>(BigEndian(page.substr(pointers + i * 2, 2)));
      if (cell < pointers + cells * 2 || cell >= page.size()) continue;
      if (leaf) {
        ReadCell(page.substr(cell), rows);
      } else if (cell + 4 <= page.size()) {
        Walk(BigEndian(page.substr(cell, 4)), depth + 1, rows);
      }
    }
    if (!leaf) Walk(BigEndian(page.substr(header + 8, 4)), depth + 1, rows);
  }

  void ReadCell(std::string_view cell, std::vector<SalvagedRow>* rows) const {
    size_t pos = 0;
    std::uint64_t size = 0;
    std::uint64_t rowid = 0;
    // A row too long for its page goes on in overflow pages; no row of the program's is.
    if (!ReadVarint(cell, &pos, &size) || !ReadVarint(cell, &pos, &rowid) ||
        size > usable_ - kLeafOverhead || size > cell.size() - pos) {
      return;
    }
    SalvagedRow row;
    row.rowid = static_cast<std::int64_t>(rowid);
    if (DecodeRecord(cell.substr(pos, static_cast<size_t>(size)), &row.values)) {
      rows->push_back(std::move(row));
    }
  }

  std::string bytes_;
  size_t page_size_ = 0;
  size_t usable_ = 0;
  std::set<std::uint64_t> visited_;
};

}  // namespace

std::vector<SalvagedRow> SalvageRows(const std::filesystem::path& file, std::string_view table) {
  std::ifstream in(file, std::ios::binary);
  TreeWalk walk(std::string(std::istreambuf_iterator<char>(in), {}));
  // The schema is the table whose tree starts at page 1: type, name, table name, root, text.
  for (const SalvagedRow& entry : walk.Rows(1)) {
    const auto& v = entry.values;
    const auto* type = v.size() > 3 ? std::get_if<std::string>(&v[0]) : nullptr;
    const auto* name = v.size() > 3 ? std::get_if<std::string>(&v[1]) : nullptr;
    const auto* root = v.size() > 3 ? std::get_if<std::int64_t>(&v[3]) : nullptr;
    if (type && name && root && *type == "table" && *name == table && *root > 1) {
      return walk.Rows(static_cast<std::uint64_t>(*root));
    }
  }
  return {};
}

}  // namespace store
