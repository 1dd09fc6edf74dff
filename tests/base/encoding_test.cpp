#include "base/encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/files.h"
#include "support/temp_dir.h"

namespace base {
namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

TEST(EncodingTest, GbkRoundTripsChineseAndCharactersOutsideGbk) {
  EXPECT_EQ(
      "\xD6\xD0\xCE\xC4"
      "abc",
      Utf8ToGbk("中文abc"));
  EXPECT_EQ("中文abc", GbkToUtf8("\xD6\xD0\xCE\xC4"
                                 "abc"));
  EXPECT_EQ("\xA1\xA1", Utf8ToGbk("\xE3\x80\x80"));
  EXPECT_EQ("\xD5\xE6", Utf8ToGbk("真"));
  // Characters GBK lacks take GB18030's four-byte forms and come back unchanged.
  EXPECT_EQ("\x95\x32\x82\x36", Utf8ToGbk("𠀀"));
  EXPECT_EQ("\x94\x39\xFC\x36", Utf8ToGbk("😀"));
  for (const std::string& text :
       std::vector<std::string>{"𠀀", "😀 基金 €", "ßäé", "’", "", std::string("a\0b", 3)}) {
    EXPECT_EQ(text, GbkToUtf8(Utf8ToGbk(text)));
  }
}

TEST(EncodingTest, BadBytesAreReplacedNotFatal) {
  // A lead byte without its trail byte, at the end and in the middle.
  EXPECT_EQ("a" + kReplacement, GbkToUtf8("a\xD6"));
  EXPECT_EQ(kReplacement + "a中", GbkToUtf8("\xFF"
                                            "a\xD6\xD0"));
  // Code page 936 has the euro sign as the single byte 0x80, and GBK files spell it so.
  EXPECT_EQ("€", GbkToUtf8("\x80"));
  EXPECT_EQ("a?b", Utf8ToGbk("a\xFF"
                             "b"));
  EXPECT_EQ("???", Utf8ToGbk("\xED\xA0\x80"));
}

TEST(EncodingTest, DecodeCharsetKnowsNamesAndRejectsUnknownOnes) {
  std::string out = "untouched";
  EXPECT_TRUE(DecodeCharset("\xD6\xD0", "GB2312", &out));
  EXPECT_EQ("中", out);
  EXPECT_TRUE(DecodeCharset("\x95\x32\x82\x36", " gbk ", &out));
  EXPECT_EQ("𠀀", out);
  EXPECT_TRUE(DecodeCharset("\xE4\xB8\xAD\xFF", "UTF8", &out));
  EXPECT_EQ("中" + kReplacement, out);
  EXPECT_TRUE(DecodeCharset("\xE9", "iso-8859-1", &out));
  EXPECT_EQ("é", out);
  EXPECT_TRUE(DecodeCharset("\xA4\xA4", "big5", &out));
  EXPECT_EQ("中", out);
  out = "untouched";
  EXPECT_FALSE(DecodeCharset("abc", "no-such-charset", &out));
  EXPECT_FALSE(DecodeCharset("abc", "", &out));
  // Option suffixes from a hostile page never reach iconv.
  EXPECT_FALSE(DecodeCharset("abc", "utf-8//IGNORE", &out));
  EXPECT_EQ("untouched", out);
}

TEST(EncodingTest, Utf8ValidityRejectsMalformedSequences) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("中文 😀 \x7F"));
  EXPECT_FALSE(IsValidUtf8("\xC0\x80"));          // overlong NUL
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8("\xE4\xB8"));          // cut off
  EXPECT_FALSE(IsValidUtf8("\x80"));
  EXPECT_EQ("a" + kReplacement + kReplacement + "b", ToValidUtf8("a\xE4\xB8"
                                                                 "b"));
}

TEST(EncodingTest, Utf8SequencesDecodeAndEncodeOneCodePoint) {
  char32_t cp = 0;
  EXPECT_EQ(3u, Utf8SequenceAt("a中", 1, &cp));
  EXPECT_EQ(U'中', cp);
  EXPECT_EQ(4u, Utf8SequenceAt("😀", 0, &cp));
  EXPECT_EQ(U'😀', cp);
  EXPECT_EQ(0u, Utf8SequenceAt("\xE4\xB8", 0, &cp));
  EXPECT_EQ(0u, Utf8SequenceAt("\xED\xA0\x80", 0, &cp));
  std::string out;
  for (char32_t code_point : {U'a', U'é', U'中', U'😀'}) AppendUtf8(code_point, &out);
  EXPECT_EQ("aé中😀", out);
  // Values that no UTF-8 text may hold come out as U+FFFD.
  out.clear();
  AppendUtf8(0xD800, &out);
  AppendUtf8(0x110000, &out);
  EXPECT_EQ(kReplacement + kReplacement, out);
}

TEST(EncodingTest, GbkTextIsWhatGbkSpellsInOneOrTwoBytes) {
  for (const std::string& text :
       std::vector<std::string>{"", "中文abc", "·é’€", std::string("\r\n\0", 3)}) {
    EXPECT_TRUE(IsGbkText(text)) << text;
  }
  for (const std::string& text : std::vector<std::string>{"u😀x", "𠀀", "ß", "\xC2\x80", "a\xFF"}) {
    EXPECT_FALSE(IsGbkText(text)) << text;
  }
}

