// Fuzzes the workbook writer with arbitrary tables, then reads the compound file back with an
// independent reader (FAT and DIFAT chains, record walk, shared strings with their CONTINUE
// rules) and traps when a cell does not come back as written.
//
// Input: byte 0 = rows, byte 1 = columns (see Dimension), then the cells' texts in row order
// separated by 0x1F (missing cells are empty). 0x1E followed by a byte n repeats the cell's last
// character (n + 1) * 32 more times, so that short inputs reach strings that cross the
// 8224-byte record limit into CONTINUE records, where the wide-flag byte is repeated and a
// surrogate pair must not be split. Tables the export refuses (a cell over 32767 UTF-16 units)
// are skipped. Run with the dictionary beside the target (biff8_writer_fuzz.dict).

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "export/compound_file.h"
#include "export/shared_strings.h"
#include "export/utf16.h"
#include "export/workbook_stream.h"

namespace {

void Require(bool condition) {
  if (!condition) __builtin_trap();
}

class Table : public exporter::TableSource {
 public:
  Table(int rows, int cols, std::vector<std::string> cells)
      : rows_(rows), cols_(cols), cells_(std::move(cells)) {}
  int RowCount() const override { return rows_; }
  int ColumnCount() const override { return cols_; }
  std::string_view Text(int row, int column) const override {
    const size_t i = static_cast<size_t>(row) * cols_ + column;
    return i < cells_.size() ? std::string_view(cells_[i]) : std::string_view();
  }

 private:
  int rows_, cols_;
  std::vector<std::string> cells_;
};

class Memory : public exporter::OutputFile {
 public:
  bool Write(std::string_view bytes) override {
    bytes_.append(bytes);
    return true;
  }
  bool Commit() override { return true; }
  std::string bytes_;
};

uint32_t U32(std::string_view s, size_t at) {
  Require(at + 4 <= s.size());
  return static_cast<uint32_t>(static_cast<unsigned char>(s[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 1])) << 8 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 2])) << 16 |
         static_cast<uint32_t>(static_cast<unsigned char>(s[at + 3])) << 24;
}
uint16_t U16(std::string_view s, size_t at) {
  Require(at + 2 <= s.size());
  return static_cast<uint16_t>(static_cast<unsigned char>(s[at]) |
                               static_cast<unsigned char>(s[at + 1]) << 8);
}

// The Workbook stream, found through the header, DIFAT, FAT and directory.
std::string ReadWorkbook(std::string_view file) {
  Require(file.size() % 512 == 0 && file.size() >= 1024);
  const uint32_t sectors = static_cast<uint32_t>(file.size() / 512 - 1);
  auto sector = [&](uint32_t id) {
    Require(id < sectors);
    return file.substr(512 + size_t{id} * 512, 512);
  };
  const uint32_t fat_count = U32(file, 0x2C);
  std::vector<uint32_t> fat_ids;
  for (uint32_t i = 0; i < 109 && fat_ids.size() < fat_count; ++i) {
    fat_ids.push_back(U32(file, 0x4C + i * 4));
  }
  for (uint32_t d = U32(file, 0x44), n = 0; d != 0xFFFFFFFE; ++n) {
    Require(n < U32(file, 0x48));
    const std::string_view s = sector(d);
    for (uint32_t k = 0; k < 127 && fat_ids.size() < fat_count; ++k)
      fat_ids.push_back(U32(s, k * 4));
    d = U32(s, 508);
  }
  Require(fat_ids.size() == fat_count && fat_count * 128 >= sectors);
  std::vector<uint32_t> fat;
  for (uint32_t id : fat_ids) {
    const std::string_view s = sector(id);
    for (int k = 0; k < 128; ++k) fat.push_back(U32(s, k * 4));
  }
  for (uint32_t id : fat_ids) Require(fat[id] == 0xFFFFFFFD);
  auto chain = [&](uint32_t start, uint64_t size) {
    std::string out;
    for (uint32_t id = start; id != 0xFFFFFFFE; id = fat[id]) {
      Require(out.size() < file.size());
      out.append(sector(id));
    }
    Require(out.size() >= size);
    out.resize(size);
    return out;
  };
  const std::string dir = chain(U32(file, 0x30), 512);
  Require(dir[0x42] == 5 && dir[128 + 0x42] == 2);
  const uint32_t size = U32(dir, 128 + 0x78);
  Require(size >= 4096);
  return chain(U32(dir, 128 + 0x74), size);
}

struct Record {
  uint16_t id;
  std::string_view body;
};

