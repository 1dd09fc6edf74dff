#include "store/nav_history_blob.h"

#include <cstdint>

namespace store {
namespace {

constexpr unsigned char kVersion = 1;

// A point's flags.
constexpr unsigned kHasAccumulated = 1;
constexpr unsigned kHasGrowth = 2;
constexpr unsigned kHasDividend = 4;
constexpr unsigned kHasSplit = 8;
constexpr unsigned kHasUnitMoney = 16;
// The fund's flags.
constexpr unsigned kHasFeeRate = 1;
constexpr unsigned kHasMinPurchase = 2;

void PutUnsigned(std::string& out, std::uint64_t value) {
  while (value >= 0x80) {
    out += static_cast<char>((value & 0x7F) | 0x80);
    value >>= 7;
  }
  out += static_cast<char>(value);
}

void PutSigned(std::string& out, std::int64_t value) {
  // Zigzag: small magnitudes of either sign take few bytes.
  const auto bits = static_cast<std::uint64_t>(value);
  PutUnsigned(out, (bits << 1) ^ (value < 0 ? ~std::uint64_t{0} : 0));
}

void PutText(std::string& out, std::string_view text) {
  PutUnsigned(out, text.size());
  out += text;
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  bool Unsigned(std::uint64_t* value) {
    *value = 0;
    for (int shift = 0; shift < 64; shift += 7) {
      if (at_ >= bytes_.size()) return false;
      const auto byte = static_cast<unsigned char>(bytes_[at_++]);
      *value |= static_cast<std::uint64_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return true;
    }
    return false;
  }
  bool Signed(std::int64_t* value) {
    std::uint64_t bits = 0;
    if (!Unsigned(&bits)) return false;
    *value = static_cast<std::int64_t>((bits >> 1) ^ (0 - (bits & 1)));
    return true;
  }
  bool Text(std::string* text) {
    std::uint64_t size = 0;
    if (!Unsigned(&size) || size > bytes_.size() - at_) return false;
    text->assign(bytes_.substr(at_, size));
    at_ += size;
    return true;
  }
  bool AtEnd() const { return at_ == bytes_.size(); }

 private:
  std::string_view bytes_;
  size_t at_ = 0;
};

// a + b without overflow; false when it would overflow.
bool Add(std::int64_t a, std::int64_t b, std::int64_t* sum) {
  return !__builtin_add_overflow(a, b, sum);
}

}  // namespace

std::string EncodeNavHistory(const base::NavHistory& history) {
  std::string out;
  out.reserve(64 + history.points.size() * 6);
  out += static_cast<char>(kVersion);
  PutText(out, history.code);
  PutText(out, history.name);
  PutUnsigned(
      out, (history.fee_rate ? kHasFeeRate : 0u) | (history.min_purchase ? kHasMinPurchase : 0u));
  if (history.fee_rate) PutSigned(out, *history.fee_rate);
  if (history.min_purchase) PutSigned(out, *history.min_purchase);
  PutUnsigned(out, history.points.size());
  std::int64_t day = 0, unit = 0, accumulated = 0;
  for (const base::NavPoint& point : history.points) {
    const std::int64_t number = base::DayNumber(point.day).value_or(0);
    const unsigned flags =
        (point.accumulated_nav ? kHasAccumulated : 0u) | (point.day_growth ? kHasGrowth : 0u) |
        (point.dividend != 0 ? kHasDividend : 0u) | (point.split_ratio != 0 ? kHasSplit : 0u) |
        (point.unit_money.empty() ? 0u : kHasUnitMoney);
    PutUnsigned(out, flags);
    PutSigned(out, number - day);
    PutSigned(out, point.unit_nav - unit);
    day = number;
    unit = point.unit_nav;
    if (point.accumulated_nav) {
      PutSigned(out, *point.accumulated_nav - accumulated);
      accumulated = *point.accumulated_nav;
    }
    if (point.day_growth) PutSigned(out, *point.day_growth);
    if (point.dividend != 0) PutSigned(out, point.dividend);
    if (point.split_ratio != 0) PutSigned(out, point.split_ratio);
    if (!point.unit_money.empty()) PutText(out, point.unit_money);
  }
  return out;
}

std::optional<base::NavHistory> DecodeNavHistory(std::string_view bytes) {
  if (bytes.empty() || static_cast<unsigned char>(bytes[0]) != kVersion) return std::nullopt;
  Reader in(bytes.substr(1));
  base::NavHistory history;
  std::uint64_t header = 0, count = 0;
  if (!in.Text(&history.code) || !in.Text(&history.name) || !in.Unsigned(&header)) {
    return std::nullopt;
  }
  std::int64_t value = 0;
  if (header & kHasFeeRate) {
    if (!in.Signed(&value)) return std::nullopt;
    history.fee_rate = value;
  }
  if (header & kHasMinPurchase) {
    if (!in.Signed(&value)) return std::nullopt;
    history.min_purchase = value;
  }
  // Every point takes at least three bytes, so a count beyond that is no history.
  if (!in.Unsigned(&count) || count > bytes.size() / 3) return std::nullopt;
  history.points.resize(count);
  std::int64_t day = 0, unit = 0, accumulated = 0, previous_day = base::kFirstDayNumber - 1;
  for (base::NavPoint& point : history.points) {
    std::uint64_t flags = 0;
    std::int64_t step = 0;
    if (!in.Unsigned(&flags) || !in.Signed(&step) || !Add(day, step, &day) || day <= previous_day ||
        day > base::kLastDayNumber || !in.Signed(&step) || !Add(unit, step, &unit) || unit <= 0) {
      return std::nullopt;
    }
    previous_day = day;
    point.day = base::DayText(static_cast<std::int32_t>(day));
    point.unit_nav = unit;
    if (flags & kHasAccumulated) {
      if (!in.Signed(&step) || !Add(accumulated, step, &accumulated) || accumulated <= 0) {
        return std::nullopt;
      }
      point.accumulated_nav = accumulated;
    }
    if (flags & kHasGrowth) {
      if (!in.Signed(&value)) return std::nullopt;
      point.day_growth = value;
    }
    if ((flags & kHasDividend) && !in.Signed(&point.dividend)) return std::nullopt;
    if ((flags & kHasSplit) && !in.Signed(&point.split_ratio)) return std::nullopt;
    if ((flags & kHasUnitMoney) && !in.Text(&point.unit_money)) return std::nullopt;
  }
  if (!in.AtEnd()) return std::nullopt;
  return history;
}

}  // namespace store
