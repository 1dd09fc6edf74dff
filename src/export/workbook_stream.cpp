#include "export/workbook_stream.h"

#include <algorithm>
#include <cstdint>

#include "export/byte_buffer.h"
#include "export/shared_strings.h"

namespace exporter {

namespace {

enum : uint16_t {
  kBof = 0x0809,
  kEof = 0x000A,
  kCodepage = 0x0042,
  kWindow1 = 0x003D,
  kDateMode = 0x0022,
  kFont = 0x0031,
  kFormat = 0x041E,
  kXf = 0x00E0,
  kStyle = 0x0293,
  kBoundSheet = 0x0085,
  kColInfo = 0x007D,
  kDimensions = 0x0200,
  kRow = 0x0208,
  kLabelSst = 0x00FD,
  kBlank = 0x0201,
  kWindow2 = 0x023E,
  kPane = 0x0041,
  kSelection = 0x001D,
};

// Custom number formats are numbered from 164 on.
constexpr uint16_t kCodeFormat = 164;
// Font indices as cells see them: index 4 does not exist in BIFF8, so the fifth and sixth
// FONT records are fonts 5 and 6.
constexpr uint16_t kTableFont = 5;
constexpr uint16_t kHeaderFont = 6;
constexpr uint16_t kDefaultCellXf = 15;
// Cell XFs after the 15 style XFs and the default cell XF.
constexpr uint16_t kXfHeaderCode = 16;
constexpr uint16_t kXfHeaderGeneral = 17;
constexpr uint16_t kXfBodyCode = 18;
constexpr uint16_t kXfBodyGeneral = 19;
constexpr int kCodeColumns = 2;  // name and fund code keep "000000"

// Row height in twips (18 pt).
constexpr uint16_t kRowHeight = 18 * 20;
// Column widths in 1/256 of the '0' width of font 0 (Arial 10, 7 pixels), with the few pixels
// of padding Excel adds to a width typed in characters: pixels = trunc(w * 7) + 5.
constexpr uint16_t WidthUnits(double characters) {
  return static_cast<uint16_t>((static_cast<int>(characters * 7) + 5) * 256 / 7);
}
constexpr uint16_t kWidthColumnA = WidthUnits(22);
constexpr uint16_t kWidthOther = WidthUnits(8.8);

void Bof(ByteBuffer& b, uint16_t type) {
  const size_t r = b.BeginRecord(kBof);
  b.U16(0x0600);
  b.U16(type);
  b.U16(0x0DBB);  // build
  b.U16(0x07CC);  // year
  b.U32(0x00000041);
  b.U32(0x00000006);
  b.EndRecord(r);
}

void Simple16(ByteBuffer& b, uint16_t id, uint16_t value) {
  const size_t r = b.BeginRecord(id);
  b.U16(value);
  b.EndRecord(r);
}

void Font(ByteBuffer& b, uint16_t twips, bool bold, uint8_t charset, std::u16string_view name) {
  const size_t r = b.BeginRecord(kFont);
  b.U16(twips);
  b.U16(bold ? 0x0001 : 0x0000);  // readers such as xlrd take boldness from this bit
  b.U16(0x7FFF);                  // automatic colour
  b.U16(bold ? 700 : 400);
  b.U16(0);  // no super/subscript
  b.U8(0);   // no underline
  b.U8(0);   // family
  b.U8(charset);
  b.U8(0);
  b.U8(static_cast<uint8_t>(name.size()));
  b.U8(1);  // UTF-16
  for (char16_t c : name) b.U16(c);
  b.EndRecord(r);
}

// One XF record. Borders are thin on all four sides when `bordered`.
void Xf(ByteBuffer& b, uint16_t font, uint16_t format, bool style, uint8_t align, uint8_t used,
        bool bordered) {
  const size_t r = b.BeginRecord(kXf);
  b.U16(font);
  b.U16(format);
  b.U16(style ? 0xFFF5 : 0x0001);  // style XF / locked cell XF whose parent is Normal (0)
  b.U8(align);
  b.U8(0);  // rotation
  b.U8(0);  // indent
  b.U8(used);
  constexpr uint32_t kThinAll = 0x1111;
  constexpr uint32_t kAutoColour = 0x40;
  b.U32(bordered ? kThinAll | kAutoColour << 16 | kAutoColour << 23 : 0);
  b.U32(bordered ? kAutoColour | kAutoColour << 7 : 0);
  b.U16(0x20C0);  // no fill: pattern colours automatic
  b.EndRecord(r);
}

void WriteGlobals(ByteBuffer& b, const SharedStrings& strings, size_t* sheet_offset_at) {
  Bof(b, 0x0005);
  Simple16(b, kCodepage, 1200);  // UTF-16
  {
    const size_t r = b.BeginRecord(kWindow1);
    for (uint16_t v : {0x0000, 0x0000, 0x25BC, 0x1572, 0x0038, 0x0000, 0x0000, 0x0001, 0x0258}) {
      b.U16(v);
    }
    b.EndRecord(r);
  }
  Simple16(b, kDateMode, 0);
  // Fonts 0-3: the Normal style's font, which column widths are measured in.
  for (int i = 0; i < 4; ++i) Font(b, 200, false, 0, u"Arial");
  constexpr uint8_t kGb2312Charset = 134;
  Font(b, 240, false, kGb2312Charset, u"宋体");
  Font(b, 240, true, kGb2312Charset, u"宋体");
  {
    const size_t r = b.BeginRecord(kFormat);
    b.U16(kCodeFormat);
    b.U16(6);
    b.U8(0);
    b.Raw("000000");
    b.EndRecord(r);
  }
  constexpr uint8_t kBottom = 2 << 4;
  constexpr uint8_t kCentred = 2 | kBottom;
  Xf(b, 0, 0, true, kBottom, 0x00, false);
  for (int i = 1; i < 15; ++i) Xf(b, i < 3 ? 1 : i < 5 ? 2 : 0, 0, true, kBottom, 0xF4, false);
  Xf(b, 0, 0, false, kBottom, 0x00, false);
  constexpr uint8_t kUsed = 0x04 | 0x08 | 0x10 | 0x20;  // number, font, alignment, border
  Xf(b, kHeaderFont, kCodeFormat, false, kCentred, kUsed, true);
  Xf(b, kHeaderFont, 0, false, kCentred, kUsed, true);
  Xf(b, kTableFont, kCodeFormat, false, kCentred, kUsed, true);
  Xf(b, kTableFont, 0, false, kCentred, kUsed, true);
  {
    const size_t r = b.BeginRecord(kStyle);
    b.U16(0x8000);  // built-in style of XF 0
    b.U8(0);        // Normal
    b.U8(0xFF);
    b.EndRecord(r);
  }
  {
    const size_t r = b.BeginRecord(kBoundSheet);
    *sheet_offset_at = b.Size();
    b.U32(0);  // patched once the globals' size is known
    b.U8(0);   // visible
    b.U8(0);   // worksheet
    b.U8(6);
    b.U8(0);
    b.Raw("Sheet1");
    b.EndRecord(r);
  }
  strings.Write(b, 0);
  b.BeginRecord(kEof);
}

void ColInfo(ByteBuffer& b, uint16_t first, uint16_t last, uint16_t width) {
  const size_t r = b.BeginRecord(kColInfo);
  b.U16(first);
  b.U16(last);
  b.U16(width);
  b.U16(kDefaultCellXf);  // a table XF here would draw borders down the whole column
  b.U16(0);
  b.U16(0);
  b.EndRecord(r);
}

void WriteView(ByteBuffer& b) {
  {
    const size_t r = b.BeginRecord(kWindow2);
    b.U16(0x07BE);  // gridlines, headers, frozen without split, zeros, selected, active, ...
    b.U16(0);
    b.U16(0);
    b.U32(0x40);
    b.U16(0);
    b.U16(0);
    b.U32(0);
    b.EndRecord(r);
  }
  {
    // Frozen at B2: one column and one row stay put; the bottom-right pane is active.
    const size_t r = b.BeginRecord(kPane);
    for (uint16_t v : {1, 1, 1, 1}) b.U16(v);
    b.U8(0);
    b.U8(0);
    b.EndRecord(r);
  }
  {
    const size_t r = b.BeginRecord(kSelection);
    b.U8(0);   // bottom-right pane
    b.U16(1);  // B2 is the active cell
    b.U16(1);
    b.U16(0);
    b.U16(1);
    b.U16(1);
    b.U16(1);
    b.U8(1);
    b.U8(1);
    b.EndRecord(r);
  }
}

}  // namespace

WorkbookStream BuildWorkbookStream(const TableSource& table) {
  const int rows = std::clamp(table.RowCount(), 0, kMaxRows);
  const int cols = std::clamp(table.ColumnCount(), 0, kMaxColumns);

  SharedStrings strings;
  ByteBuffer sheet;
  sheet.Reserve(static_cast<size_t>(rows) * (20 + static_cast<size_t>(cols) * 14) + 512);
  Bof(sheet, 0x0010);
  ColInfo(sheet, 0, 0, kWidthColumnA);
  if (cols > 1) ColInfo(sheet, 1, static_cast<uint16_t>(cols - 1), kWidthOther);
  {
    const size_t r = sheet.BeginRecord(kDimensions);
    sheet.U32(0);
    sheet.U32(cols > 0 ? static_cast<uint32_t>(rows) : 0);
    sheet.U16(0);
    sheet.U16(rows > 0 ? static_cast<uint16_t>(cols) : 0);
    sheet.U16(0);
    sheet.EndRecord(r);
  }
  for (int row = 0; row < rows; ++row) {
    const size_t r = sheet.BeginRecord(kRow);
    sheet.U16(static_cast<uint16_t>(row));
    sheet.U16(0);
    sheet.U16(static_cast<uint16_t>(cols));
    sheet.U16(kRowHeight);
    sheet.U16(0);
    sheet.U16(0);
    // 0x40: the height was set by hand and is kept; 0x100 is always set.
    sheet.U32(0x00000140 | uint32_t{kDefaultCellXf} << 16);
    sheet.EndRecord(r);
    for (int col = 0; col < cols; ++col) {
      const uint16_t xf = row == 0 ? (col < kCodeColumns ? kXfHeaderCode : kXfHeaderGeneral)
                                   : (col < kCodeColumns ? kXfBodyCode : kXfBodyGeneral);
      const std::string_view text = table.Text(row, col);
      // Fixed-size cell records, written without the length patch of BeginRecord.
      if (text.empty()) {
        sheet.U16(kBlank);
        sheet.U16(6);
      } else {
        sheet.U16(kLabelSst);
        sheet.U16(10);
      }
      sheet.U16(static_cast<uint16_t>(row));
      sheet.U16(static_cast<uint16_t>(col));
      sheet.U16(xf);
      if (!text.empty()) sheet.U32(strings.Add(text));
    }
  }
  WriteView(sheet);
  sheet.BeginRecord(kEof);

  ByteBuffer book;
  size_t sheet_offset_at = 0;
  WriteGlobals(book, strings, &sheet_offset_at);
  book.PatchU32(sheet_offset_at, static_cast<uint32_t>(book.Size()));

  constexpr size_t kMinStream = 4096;
  const size_t total = book.Size() + sheet.Size();
  if (total < kMinStream) sheet.Zeros(kMinStream - total);
  return WorkbookStream{book.Take(), sheet.Take()};
}

}  // namespace exporter