TEST(EncodingTest, GbkWidthCountsTwoPerNonAsciiCharacter) {
  EXPECT_EQ(0, GbkWidth(""));
  EXPECT_EQ(9, GbkWidth("易方达A50"));
  EXPECT_EQ(4, GbkWidth("😀a "));
  EXPECT_EQ("易方达A", GbkPrefix("易方达A50", 7));
  EXPECT_EQ("易方达A5", GbkPrefix("易方达A50", 8));
  // Never half a character.
  EXPECT_EQ("易", GbkPrefix("易方达", 3));
  EXPECT_EQ("", GbkPrefix("易方达", 1));
  EXPECT_EQ("", GbkPrefix("abc", 0));
  EXPECT_EQ("", GbkPrefix("abc", -3));
  EXPECT_EQ("abc", GbkPrefix("abc", 100));
}

TEST(EncodingTest, PercentEncodeAndUrlDecodeAreInverse) {
  EXPECT_EQ("", PercentEncode("", true, true));
  EXPECT_EQ("ab-.09AZ%2F%20%E4%B8%AD", PercentEncode("ab-.09AZ/ 中", true, true));
  EXPECT_EQ("%D6%D0a", PercentEncode("中a", true, false));
  // Every byte is encoded without keep_safe, so stored passwords match existing GBK settings
  // files.
  EXPECT_EQ("%61%31%D6%D0", PercentEncode("a1中", false, false));
  EXPECT_EQ("%61%E4%B8%AD", PercentEncode("a中", false, true));
  EXPECT_EQ("%0A%C3%BF", PercentEncode("\nÿ", false, true));

  EXPECT_EQ("中", UrlDecode("%E4%B8%AD", true));
  EXPECT_EQ("中", UrlDecode("%D6%D0", false));
  EXPECT_EQ("中", UrlDecode("%d6%d0", false));
  // Without the flag the three bytes are read as GBK: one character, then a lead byte cut off.
  EXPECT_EQ(GbkToUtf8("\xE4\xB8\xAD"), UrlDecode("%E4%B8%AD", false));
  // Literal characters next to escapes keep their meaning.
  EXPECT_EQ("基金中+", UrlDecode("基金%D6%D0+", false));
  EXPECT_EQ("基金中", UrlDecode("基金%E4%B8%AD", true));
  EXPECT_EQ("100%", UrlDecode("100%", true));
  EXPECT_EQ("%4G%", UrlDecode("%4G%", false));
  EXPECT_EQ("%A", UrlDecode("%A", true));
  EXPECT_EQ("a" + kReplacement, UrlDecode("a%FF", true));

  for (const std::string secret : {"p@ss 中文 ’'%", "𠀀😀", "", "%41"}) {
    EXPECT_EQ(secret, UrlDecode(PercentEncode(secret, false, false), false));
    EXPECT_EQ(secret, UrlDecode(PercentEncode(secret, true, true), true));
  }
}

TEST(EncodingTest, ScriptUnescapeDecodesEscapesAndKeepsLineBreaksAndApostrophes) {
  EXPECT_EQ("中文", ScriptUnescape("%u4E2D%u6587"));
  EXPECT_EQ("中文", ScriptUnescape("\\u4e2d\\u6587"));
  EXPECT_EQ("A é", ScriptUnescape("%41%20%E9"));
  // %XX is a character, not a byte: three escapes give three characters.
  EXPECT_EQ("\xC3\xA4\xC2\xB8\xC2\xAD", ScriptUnescape("%E4%B8%AD"));
  EXPECT_EQ("line1\r\nline2", ScriptUnescape("line1\r\nline2"));
  EXPECT_EQ("it's '好'", ScriptUnescape("it's '%u597D'"));
  EXPECT_EQ("it's", ScriptUnescape("it%27s"));
  EXPECT_EQ("a\nb", ScriptUnescape("a\nb"));
  EXPECT_EQ("x", ScriptUnescape("\rx"));
  EXPECT_EQ("\r\nx", ScriptUnescape("\r\nx"));
  EXPECT_EQ("%u12%zz%", ScriptUnescape("%u12%zz%"));
  EXPECT_EQ("😀", ScriptUnescape("%uD83D%uDE00"));
  EXPECT_EQ("😀", ScriptUnescape("\\uD83D\\uDE00"));
  // Lone surrogates never produce invalid UTF-8.
  EXPECT_EQ(kReplacement + "a", ScriptUnescape("%uD83Da"));
  EXPECT_EQ(kReplacement + kReplacement, ScriptUnescape("%uDE00%uD83D"));
  EXPECT_EQ(kReplacement + "😀", ScriptUnescape("%uD800%uD83D%uDE00"));
  EXPECT_EQ("{\"msg\":\"成功\"}", ScriptUnescape("{\"msg\":\"\\u6210\\u529f\"}"));
}

TEST(EncodingTest, FileExistsForFilesAndDirectories) {
  test_support::TempDir dir;
  EXPECT_TRUE(FileExists(dir.path().string()));
  EXPECT_FALSE(FileExists((dir / "记录.txt").string()));
  test_support::WriteFileBytes(dir / "记录.txt", "x");
  EXPECT_TRUE(FileExists((dir / "记录.txt").string()));
  EXPECT_FALSE(FileExists(""));
}

}  // namespace
}  // namespace base
