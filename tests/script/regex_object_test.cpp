#include "script/regex_object.h"

#include <gtest/gtest.h>

#include <string>

namespace script {
namespace {

constexpr const char* kProfilePage =
    "<html><head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gb2312\">\r\n"
    "</head><body>\r\n"
    "<div class=\"infoOfFund\"><td><span class=\"bold\">基金类型</span>\r\n"
    "<div class=\"dataItem\"><span class=\"ui-font-large ui-color-red bold\">1.2340</div>\n"
    "<span class=\"bold\">规模：12.34亿元</div><span class=\"BOLD\">经理：张三</div>\n"
    "<table><tr><td class='num'>-1.02%</td><td class='num'>华夏成长</td>\n"
    "<td class='num'>第一行\n第二行</td></tr></table></body></html>";

TEST(RegexObjectTest, ProgramPatternsCutValuesOutOfMultiLineChineseHtml) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("bold\">.*?</div>", kProfilePage));
  // The first "bold" span on the fourth line ends without </div> on its line.
  EXPECT_EQ(3, regex.Count());
  EXPECT_EQ("bold\">1.2340</div>", regex.MatchText(1));
  EXPECT_EQ("bold\">规模：12.34亿元</div>", regex.MatchText(2));
  EXPECT_EQ("BOLD\">经理：张三</div>", regex.MatchText(3));
  EXPECT_EQ("", regex.MatchText(0));
  EXPECT_EQ("", regex.MatchText(4));

  ASSERT_TRUE(regex.Create("class='num'>.*?</td>", kProfilePage));
  EXPECT_EQ(2, regex.Count());
  EXPECT_EQ("class='num'>华夏成长</td>", regex.MatchText(2));

  ASSERT_TRUE(regex.Create("<meta.+?charset=[^\\w]?([-\\w]+)", kProfilePage));
  EXPECT_EQ(1, regex.Count());
  EXPECT_EQ(1, regex.SubMatchCount());
  EXPECT_EQ("gb2312", regex.SubMatchText(1, 1));
  ASSERT_TRUE(regex.Create("<meta.+?charset=[^\\w]?([-\\w]+)",
                           "<META charset=\"utf-8\" />\n<title>基金</title>"));
  EXPECT_EQ("utf-8", regex.SubMatchText(1, 1));
  ASSERT_TRUE(regex.Create("charset=([-\\w]+)", "<meta charset=UTF-8>"));
  EXPECT_EQ("UTF-8", regex.SubMatchText(1, 1));
}

TEST(RegexObjectTest, DotNeverCrossesCarriageReturnOrLineFeed) {
  RegexObject regex;
  for (const char* subject : {"<b>甲\n乙</b>", "<b>甲\r乙</b>", "<b>甲\r\n乙</b>"}) {
    ASSERT_TRUE(regex.Create("<b>.*?</b>", subject));
    EXPECT_EQ(0, regex.Count()) << subject;
  }
  ASSERT_TRUE(regex.Create("<b>.*?</b>", "<b>甲乙</b>\r\n<b>丙</b>"));
  EXPECT_EQ(2, regex.Count());
  EXPECT_EQ("<b>丙</b>", regex.MatchText(2));
  // "." takes one character, not one byte.
  ASSERT_TRUE(regex.Create("^..$", "华夏\r\n基金\rab\nc"));
  EXPECT_EQ(3, regex.Count());
  EXPECT_EQ("基金", regex.MatchText(2));
  ASSERT_TRUE(regex.Create("^..$", "华夏\nx", false, false));
  EXPECT_EQ(0, regex.Count());
}

TEST(RegexObjectTest, LetterCaseIsIgnoredUnlessAskedFor) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("abc", "xABCx abc"));
  EXPECT_EQ(2, regex.Count());
  ASSERT_TRUE(regex.Create("abc", "xABCx abc", true));
  EXPECT_EQ(1, regex.Count());
  EXPECT_EQ("abc", regex.MatchText(1));
  ASSERT_TRUE(regex.Create("abc", "abc abc", false, true, false));
  EXPECT_EQ(1, regex.Count());
}

TEST(RegexObjectTest, PositionsAreByteOffsetsOfMatchesAndGroups) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(基金)(x)?", "华夏基金 基金"));
  EXPECT_EQ(2, regex.Count());
  int position = 99;
  EXPECT_EQ("基金", regex.MatchText(2, &position));
  EXPECT_EQ(13, position);
  EXPECT_EQ("基金", regex.SubMatchText(1, 1, &position));
  EXPECT_EQ(6, position);
  EXPECT_EQ("", regex.SubMatchText(1, 2, &position));
  EXPECT_EQ(-2, position);
  EXPECT_EQ("", regex.SubMatchText(1, 3, &position));
  EXPECT_EQ(-2, position);
  EXPECT_EQ("", regex.MatchText(3, &position));
  EXPECT_EQ(-2, position);
  EXPECT_EQ(2, regex.SubMatchCount());
}