std::vector<std::u16string> DecodeSst(const std::vector<Record>& records, size_t first) {
  size_t r = first;
  std::string_view data = records[r].body;
  size_t pos = 8;
  const uint32_t unique = U32(data, 4);
  std::vector<std::u16string> out;
  while (out.size() < unique) {
    if (pos == data.size()) {
      Require(records[++r].id == 0x003C);
      data = records[r].body;
      pos = 0;
    }
    const uint16_t cch = U16(data, pos);
    Require(pos + 2 < data.size());
    bool wide = data[pos + 2] & 1;
    pos += 3;
    std::u16string text;
    while (text.size() < cch) {
      if (pos == data.size()) {
        Require(records[++r].id == 0x003C);
        data = records[r].body;
        wide = data[0] & 1;
        pos = 1;
      }
      if (wide) {
        const char16_t unit = U16(data, pos);
        pos += 2;
        // A pair's halves stay in one record.
        if (unit >= 0xD800 && unit <= 0xDBFF && text.size() + 1 < cch) Require(pos < data.size());
        text.push_back(unit);
      } else {
        text.push_back(static_cast<unsigned char>(data[pos++]));
      }
    }
    out.push_back(std::move(text));
  }
  return out;
}

// Mostly small tables, which run hundreds of times faster, and now and then one at the
// worksheet's 256-column edge: 0x00-0xEF give 1-16, 0xF0-0xFF give 241-256.
int Dimension(uint8_t byte) { return byte < 0xF0 ? byte % 16 + 1 : byte - 0xF0 + 241; }

// Appends `times` copies of the last UTF-8 character of `text` (its lead byte and up to three
// continuation bytes; a stray byte counts as a character).
void Repeat(std::string* text, size_t times) {
  if (text->empty()) return;
  size_t start = text->size() - 1;
  while (start > 0 && text->size() - start < 4 &&
         (static_cast<unsigned char>((*text)[start]) & 0xC0) == 0x80) {
    --start;
  }
  const std::string unit = text->substr(start);
  for (size_t i = 0; i < times; ++i) text->append(unit);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int rows = Dimension(data[0]);
  const int cols = Dimension(data[1]);
  // A few records' worth of text is enough; more would only slow the search down.
  constexpr size_t kMaxTextBytes = 1 << 18;
  size_t text_bytes = 0;
  std::vector<std::string> cells(1);
  for (size_t i = 2; i < size; ++i) {
    if (data[i] == 0x1F) {
      cells.emplace_back();
    } else if (data[i] == 0x1E && i + 1 < size) {
      const size_t before = cells.back().size();
      Repeat(&cells.back(), (data[++i] + 1) * 32);
      text_bytes += cells.back().size() - before;
      if (text_bytes > kMaxTextBytes) return 0;
    } else {
      cells.back().push_back(static_cast<char>(data[i]));
    }
  }
  for (const std::string& text : cells) {
    if (exporter::Utf16Length(text) > exporter::kMaxCellUnits) return 0;
  }
  const Table table(rows, cols, std::move(cells));

  const exporter::WorkbookStream stream = exporter::BuildWorkbookStream(table);
  Memory file;
  Require(exporter::WriteCompoundFile({stream.globals, stream.sheet}, file));
  Require(file.bytes_.size() ==
          exporter::PlanCompoundFile(stream.globals.size() + stream.sheet.size()).file_bytes);
  const std::string workbook = ReadWorkbook(file.bytes_);

  std::vector<Record> records;
  for (size_t at = 0; at + 4 <= workbook.size();) {
    const uint16_t id = U16(workbook, at);
    const uint16_t length = U16(workbook, at + 2);
    Require(length <= exporter::kMaxRecordBody && at + 4 + length <= workbook.size());
    records.push_back({id, std::string_view(workbook).substr(at + 4, length)});
    at += 4 + length;
    if (id == 0x000A && records.front().id == 0x0809 && records.size() > 1 &&
        std::count_if(records.begin(), records.end(),
                      [](const Record& x) { return x.id == 0x000A; }) == 2) {
      break;
    }
  }
  size_t sst = 0;
  while (records[sst].id != 0x00FC) ++sst;
  const std::vector<std::u16string> strings = DecodeSst(records, sst);

  size_t cell = 0;
  for (const Record& rec : records) {
    if (rec.id != 0x00FD && rec.id != 0x0201) continue;
    const int row = U16(rec.body, 0);
    const int col = U16(rec.body, 2);
    Require(static_cast<size_t>(row) * cols + col == cell);  // every cell, in order
    ++cell;
    std::vector<uint16_t> want;
    exporter::AppendUtf16(table.Text(row, col), &want);
    if (rec.id == 0x0201) {
      Require(want.empty());
      continue;
    }
    const uint32_t index = U32(rec.body, 6);
    Require(index < strings.size());
    Require(std::u16string(want.begin(), want.end()) == strings[index]);
  }
  Require(cell == static_cast<size_t>(rows) * cols);
  return 0;
}
