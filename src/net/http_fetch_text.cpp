#include "net/http_fetch_text.h"

#include <cstdio>

#include "base/encoding.h"
#include "base/text.h"

namespace net {
namespace {

struct DefaultHeader {
  std::string_view line;
  std::string_view present_if;  // a line is appended only when this text is not found
  bool ignore_case;
};

constexpr DefaultHeader kDefaultHeaders[] = {
    {"User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n",
     "User-Agent: ", true},
    {"Accept: text/html, application/xhtml+xml, */*\r\n", "Accept: ", true},
    {"Accept-Encoding: gbk, GB2312\r\n", "Accept-Encoding: ", true},
    {"Accept-Language: zh-cn\r\n", "Accept-Language: ", true},
    // Sent with every verb; only an exact-case caller line replaces it.
    {"Content-Type: application/x-www-form-urlencoded\r\n", "Content-Type:", false},
    {"Cache-Control: no-cache\r\n", "Cache-Control: ", true},
};

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

std::string_view TrimSpaceTab(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}
bool IsCharsetChar(char c) { return IsWordChar(c) || c == '-'; }

size_t CharsetRun(std::string_view text, size_t at) {
  size_t end = at;
  while (end < text.size() && IsCharsetChar(text[end])) ++end;
  return end - at;
}

// The name after "charset=" as the pattern [^\w]?([-\w]+) takes it: one leading quote or
// other non-word character is skipped when a name follows it.
std::string CharsetNameAt(std::string_view text, size_t at) {
  if (at < text.size() && !IsWordChar(text[at])) {
    if (size_t run = CharsetRun(text, at + 1); run > 0) {
      return std::string(text.substr(at + 1, run));
    }
  }
  return std::string(text.substr(at, CharsetRun(text, at)));
}

}  // namespace

std::string BuildRequestHeaderBlock(std::string_view extra_headers, std::string_view cookies) {
  std::string block(extra_headers);
  if (!block.empty()) block += "\r\n";
  for (const DefaultHeader& header : kDefaultHeaders) {
    if (base::Find(block, header.present_if, 1, header.ignore_case) < 0) block += header.line;
  }
  if (!cookies.empty() && base::Find(block, "Cookie: ", 1, true) < 0) {
    block += "Cookie: ";
    block += cookies;
    block += "\r\n";
  }
  return block;
}

bool CleanUrl(std::string_view url, std::string* cleaned) {
  // Blanks at the ends are never part of an address; some request texts end with one.
  std::string trimmed = base::TrimBlanks(url);
  std::string_view text = trimmed;
  while (!text.empty() && (text.back() == '\t' || text.back() == '\r' || text.back() == '\n')) {
    text.remove_suffix(1);
  }
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) return false;
    if (byte == ' ' || byte >= 0x80) {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", byte);
      out += escape;
    } else {
      out += c;
    }
  }
  *cleaned = std::move(out);
  return true;
}

ResponseHeaderFacts ReadResponseHeaders(std::string_view header_block) {
  ResponseHeaderFacts facts;
  bool first = true;
  while (!header_block.empty()) {
    size_t end = header_block.find('\n');
    std::string_view line = header_block.substr(0, end);
    header_block.remove_prefix(end == std::string_view::npos ? header_block.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (first) {
      first = false;
      // "HTTP/1.1 200 OK": code and reason follow the version and its blank.
      if (line.size() > 9) facts.status = std::string(line.substr(9));
      if (line.size() >= 12) {
        int code = 0;
        for (size_t i = 9; i < 12 && line[i] >= '0' && line[i] <= '9'; ++i) {
          code = code * 10 + (line[i] - '0');
          if (i == 11) facts.status_code = code;
        }
      }
      continue;
    }
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = TrimSpaceTab(line.substr(0, colon));
    std::string_view value = line.substr(colon + 1);
    if (EqualsIgnoreCase(name, "Set-Cookie")) {
      std::string item = base::TrimBlanks(value.substr(0, value.find(';')));
      if (item.empty()) continue;
      if (!facts.new_cookies.empty()) facts.new_cookies += "; ";
      facts.new_cookies += item;
    } else if (EqualsIgnoreCase(name, "Location")) {
      facts.location = std::string(TrimSpaceTab(value));
    }
  }
  return facts;
}

std::string SniffMetaCharset(std::string_view body) {
  std::string_view head = body.substr(0, 1024);
  // Find counts from 1.
  for (long long meta = base::Find(head, "<meta", 1, true); meta > 0;
       meta = base::Find(head, "<meta", meta + 1, true)) {
    // Between "<meta" and "charset=" stands at least one character and no line break.
    size_t line_end = head.find_first_of("\r\n", static_cast<size_t>(meta - 1));
    if (line_end == std::string_view::npos) line_end = head.size();
    for (long long at = base::Find(head, "charset=", meta + 6, true);
         at > 0 && static_cast<size_t>(at) <= line_end;
         at = base::Find(head, "charset=", at + 1, true)) {
      std::string name = CharsetNameAt(head, static_cast<size_t>(at) + 7);
      if (!name.empty()) return name;
    }
  }
  return "";
}

std::string DecodeBody(std::string_view body) {
  std::string charset = SniffMetaCharset(body);
  std::string text;
  if (!charset.empty() && base::DecodeCharset(body, charset, &text)) return text;
  if (base::IsValidUtf8(body)) return std::string(body);
  return base::GbkToUtf8(body);
}

}  // namespace net
