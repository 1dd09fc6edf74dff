#pragma once

// The portal's FundGuide fund lists on PORTAL_MAIN: the request texts of the ranking, five-star,
// all-funds and board lists, and the answer "var rankData = {datas:[...],allPages:..,
// datacount:..}" cut into a page. Sort codes: "r", "z", "1y", "3y", "6y", "jn", "1n", "2n", "3n";
// orders "desc" and "asc". Pages count from 1. A page holds 20 records, a few KB.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/portal.h"
#include "net/transfer_control.h"

namespace portal {

inline constexpr std::size_t kFundListMaxBytes = 1u << 20;
inline constexpr std::string_view kFundGuidePath = "/data/FundGuideapi.aspx";

std::string RankingListUrl(const net::PortalUrls& urls, std::string_view sort_code,
                           std::string_view order);
std::string FiveStarCountUrl(const net::PortalUrls& urls);
std::string FiveStarPageUrl(const net::PortalUrls& urls, int page);
std::string FiveStarSortedPageUrl(const net::PortalUrls& urls, std::string_view sort_code,
                                  std::string_view order, int page);
std::string AllFundsTotalsUrl(const net::PortalUrls& urls);
std::string AllFundsPageUrl(const net::PortalUrls& urls, int page);
std::string BoardFundsCountUrl(const net::PortalUrls& urls, long long board_number);
std::string BoardFundsPageUrl(const net::PortalUrls& urls, long long board_number,
                              std::string_view sort_code, std::string_view order, int page);

// One fund of a list answer: the 22 comma-separated fields of a record, in record order. The
// growth figures are percentage numbers without "%", empty when the portal has none.
struct FundRecord {
  std::string code;  // six digits
  std::string name;
  std::string abbreviation;
  std::string type;
  std::string this_year;  // growth this year
  std::string week;       // growth last week
  std::string month;      // growth last month
  std::string three_months;
  std::string six_months;
  std::string one_year;
  std::string two_years;
  std::string three_years;
  std::string since_inception;
  std::string inception_date;
  std::string field14;     // carried, not used
  std::string nav_date;    // date of the net value
  std::string unit_nav;    // decimal text
  std::string day_change;  // daily growth
  std::string accumulated_nav;
  std::string fee;
  std::string discounted_fee;
  std::string discounted;

  bool operator==(const FundRecord&) const = default;
};

// The fields of a record in record order, for whatever walks them all (the cache).
inline constexpr std::string FundRecord::*kFundRecordFields[] = {&FundRecord::code,
                                                                 &FundRecord::name,
                                                                 &FundRecord::abbreviation,
                                                                 &FundRecord::type,
                                                                 &FundRecord::this_year,
                                                                 &FundRecord::week,
                                                                 &FundRecord::month,
                                                                 &FundRecord::three_months,
                                                                 &FundRecord::six_months,
                                                                 &FundRecord::one_year,
                                                                 &FundRecord::two_years,
                                                                 &FundRecord::three_years,
                                                                 &FundRecord::since_inception,
                                                                 &FundRecord::inception_date,
                                                                 &FundRecord::field14,
                                                                 &FundRecord::nav_date,
                                                                 &FundRecord::unit_nav,
                                                                 &FundRecord::day_change,
                                                                 &FundRecord::accumulated_nav,
                                                                 &FundRecord::fee,
                                                                 &FundRecord::discounted_fee,
                                                                 &FundRecord::discounted};

// A record text split at every ",": empty fields count; a field the text does not have (a short
// or empty record) is empty, and fields past the 22nd are dropped.
FundRecord CutFundRecord(std::string_view text);

// One list answer. The counts are the answer's numbers as they are (NaN when missing); the
// loader bounds them.
struct FundListPage {
  std::vector<FundRecord> records;  // in answer order
  double all_pages = 0;
  double datacount = 0;
  bool marked = false;  // the answer's object holds "datas"
};

// The list object after the last "var rankData =". A body without the marker, or one whose
// literal does not parse, gives a page without records and unmarked.
FundListPage CutFundListPage(std::string_view body);

// The list at `url` under `control`; nothing when the request failed (net::AnswerArrived).
std::optional<FundListPage> FetchFundListPage(const std::string& url,
                                              net::TransferControl* control);

}  // namespace portal
