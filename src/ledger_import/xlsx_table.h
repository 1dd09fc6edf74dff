#pragma once

// Workbooks (XLSX): the first sheet of a file as rows of cells.

#include <string>
#include <string_view>

#include "ledger_import/table.h"

namespace ledger_import {

// The first sheet (the first one workbook.xml lists, found through its relationship) with its
// cells as text: shared and inline strings as they are; numbers as written, without the noise
// of binary fractions ("1234.5", "0.0015"); a number in a date format as "YYYY-MM-DD", or
// "YYYY-MM-DD HH:MM:SS" when it holds a time of day, and in a time format below a day as
// "HH:MM:SS"; TRUE/FALSE; an error value as its text. Each cell sits in the column its reference
// ("C5") names; a row's line is its row number, and the rows come in their order. A file that is
// not a workbook, is damaged, or unpacks beyond kMaxFileBytes in a part or kMaxCells cells is
// refused with a message.
TableOrError ReadXlsxTable(std::string_view bytes);

// A number as a workbook stores it ("1.5E-3", "1234.5000000000002") as a person reads it: plain
// decimals, at most 15 significant digits, no trailing zeros ("0.0015", "1234.5"). Text that is
// not a number comes back as it is.
std::string NumberText(std::string_view stored);

// Whether a number format code ("yyyy/m/d", "h:mm", "0.00") shows a date or a time of day.
enum class DateFormat { kNone, kDate, kTimeOnly };
DateFormat DateFormatOf(std::string_view format_code);
// The same for the formats built into every workbook, by their id.
DateFormat BuiltInDateFormat(int format_id);

// A date serial (days since the workbook's epoch, a fraction for the time of day) as "YYYY-MM-DD"
// with " HH:MM:SS" when the time is not midnight; below one day in a time-only format as
// "HH:MM:SS". Nothing for a serial out of the years 1900 to 9999.
std::string SerialText(double serial, bool date1904, DateFormat format);

}  // namespace ledger_import
