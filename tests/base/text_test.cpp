#include "base/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "base/date_time.h"

namespace base {
namespace {

using Parts = std::vector<std::string>;

TEST(TextTest, FindCountsBytesFromOneAndFailsWithMinusOne) {
  EXPECT_EQ(1, Find("abcabc", "abc"));
  EXPECT_EQ(4, Find("abcabc", "abc", 2));
  EXPECT_EQ(-1, Find("abcabc", "abc", 5));
  EXPECT_EQ(-1, Find("abc", ""));
  EXPECT_EQ(-1, Find("", "a"));
  EXPECT_EQ(-1, Find("abc", "c", 100));
  EXPECT_EQ(1, Find("abc", "a", -5));
  // A Chinese character takes three UTF-8 bytes.
  EXPECT_EQ(4, Find("月24日", "24"));
  EXPECT_EQ(-1, Find("ABC", "abc"));
  EXPECT_EQ(1, Find("ABC", "abc", 1, true));
  // Case folding touches ASCII letters only.
  EXPECT_EQ(-1, Find("Ä", "ä", 1, true));
}

TEST(TextTest, TextBetweenCutsBetweenMarkers) {
  EXPECT_EQ("24", TextBetween("a月24日b", "月", "日"));
  EXPECT_EQ("x", TextBetween("k=\"x\"", "=#引号", "#引号"));
  // The right marker only before the left one.
  EXPECT_EQ("", TextBetween("]abc[", "[", "]"));
  EXPECT_EQ("", TextBetween("abc", "x", "c"));
  EXPECT_EQ("", TextBetween("abc", "a", "x"));
  EXPECT_EQ("", TextBetween("abc", "", "c"));
  EXPECT_EQ("", TextBetween("[]", "[", "]"));
  // The right marker is searched after the left marker, not inside it.
  EXPECT_EQ("b|", TextBetween("aab|a", "a", "a", 2));
  EXPECT_EQ("2", TextBetween("<b>1</b><b>2</b>", "<b>", "</b>", 5));
  EXPECT_EQ("v", TextBetween("<DIV>v</div>", "<div>", "</DIV>", 1, true));
  EXPECT_EQ("", TextBetween("<DIV>v</div>", "<div>", "</DIV>"));
}

TEST(TextTest, TextRightOfLastTakesWhatFollowsTheLastMarker) {
  EXPECT_EQ("c", TextRightOfLast("a/b/c", "/"));
  EXPECT_EQ("", TextRightOfLast("a/b/", "/"));
  EXPECT_EQ("", TextRightOfLast("abc", "/"));
  EXPECT_EQ("", TextRightOfLast("abc", ""));
  EXPECT_EQ("b/c", TextRightOfLast("a/b/c", "/", 3));
  EXPECT_EQ("b/c", TextRightOfLast("a/b/c", "/", 2));
  EXPECT_EQ("", TextRightOfLast("a/b/c", "/", 1));
  EXPECT_EQ("日", TextRightOfLast("1日2日3日", "3"));
  EXPECT_EQ("X", TextRightOfLast("aXbxX", "x"));
  EXPECT_EQ("", TextRightOfLast("aXbxX", "x", -1, true));
  EXPECT_EQ("bxX", TextRightOfLast("aXbxX", "x", 3, true));
}

TEST(TextTest, SplitKeepsInnerEmptyPartsAndDropsAnEmptyLastPart) {
  EXPECT_EQ(Parts{}, Split(""));
  EXPECT_EQ(Parts({"a", "b"}), Split("a,b"));
  EXPECT_EQ(Parts({"a", "", "b"}), Split("a,,b"));
  EXPECT_EQ(Parts({"a", "b"}), Split("a,b,"));
  EXPECT_EQ(Parts({"a", "b", ""}), Split("a,b,,"));
  EXPECT_EQ(Parts({"", "a"}), Split(",a"));
  EXPECT_EQ(Parts({""}), Split(","));
  EXPECT_EQ(Parts({"a/b/c", "x/y/z"}), Split("a/b/c|x/y/z|", "|"));
  EXPECT_EQ(Parts({"a", "b"}), Split("a; b", "; "));
  EXPECT_EQ(Parts({"a,b"}), Split("a,b", ""));
}

TEST(TextTest, ReplaceAllReplacesEveryOccurrenceOnce) {
  EXPECT_EQ("xbxb", ReplaceAll("abab", "a", "x"));
  EXPECT_EQ("aaaa", ReplaceAll("aa", "a", "aa"));
  EXPECT_EQ("abc", ReplaceAll("abc", "", "x"));
  EXPECT_EQ("-b-", ReplaceAll("AbA", "a", "-", true));
  EXPECT_EQ("AbA", ReplaceAll("AbA", "a", "-"));
  EXPECT_EQ("’’", ReplaceAll("''", "'", "’"));
}

TEST(TextTest, BlanksAreAsciiAndFullWidthSpaces) {
  EXPECT_EQ("a b", TrimBlanks(" \xE3\x80\x80 a b\xE3\x80\x80 "));
  EXPECT_EQ("", TrimBlanks(" \xE3\x80\x80 "));
  EXPECT_EQ("\ta\t", TrimBlanks("\ta\t"));
  EXPECT_EQ("ab", RemoveBlanks(" a\xE3\x80\x80 b "));
  // Other characters sharing bytes with U+3000 are left alone.
  EXPECT_EQ("\xE3\x80\x81", TrimBlanks("\xE3\x80\x81"));
  EXPECT_EQ("中\xE3\x80", TrimBlanks("中\xE3\x80"));
}

TEST(TextTest, ToNumberReadsTheLeadingDecimalNumber) {
  EXPECT_EQ(12.5, ToNumber("12.5%"));
  EXPECT_EQ(-3.25, ToNumber("  -3.25元"));
  EXPECT_EQ(7.0, ToNumber("+7"));
  EXPECT_EQ(0.5, ToNumber(".5"));
  EXPECT_EQ(5.0, ToNumber("5."));
  EXPECT_EQ(1500.0, ToNumber("1.5e3x"));
  EXPECT_EQ(2.0, ToNumber("2e"));
  EXPECT_EQ(2.0, ToNumber("2e+"));
  EXPECT_EQ(0.0, ToNumber("-"));
  EXPECT_EQ(0.0, ToNumber("."));
  EXPECT_EQ(0.0, ToNumber("-.e5"));
  EXPECT_EQ(0.0, ToNumber(""));
  EXPECT_EQ(0.0, ToNumber("abc12"));
  EXPECT_EQ(0.0, ToNumber("--1"));
  EXPECT_EQ(0.0, ToNumber("inf"));
  EXPECT_EQ(0.0, ToNumber("nan"));
  EXPECT_EQ(0.0, ToNumber("0x1A"));
  EXPECT_EQ(3.0, ToNumber("\xE3\x80\x80"
                          "3"));
  EXPECT_EQ(0.0, ToNumber("1e-999"));
  EXPECT_EQ(std::numeric_limits<double>::infinity(), ToNumber("1e999"));
  EXPECT_EQ(-std::numeric_limits<double>::infinity(), ToNumber("-1e999"));
  // Out of range is decided by the whole number, not by the exponent's sign alone.
  EXPECT_EQ(0.0, ToNumber("0." + std::string(400, '0') + "1"));
  EXPECT_EQ(std::numeric_limits<double>::infinity(), ToNumber("1" + std::string(400, '0')));
  EXPECT_EQ(std::numeric_limits<double>::infinity(),
            ToNumber("1" + std::string(400, '0') + "e-10"));
  EXPECT_EQ(0.0, ToNumber("0.001e-99999999999999999999"));
}

TEST(TextTest, DecimalMagnitudeIsThePowerOfTenOfTheLeadingDigit) {
  EXPECT_EQ(0, DecimalMagnitude("7"));
  EXPECT_EQ(2, DecimalMagnitude("123.4"));
  EXPECT_EQ(3, DecimalMagnitude("1.5e3"));
  EXPECT_EQ(-2, DecimalMagnitude("0.05"));
  EXPECT_EQ(-2, DecimalMagnitude(".05"));
  EXPECT_EQ(-7, DecimalMagnitude("0.5E-6"));
  EXPECT_EQ(5, DecimalMagnitude("00100e+3"));
  EXPECT_EQ(0, DecimalMagnitude("0.000"));
}

TEST(TextTest, NumbersToTextUseShortestForms) {
  EXPECT_EQ("-42", IntToText(-42));
  EXPECT_EQ("9223372036854775807", IntToText(std::numeric_limits<long long>::max()));
  EXPECT_EQ("3", DoubleToText(3.0));
  EXPECT_EQ("0.1", DoubleToText(0.1));
  EXPECT_EQ("1.234567890123", DoubleToText(1.2345678901234));
  EXPECT_EQ("1e+20", DoubleToText(1e20));
  EXPECT_EQ("-2.5", DoubleToText(-2.5));
  EXPECT_EQ("1.23457", FloatToText(1.2345678f));
  EXPECT_EQ("0.1", FloatToText(0.1f));
  EXPECT_EQ("100000", FloatToText(100000.0f));
  EXPECT_EQ("1e+06", FloatToText(1000000.0f));
  // Round trip through text keeps 13 significant digits.
  EXPECT_EQ(1.234567890123, ToNumber(DoubleToText(1.234567890123)));
}

TEST(TextTest, DateTimeTextLeavesOutTrailingZeroParts) {
  EXPECT_EQ("2021年8月8日9时5分3秒", DateTimeText({2021, 8, 8, 9, 5, 3}));
  EXPECT_EQ("2021年8月8日0时0分3秒", DateTimeText({2021, 8, 8, 0, 0, 3}));
  EXPECT_EQ("2021年8月8日9时5分", DateTimeText({2021, 8, 8, 9, 5, 0}));
  EXPECT_EQ("2021年8月8日0时5分", DateTimeText({2021, 8, 8, 0, 5, 0}));
  EXPECT_EQ("2021年12月31日23时", DateTimeText({2021, 12, 31, 23, 0, 0}));
  EXPECT_EQ("2021年1月1日", DateTimeText({2021, 1, 1, 0, 0, 0}));
  // The day between 月 and 日 is what start-up compares with today.
  EXPECT_EQ("8", TextBetween(DateTimeText({2021, 8, 8, 9, 5, 3}), "月", "日"));
}

}  // namespace
}  // namespace base
