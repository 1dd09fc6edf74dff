#include "net/cookies.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace net {
namespace {

std::string Merge(std::string old_text, std::string new_text) {
  return CookieMerge(old_text, new_text);
}

TEST(CookiesTest, NewItemsReplaceOldOnesOfTheSameName) {
  EXPECT_EQ("b=3; a=1", Merge("a=1; b=2", "b=3"));
  EXPECT_EQ("c=9; b=8; a=1", Merge("a=1; b=2", "c=9; b=8"));
  EXPECT_EQ("a=1", Merge("a=1", ""));
  EXPECT_EQ("a=1; b=2", Merge("", "a=1; b=2"));
  EXPECT_EQ("", Merge("", ""));
  // Names compare exactly: case matters, and a name is not a prefix match.
  EXPECT_EQ("A=2; a=1", Merge("a=1", "A=2"));
  EXPECT_EQ("ab=2; a=1", Merge("a=1", "ab=2"));
  // Values may contain "=".
  EXPECT_EQ("t=x=y; u=1", Merge("t=old; u=1", "t=x=y"));
}

TEST(CookiesTest, DeletedItemsDisappearTogetherWithTheOldOnes) {
  EXPECT_EQ("a=1", Merge("a=1; b=2", "b=deleted"));
  EXPECT_EQ("", Merge("b=2", "b=deleted"));
  EXPECT_EQ("", Merge("b=deleted", ""));
  // Only the whole value "deleted" counts.
  EXPECT_EQ("b=undeleted2; a=1", Merge("a=1", "b=undeleted2"));
}

TEST(CookiesTest, BlanksAreRemovedAndDuplicatesCollapse) {
  EXPECT_EQ("a=12; b=2", Merge("a=1 2;\xE3\x80\x80"
                               "b=2",
                               ""));
  EXPECT_EQ("a=1", Merge("a=1; a=1", ""));
  EXPECT_EQ("a=1", Merge("a=1; a=2", ""));
  EXPECT_EQ("s=1; a=1", Merge("a=1", "s=1; s=1"));
  EXPECT_EQ("a=1; ; b=2", Merge("a=1;;b=2", ""));
}

TEST(CookiesTest, MergeUpdatesBothArgumentsAndReturnsTheResult) {
  std::string cookies = "a=1; b=2";
  std::string fresh = " b = 3 ";
  std::string result = CookieMerge(cookies, fresh);
  EXPECT_EQ("b=3; a=1", result);
  EXPECT_EQ("b=3; a=1", cookies);
  EXPECT_EQ("b=3", fresh);
  // Merging the same response again changes nothing.
  EXPECT_EQ("b=3; a=1", CookieMerge(cookies, fresh));
}

TEST(CookiesTest, HelpersNameAndDeduplicateItems) {
  EXPECT_EQ("sid", CookieNameOf(" sid =abc"));
  EXPECT_EQ("flag", CookieNameOf("flag"));
  EXPECT_EQ("", CookieNameOf("=v"));
  EXPECT_EQ("名", CookieNameOf("\xE3\x80\x80名\xE3\x80\x80=1"));
  std::vector<std::string> items = {"a=1", "Bb=2"};
  EXPECT_TRUE(CookieListHasName(items, "Bb"));
  EXPECT_FALSE(CookieListHasName(items, "bb"));
  EXPECT_FALSE(CookieListHasName(items, "a=1"));
  EXPECT_EQ("x|y|z", JoinUnique("x|y|x|z|y", "|"));
  EXPECT_EQ("x|", JoinUnique("x||x|", "|"));
  EXPECT_EQ("", JoinUnique("", "; "));
  EXPECT_EQ("X; x", JoinUnique("X; x; X", "; "));
}

}  // namespace
}  // namespace net
