#include "portal/nav_history.h"

#include <algorithm>
#include <cmath>
#include <ctime>
#include <nlohmann/json.hpp>
#include <utility>
#include <vector>

#include "net/http_fetch.h"
#include "script/json_literal.h"

namespace portal {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::int64_t kDayMs = 86'400'000;
constexpr std::int64_t kUtc8Ms = 28'800'000;  // eight hours
// The largest magnitude a value read as a decimal may have (as base::ScaledDecimal).
constexpr double kMaxDecimal = 1e9;

bool IsIdentifierByte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Statements of one name read before giving up, so that an answer repeating a statement whose
// value is no literal costs a few reads of the answer, not one per repetition.
constexpr int kMaxStatementReads = 8;

// The value of the statement `var <name> = VALUE;`: the first such statement whose value is one
// whole literal followed by ";" or the end of the answer. False when there is none.
bool ReadVariable(std::string_view answer, std::string_view name, Json* value) {
  const std::string marker = "var " + std::string(name);
  int reads = 0;
  for (size_t at = answer.find(marker); at != answer.npos && reads < kMaxStatementReads;
       at = answer.find(marker, at + 1)) {
    if (at > 0 && IsIdentifierByte(answer[at - 1])) continue;
    size_t p = at + marker.size();
    if (p < answer.size() && IsIdentifierByte(answer[p])) continue;
    while (p < answer.size() && IsBlank(answer[p])) ++p;
    if (p >= answer.size() || answer[p] != '=') continue;
    std::string_view rest = answer.substr(p + 1);
    ++reads;
    std::size_t consumed = 0;
    Json read;
    if (!script::ParseLiteralPrefix(rest, &read, &consumed)) continue;
    rest.remove_prefix(consumed);
    while (!rest.empty() && IsBlank(rest.front())) rest.remove_prefix(1);
    if (!rest.empty() && rest.front() != ';') continue;
    *value = std::move(read);
    return true;
  }
  return false;
}

std::int64_t PowerOfTen(int exponent) {
  std::int64_t value = 1;
  for (int i = 0; i < exponent; ++i) value *= 10;
  return value;
}

// A number, or a text holding a decimal, scaled by 10^decimals; nothing for anything else. A
// number read from the answer is the double nearest its decimal text, so rounding it at the
// scale gives that text's value back for every NAV the portal writes (a few digits before the
// point, four after).
std::optional<std::int64_t> Scaled(const Json& value, int decimals) {
  if (value.is_string()) {
    return base::ScaledDecimal(value.get_ref<const std::string&>(), decimals);
  }
  if (value.is_number_integer()) {
    const std::int64_t number = value.get<std::int64_t>();
    if (number > kMaxDecimal || number < -kMaxDecimal) return std::nullopt;
    return number * PowerOfTen(decimals);
  }
  if (value.is_number_float()) {
    const double number = value.get<double>();
    if (!std::isfinite(number) || std::fabs(number) > kMaxDecimal) return std::nullopt;
    return std::llround(number * static_cast<double>(PowerOfTen(decimals)));
  }
  return std::nullopt;
}

// The day of a point's `x`: milliseconds since the epoch read in UTC+8.
std::optional<std::int32_t> DayOf(const Json& x) {
  double ms = 0;
  if (x.is_number_integer()) {
    ms = static_cast<double>(x.get<std::int64_t>());
  } else if (x.is_number_float()) {
    ms = x.get<double>();
  } else {
    return std::nullopt;
  }
  if (!std::isfinite(ms)) return std::nullopt;
  const double day = std::floor((ms + kUtc8Ms) / kDayMs);
  if (day < base::kFirstDayNumber || day > base::kLastDayNumber) return std::nullopt;
  return static_cast<std::int32_t>(day);
}

const Json* Member(const Json& object, const char* name) {
  const auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

// The decimal right after `marker` in `text`, at kRatioDecimals; 0 when there is none.
std::int64_t AmountAfter(std::string_view text, std::string_view marker) {
  const size_t at = text.find(marker);
  if (at == text.npos) return 0;
  const std::string_view rest = text.substr(at + marker.size());
  size_t end = 0;
  while (end < rest.size() && ((rest[end] >= '0' && rest[end] <= '9') || rest[end] == '.')) ++end;
  const std::optional<std::int64_t> amount =
      base::ScaledDecimal(rest.substr(0, end), base::kRatioDecimals);
  return amount && *amount > 0 ? *amount : 0;
}

std::string TextOf(const Json& value) {
  return value.is_string() ? value.get<std::string>() : std::string();
}

struct DatedPoint {
  std::int32_t day = 0;
  base::NavPoint point;
};

std::vector<DatedPoint> ReadTrend(const Json& trend) {
  std::vector<DatedPoint> points;
  points.reserve(trend.size());
  for (const Json& item : trend) {
    if (!item.is_object()) continue;
    const Json* x = Member(item, "x");
    const Json* y = Member(item, "y");
    const std::optional<std::int32_t> day = x ? DayOf(*x) : std::nullopt;
    const std::optional<std::int64_t> unit = y ? Scaled(*y, base::kNavDecimals) : std::nullopt;
    if (!day || !unit || *unit <= 0) continue;
    DatedPoint dated;
    dated.day = *day;
    base::NavPoint& point = dated.point;
    point.unit_nav = *unit;
    if (const Json* growth = Member(item, "equityReturn")) {
      point.day_growth = Scaled(*growth, base::kNavDecimals);
    }
    if (const Json* money = Member(item, "unitMoney")) point.unit_money = TextOf(*money);
    if (!point.unit_money.empty()) {
      point.dividend = AmountAfter(point.unit_money, "派现金");
      point.split_ratio = AmountAfter(point.unit_money, "折算");
    }
    points.push_back(std::move(dated));
  }
  return points;
}

// The accumulated NAVs by day, ascending; a repeated day keeps its last value.
std::vector<std::pair<std::int32_t, std::optional<std::int64_t>>> ReadAccumulated(
    const Json& trend) {
  std::vector<std::pair<std::int32_t, std::optional<std::int64_t>>> values;
  values.reserve(trend.size());
  for (const Json& item : trend) {
    if (!item.is_array() || item.size() < 2) continue;
    const std::optional<std::int32_t> day = DayOf(item[0]);
    if (!day) continue;
    std::optional<std::int64_t> value = Scaled(item[1], base::kNavDecimals);
    if (value && *value <= 0) value.reset();
    values.emplace_back(*day, value);
  }
  const auto by_day = [](const auto& a, const auto& b) { return a.first < b.first; };
  if (!std::is_sorted(values.begin(), values.end(), by_day)) {
    std::stable_sort(values.begin(), values.end(), by_day);
  }
  return values;
}

}  // namespace

std::string NavHistoryUrl(const net::PortalUrls& urls, std::string_view code,
                          std::string_view local_time) {
  return urls.portal_main + "/pingzhongdata/" + std::string(code) +
         ".js?v=" + std::string(local_time);
}

std::string LocalTimeDigits() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S", &local);
  return text;
}