TEST(RegexObjectTest, ReplaceExpandsGroupReferences) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\d+)-(\\d+)", "区间 10-20 与 3-4"));
  EXPECT_EQ("区间 20~10 与 4~3", regex.Replace("$2~$1"));
  EXPECT_EQ("区间 [10-20]$ 与 [3-4]$", regex.Replace("[$&]$$"));
  EXPECT_EQ("区间 $0$9$ 与 $0$9$", regex.Replace("$0$9$"));
  EXPECT_EQ("区间 100 与 30", regex.Replace("$10"));
  ASSERT_TRUE(regex.Create("b", "abc"));
  EXPECT_EQ("a<a|c>c", regex.Replace("<$`|$'>"));
  ASSERT_TRUE(regex.Create("(a)(b)(c)(d)(e)(f)(g)(h)(i)(j)(k)", "abcdefghijk!"));
  EXPECT_EQ("kj!", regex.Replace("$11$10"));
  ASSERT_TRUE(regex.Create("o", "foo boo", false, true, false));
  EXPECT_EQ("f0o boo", regex.Replace("0"));
  ASSERT_TRUE(regex.Create("x*", "ab"));
  EXPECT_EQ(3, regex.Count());
  EXPECT_EQ("-a-b-", regex.Replace("-"));
}

TEST(RegexObjectTest, QuoteMarkerStandsForADoubleQuote) {
  RegexObject regex;
  ASSERT_TRUE(
      regex.Create("class=#引号(\\w+)#引号", "<td class=\"num\">", false, true, true, true));
  EXPECT_EQ("class=\"(\\w+)\"", regex.GetPattern());
  EXPECT_EQ("num", regex.SubMatchText(1, 1));
  ASSERT_TRUE(regex.Create("#引号", "#引号 \""));
  EXPECT_EQ("#引号", regex.MatchText(1));
}

TEST(RegexObjectTest, InvalidPatternFailsAndLeavesNoMatches) {
  RegexObject regex;
  EXPECT_EQ(0, regex.Count());
  EXPECT_EQ("", regex.GetPattern());
  EXPECT_EQ("", regex.Replace("x"));
  ASSERT_TRUE(regex.Create("a", "aaa"));
  EXPECT_EQ(false, regex.Create("(unclosed", "(unclosed"));
  EXPECT_EQ(0, regex.Count());
  EXPECT_EQ("(unclosed", regex.GetPattern());
  EXPECT_EQ("", regex.MatchText(1));
  EXPECT_EQ(0, regex.SubMatchCount());
  EXPECT_EQ("", regex.Replace("x"));
  EXPECT_EQ(false, regex.Create("[z-a]", "x"));
  EXPECT_EQ(false, regex.Create("a{2,1}", "x"));
}

TEST(RegexObjectTest, PathologicalBacktrackingEndsAsNoMatch) {
  RegexObject regex;
  const std::string subject = std::string(5000, 'a') + "!";
  EXPECT_EQ(false, regex.Create("(a+)+$", subject, false, false));
  EXPECT_EQ(0, regex.Count());
  EXPECT_EQ(false, regex.Create("(x+x+)+y", std::string(3000, 'x') + "zy"));
  EXPECT_EQ(0, regex.Count());
  EXPECT_EQ(false, regex.Create("(.*?,){30}z", std::string(2000, ',') + "\nz"));
  EXPECT_EQ(0, regex.Count());
  // A group repeated over a long subject still matches: the bounds are not that tight.
  EXPECT_EQ(true, regex.Create("(a|b)*c", std::string(200000, 'a') + "c"));
  EXPECT_EQ(1, regex.Count());
}

TEST(RegexObjectTest, InvalidUtf8InSubjectIsNeverPartOfAMatch) {
  RegexObject regex;
  const std::string subject = "ab\xFF中\xE4\xB8文\xC0\xAFz";
  ASSERT_TRUE(regex.Create(".", subject));
  EXPECT_EQ(5, regex.Count());
  EXPECT_EQ("中", regex.MatchText(3));
  ASSERT_TRUE(regex.Create("[^z]+", subject));
  EXPECT_EQ(3, regex.Count());
  EXPECT_EQ("ab", regex.MatchText(1));
  EXPECT_EQ("文", regex.MatchText(3));
  EXPECT_EQ("-\xFF-\xE4\xB8-\xC0\xAFz", regex.Replace("-"));
  ASSERT_TRUE(regex.Create("x*", "\xFF\xFE"));
  EXPECT_EQ(3, regex.Count());
}

TEST(RegexObjectTest, CopiesKeepTheirResults) {
  RegexObject regex;
  ASSERT_TRUE(regex.Create("(\\d)", "1 2 3"));
  RegexObject copy = regex;
  ASSERT_TRUE(regex.Create("x", "y"));
  EXPECT_EQ(3, copy.Count());
  EXPECT_EQ("2", copy.SubMatchText(2, 1));
  EXPECT_EQ("(\\d)", copy.GetPattern());
  EXPECT_EQ(0, regex.Count());
}

}  // namespace
}  // namespace script
