#include "net/http_fetch_text.h"

#include <gtest/gtest.h>

#include "base/encoding.h"

namespace net {
namespace {

TEST(HttpFetchTextTest, MetaCharsetIsFoundWhereThePatternMatches) {
  EXPECT_EQ("utf-8", SniffMetaCharset("<meta http-equiv=\"Content-Type\" content=\"text/html; "
                                      "charset=utf-8\" />"));
  EXPECT_EQ("gb2312", SniffMetaCharset("<html><META CHARSET=\"gb2312\">"));
  EXPECT_EQ("GBK", SniffMetaCharset("<meta charset='GBK'>"));
  // Unquoted names and a first "charset=" that names nothing.
  EXPECT_EQ("big5", SniffMetaCharset("<meta x charset=big5>"));
  EXPECT_EQ("utf-8", SniffMetaCharset("<meta a=\"charset=\"\" charset=utf-8>"));
  // "<meta" needs at least one character before "charset=", and no line break between.
  EXPECT_EQ("", SniffMetaCharset("<metacharset=utf-8>"));
  EXPECT_EQ("", SniffMetaCharset("<meta name=x>\ncharset=utf-8"));
  EXPECT_EQ("", SniffMetaCharset("<p>charset=utf-8</p>"));
  // Only the first 1024 bytes are looked at.
  EXPECT_EQ("", SniffMetaCharset(std::string(1024, ' ') + "<meta charset=utf-8>"));
  EXPECT_EQ("utf-", SniffMetaCharset(std::string(1006, ' ') + "<meta charset=utf-8>"));
}

TEST(HttpFetchTextTest, BodyFallsBackToUtf8ThenGbkWhenTheCharsetIsMissingOrUnknown) {
  const std::string gbk = base::Utf8ToGbk("天弘中证银行指数C");
  EXPECT_EQ("天弘中证银行指数C", DecodeBody(gbk));
  EXPECT_EQ("天弘中证银行指数C", DecodeBody("天弘中证银行指数C"));
  const std::string unknown = "<meta charset=no-such-charset>" + gbk;
  EXPECT_EQ("<meta charset=no-such-charset>天弘中证银行指数C", DecodeBody(unknown));
  EXPECT_EQ("", DecodeBody(""));
}

TEST(HttpFetchTextTest, ResponseHeaderBlockGivesStatusCookiesAndLocation) {
  ResponseHeaderFacts facts = ReadResponseHeaders(
      "HTTP/1.1 301 Moved Permanently\r\n"
      "SET-COOKIE: sid=ab cd; Domain=x\r\n"
      "Set-Cookie:  plain=1 \r\n"
      "Set-Cookie: ; Path=/\r\n"
      "X-Note: no set-cookie: here=1\r\n"
      "LOCATION:   /moved\r\n"
      "\r\n");
  EXPECT_EQ("301 Moved Permanently", facts.status);
  EXPECT_EQ(301, facts.status_code);
  EXPECT_EQ("sid=ab cd; plain=1", facts.new_cookies);
  EXPECT_EQ("/moved", facts.location);

  ResponseHeaderFacts bare = ReadResponseHeaders("HTTP/1.1 204\r\n\r\n");
  EXPECT_EQ("204", bare.status);
  EXPECT_EQ(204, bare.status_code);
  EXPECT_EQ("", bare.new_cookies);
  EXPECT_EQ("", bare.location);
  EXPECT_EQ(0, ReadResponseHeaders("garbage").status_code);
}

TEST(HttpFetchTextTest, UrlCleanUpDropsTrailingBlanksAndEscapesInnerOnes) {
  std::string cleaned;
  ASSERT_TRUE(CleanUrl("http://h/ajax.php?c=add ", &cleaned));
  EXPECT_EQ("http://h/ajax.php?c=add", cleaned);
  ASSERT_TRUE(CleanUrl("http://h/a b?k=基", &cleaned));
  EXPECT_EQ("http://h/a%20b?k=%E5%9F%BA", cleaned);
  EXPECT_FALSE(CleanUrl("http://h/a\tb", &cleaned));
  EXPECT_FALSE(CleanUrl("http://h/\x01", &cleaned));
}

TEST(HttpFetchTextTest, DefaultHeadersRespectCallerLines) {
  std::string block =
      BuildRequestHeaderBlock("Accept-Language: en\r\nCache-Control: max-age=0", "a=1");
  EXPECT_EQ(
      "Accept-Language: en\r\nCache-Control: max-age=0\r\n"
      "User-Agent: Mozilla/5.0 (compatible; MSIE 9.0; Windows NT 6.1; WOW64; Trident/5.0)\r\n"
      "Accept: text/html, application/xhtml+xml, */*\r\n"
      "Accept-Encoding: gbk, GB2312\r\n"
      "Content-Type: application/x-www-form-urlencoded\r\n"
      "Cookie: a=1\r\n",
      block);
  // A caller's own Cookie line wins over the cookie text.
  EXPECT_EQ(std::string::npos, BuildRequestHeaderBlock("cookie: z=9", "a=1").find("Cookie: a=1"));
}

}  // namespace
}  // namespace net