std::optional<base::NavHistory> CutNavHistory(std::string_view answer) {
  Json trend;
  if (!ReadVariable(answer, "Data_netWorthTrend", &trend) || !trend.is_array()) {
    return std::nullopt;
  }
  std::vector<DatedPoint> points = ReadTrend(trend);
  if (points.empty()) return std::nullopt;
  const auto by_day = [](const DatedPoint& a, const DatedPoint& b) { return a.day < b.day; };
  if (!std::is_sorted(points.begin(), points.end(), by_day)) {
    std::stable_sort(points.begin(), points.end(), by_day);
  }
  base::NavHistory history;
  Json value;
  if (ReadVariable(answer, "Data_ACWorthTrend", &value) && value.is_array()) {
    const auto accumulated = ReadAccumulated(value);
    for (DatedPoint& dated : points) {
      // The last entry of the day.
      const auto after =
          std::upper_bound(accumulated.begin(), accumulated.end(), dated.day,
                           [](std::int32_t day, const auto& entry) { return day < entry.first; });
      if (after != accumulated.begin() && (after - 1)->first == dated.day) {
        dated.point.accumulated_nav = (after - 1)->second;
      }
    }
  }
  history.points.reserve(points.size());
  for (size_t i = 0; i < points.size(); ++i) {
    // A repeated day keeps its last point.
    if (i + 1 < points.size() && points[i + 1].day == points[i].day) continue;
    points[i].point.day = base::DayText(points[i].day);
    history.points.push_back(std::move(points[i].point));
  }
  if (ReadVariable(answer, "fS_name", &value)) history.name = TextOf(value);
  if (ReadVariable(answer, "fS_code", &value)) history.code = TextOf(value);
  if (ReadVariable(answer, "fund_Rate", &value)) {
    history.fee_rate = Scaled(value, base::kNavDecimals);
  }
  if (ReadVariable(answer, "fund_minsg", &value)) {
    history.min_purchase = Scaled(value, base::kMoneyDecimals);
  }
  return history;
}

std::optional<base::NavHistory> FetchNavHistory(const net::PortalUrls& urls, std::string_view code,
                                                net::TransferControl* control) {
  const std::optional<std::string> answer = net::GetAnswerText(
      NavHistoryUrl(urls, code, LocalTimeDigits()), control, kNavHistoryMaxBytes);
  if (!answer) return std::nullopt;
  std::optional<base::NavHistory> history = CutNavHistory(*answer);
  // Another fund's history kept under this code would show the wrong NAVs as this fund's.
  if (!history || (!history->code.empty() && history->code != code)) return std::nullopt;
  history->code = std::string(code);
  return history;
}

}  // namespace portal
