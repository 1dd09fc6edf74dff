#pragma once

// The text work of HttpFetch that needs no network: the request header block, the URL clean-up,
// reading the response header block and decoding the body.

#include <string>
#include <string_view>

namespace net {

// The caller's lines (plus CR LF when not empty) followed by each default line whose header
// the text built so far does not already name. The Cookie line is added only for a non-empty
// `cookies`.
std::string BuildRequestHeaderBlock(std::string_view extra_headers, std::string_view cookies);

// Drops trailing blanks and sends inner blanks and non-ASCII bytes percent-encoded. Returns
// false for a URL holding control characters.
bool CleanUrl(std::string_view url, std::string* cleaned);

struct ResponseHeaderFacts {
  std::string status;       // status line from its 10th byte: "200 OK"
  int status_code = 0;      // 0 when the status line is malformed
  std::string new_cookies;  // Set-Cookie items without attributes, joined by "; "
  std::string location;     // value of the last Location header
};

ResponseHeaderFacts ReadResponseHeaders(std::string_view header_block);

// The charset named by a <meta ... charset=...> tag in the first 1024 bytes, or empty.
std::string SniffMetaCharset(std::string_view body);

// The body as UTF-8: with the sniffed meta charset when iconv knows it; otherwise as UTF-8
// when the bytes are valid UTF-8; otherwise as GBK.
std::string DecodeBody(std::string_view body);

}  // namespace net
