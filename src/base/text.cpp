#include "base/text.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <system_error>

namespace base {
namespace {

constexpr std::string_view kFullWidthSpace = "\xE3\x80\x80";  // U+3000
constexpr std::string_view kQuoteWord = "#引号";

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool MatchesAt(std::string_view text, size_t at, std::string_view what, bool ignore_case) {
  if (at > text.size() || text.size() - at < what.size()) return false;
  for (size_t i = 0; i < what.size(); ++i) {
    char a = text[at + i];
    char b = what[i];
    if (ignore_case ? FoldAscii(a) != FoldAscii(b) : a != b) return false;
  }
  return true;
}

// 0-based offset of the first match at or after `from`, or npos.
size_t FindFrom(std::string_view text, std::string_view what, size_t from, bool ignore_case) {
  if (what.empty() || from > text.size()) return std::string_view::npos;
  if (!ignore_case) return text.find(what, from);
  for (size_t at = from; at + what.size() <= text.size(); ++at) {
    if (MatchesAt(text, at, what, ignore_case)) return at;
  }
  return std::string_view::npos;
}

// Length of the blank at `at` (1 for an ASCII space, 3 for U+3000), 0 when none.
size_t BlankLengthAt(std::string_view text, size_t at) {
  if (at < text.size() && text[at] == ' ') return 1;
  if (text.substr(at, kFullWidthSpace.size()) == kFullWidthSpace) return kFullWidthSpace.size();
  return 0;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

size_t SkipDigits(std::string_view text, size_t at) {
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at;
}

template <typename T>
std::string GeneralText(T value, int precision) {
  char buffer[64];
  auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, precision);
  return std::string(buffer, result.ptr);
}

}  // namespace

long long Find(std::string_view text, std::string_view what, long long start, bool ignore_case) {
  if (start < 1) start = 1;
  if (static_cast<unsigned long long>(start - 1) > text.size()) return -1;
  size_t at = FindFrom(text, what, static_cast<size_t>(start - 1), ignore_case);
  return at == std::string_view::npos ? -1 : static_cast<long long>(at) + 1;
}

std::string TextBetween(std::string_view text, std::string_view left, std::string_view right,
                        long long start, bool ignore_case) {
  std::string left_marker = ReplaceAll(left, kQuoteWord, "\"");
  std::string right_marker = ReplaceAll(right, kQuoteWord, "\"");
  long long p = Find(text, left_marker, start, ignore_case);
  if (p < 0) return {};
  p += static_cast<long long>(left_marker.size());
  long long q = Find(text, right_marker, p, ignore_case);
  if (q < 0) return {};
  return std::string(text.substr(static_cast<size_t>(p - 1), static_cast<size_t>(q - p)));
}

std::string TextRightOfLast(std::string_view text, std::string_view marker, long long start,
                            bool ignore_case) {
  if (marker.empty() || marker.size() > text.size()) return {};
  // The match may begin at the start position at the latest.
  size_t last_begin = text.size() - marker.size();
  if (start >= 1 && static_cast<unsigned long long>(start - 1) < last_begin) {
    last_begin = static_cast<size_t>(start - 1);
  } else if (start == 0 || start < -1) {
    return {};
  }
  for (size_t at = last_begin + 1; at-- > 0;) {
    if (MatchesAt(text, at, marker, ignore_case)) {
      return std::string(text.substr(at + marker.size()));
    }
  }
  return {};
}

std::vector<std::string> Split(std::string_view text, std::string_view separator) {
  std::vector<std::string> parts;
  if (text.empty()) return parts;
  if (separator.empty()) {
    parts.emplace_back(text);
    return parts;
  }
  size_t from = 0;
  while (true) {
    size_t at = text.find(separator, from);
    if (at == std::string_view::npos) {
      if (from < text.size()) parts.emplace_back(text.substr(from));
      return parts;
    }
    parts.emplace_back(text.substr(from, at - from));
    from = at + separator.size();
  }
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to,
                       bool ignore_case) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (true) {
    size_t at = FindFrom(text, from, pos, ignore_case);
    if (at == std::string_view::npos) break;
    out.append(text.substr(pos, at - pos));
    out.append(to);
    pos = at + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::string TrimBlanks(std::string_view text) {
  size_t begin = 0;
  while (size_t n = BlankLengthAt(text, begin)) begin += n;
  size_t end = text.size();
  while (end > begin) {
    if (text[end - 1] == ' ') {
      --end;
    } else if (end - begin >= kFullWidthSpace.size() &&
               text.substr(end - kFullWidthSpace.size(), kFullWidthSpace.size()) ==
                   kFullWidthSpace) {
      end -= kFullWidthSpace.size();
    } else {
      break;
    }
  }
  return std::string(text.substr(begin, end - begin));
}

std::string RemoveBlanks(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t at = 0; at < text.size();) {
    if (size_t n = BlankLengthAt(text, at)) {
      at += n;
    } else {
      out.push_back(text[at++]);
    }
  }
  return out;
}

double ToNumber(std::string_view text) {
  size_t at = 0;
  while (true) {
    if (at < text.size() && (text[at] == '\t' || text[at] == '\r' || text[at] == '\n')) {
      ++at;
    } else if (size_t n = BlankLengthAt(text, at)) {
      at += n;
    } else {
      break;
    }
  }
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  size_t begin = at;
  size_t int_end = SkipDigits(text, at);
  size_t end = int_end;
  if (end < text.size() && text[end] == '.') {
    size_t frac_end = SkipDigits(text, end + 1);
    // A bare point without any digit around it is not part of a number.
    if (frac_end > end + 1 || int_end > begin) end = frac_end;
  }
  if (end == begin || (end == begin + 1 && text[begin] == '.')) return 0;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    size_t exp = end + 1;
    if (exp < text.size() && (text[exp] == '+' || text[exp] == '-')) ++exp;
    size_t exp_end = SkipDigits(text, exp);
    if (exp_end > exp) end = exp_end;
  }
  // from_chars is locale-independent, unlike strtod once Qt has called setlocale.
  double value = 0;
  auto result = std::from_chars(text.data() + begin, text.data() + end, value);
  if (result.ec == std::errc::result_out_of_range) {
    value = DecimalMagnitude(text.substr(begin, end - begin)) > 0
                ? std::numeric_limits<double>::infinity()
                : 0.0;
  } else if (result.ec != std::errc()) {
    return 0;
  }
  return negative ? -value : value;
}

long long DecimalMagnitude(std::string_view number) {
  const size_t e = number.find_first_of("eE");
  long long exponent = 0;
  if (e != std::string_view::npos) {
    size_t at = e + 1;
    const bool negative = at < number.size() && number[at] == '-';
    if (at < number.size() && (number[at] == '+' || number[at] == '-')) ++at;
    for (; at < number.size(); ++at) {
      if (exponent < 1'000'000'000) exponent = exponent * 10 + (number[at] - '0');
    }
    if (negative) exponent = -exponent;
  }
  const std::string_view mantissa = number.substr(0, e);
  const size_t point = std::min(mantissa.find('.'), mantissa.size());
  const size_t first = mantissa.find_first_not_of("0.");
  if (first == std::string_view::npos) return 0;
  const long long shift = first < point ? static_cast<long long>(point - first - 1)
                                        : -static_cast<long long>(first - point);
  return exponent + shift;
}

std::string IntToText(long long value) { return std::to_string(value); }

std::string FloatToText(float value) { return GeneralText(value, 6); }

std::string DoubleToText(double value) { return GeneralText(value, 13); }

}  // namespace base
