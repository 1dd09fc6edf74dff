#pragma once

// What the full download keeps in the local cache so that a later attempt on the same day picks
// up where a killed, crashed or failed one stopped: each fund's profile columns, kept by its
// worker as soon as all four pages are in, under the calendar day; and how the day's last
// download ended. With the cache off nothing is kept and every attempt asks for everything.

#include <optional>
#include <string>
#include <string_view>

#include "base/date_time.h"
#include "funds/fund_table.h"
#include "store/cache.h"

namespace funds {

// The day the details are kept under, "2021-08-08". The workbook's name has no year, but a
// cache a year old must not pass for today's.
std::string CalendarDay(const base::DateTime& when);

// The kept form of a fund's columns: a JSON array of the ten texts. Empty when a text is no
// valid UTF-8, which JSON cannot carry unchanged; such a fund is not kept.
std::string EncodeProfileColumns(const ProfileColumns& columns);
// Nothing for a payload that is not an array of ten texts (damaged, or written by another
// version of the program): that fund counts as not kept.
std::optional<ProfileColumns> DecodeProfileColumns(std::string_view payload);

// Keeps a fund's complete columns for `day`. False when the cache is off, the write failed or
// the columns cannot be encoded; the download goes on either way.
bool KeepProfileColumns(store::Cache& cache, std::string_view day, std::string_view code,
                        const ProfileColumns& columns);

// Notes how the download of `day` ended: with `incomplete` funds lacking a page after every try.
void MarkDownloadEnd(store::Cache& cache, std::string_view day, int incomplete);
// True when the last download of `day` that ended left funds incomplete; false when it was
// complete, when none ended that day and when the cache is off.
bool LastDownloadIncomplete(store::Cache& cache, std::string_view day);

}  // namespace funds
