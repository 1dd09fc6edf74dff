#include "script/json_object.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "base/text.h"
#include "script/json_literal.h"

namespace script {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

constexpr const char* kFundGuide =
    "{datas:[\"000001,华夏成长,HXCZ,混合型,5.12,-0.53,2.10,3.3,4.4,5.5,6.6,7.7,,,,2021-08-06,"
    "1.2340,0.85,,\",\"110022,易方达消费行业,YFDXFHY,股票型,-3.2,1.1,,,,,,,,,,2021-08-06,"
    "3.4560,-1.02,,\"],allRecords:2,pageIndex:1,pageNum:20,allPages:1,datacount:2};\r\n";

TEST(JsonObjectTest, FundGuideLiteralReadsRecordsWithChineseNamesAndCounts) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(kFundGuide));
  EXPECT_EQ(2, json.GetCount("datas"));
  const std::vector<std::string> first = base::Split(json.GetText("datas[0]"));
  ASSERT_GE(first.size(), 18u);
  EXPECT_EQ("000001", first[0]);
  EXPECT_EQ("华夏成长", first[1]);
  EXPECT_EQ("混合型", first[3]);
  EXPECT_EQ("", first[12]);
  EXPECT_EQ("0.85", first[17]);
  EXPECT_EQ("易方达消费行业", base::Split(json.GetText("datas[1]"))[1]);
  EXPECT_EQ("1", json.GetText("allPages"));
  EXPECT_EQ(2.0, json.GetNumber("datacount"));
  EXPECT_EQ("", json.GetText("datas[2]"));
  EXPECT_EQ(kJsonString, json.GetType("datas[1]"));
}

TEST(JsonObjectTest, NestedPortalJsonReadsByMemberAndIndexPaths) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"({"rc":0,"data":{"total":1,"diff":[{"f12":"600519","f14":"贵州茅台",)"
                         R"("f3":-0.53,"f2":2.10}]},"list":[[1,2],[3,[4,5]]]})"));
  EXPECT_EQ(1, json.GetCount("data.diff"));
  EXPECT_EQ("600519", json.GetText("data.diff[0].f12"));
  EXPECT_EQ("贵州茅台", json.GetText("data . diff[0]['f14']"));
  EXPECT_EQ("贵州茅台", json.GetText("data[\"diff\"][0][\"f14\"]"));
  EXPECT_EQ("2.1", json.GetText("data.diff[0].f2"));
  EXPECT_EQ("-0.53", json.GetText("data.diff[0].f3"));
  EXPECT_EQ("5", json.GetText("list[1][1][1]"));
  EXPECT_EQ("3,4,5", json.GetText("list[1]"));
  EXPECT_EQ("[object Object]", json.GetText("data"));
  EXPECT_EQ("[3,[4,5]]", json.GetText("list[1]", true));
  EXPECT_EQ("2", json.GetText("list[0]['1']"));
  // Absent members, members below absent or scalar values and malformed paths read as empty.
  EXPECT_EQ("", json.GetText("data.diff[0].f99"));
  EXPECT_EQ("", json.GetText("data.none.deeper"));
  EXPECT_EQ("", json.GetText("data.diff[0].f12.x"));
  EXPECT_EQ("", json.GetText("data.diff[-1]"));
  EXPECT_EQ("", json.GetText("data.diff[0"));
  EXPECT_EQ("", json.GetText("data..diff"));
  EXPECT_EQ("", json.GetText("data.diff[i]"));
  EXPECT_EQ(0, json.GetCount("data.none"));
  EXPECT_EQ(0.0, json.GetNumber("data.none"));
}

TEST(JsonObjectTest, NumbersReadAtThirteenSignificantDigits) {
  JsonObject json;
  ASSERT_TRUE(json.Parse("{a:2.10,b:-0.53,c:12345678.123456789,d:3.0,e:1.5e3,f:0x1F,g:.5,h:-7}"));
  EXPECT_EQ("2.1", json.GetText("a"));
  EXPECT_EQ("-0.53", json.GetText("b"));
  EXPECT_EQ("12345678.12346", json.GetText("c"));
  EXPECT_EQ("3", json.GetText("d"));
  EXPECT_EQ("1500", json.GetText("e"));
  EXPECT_EQ("31", json.GetText("f"));
  EXPECT_EQ("0.5", json.GetText("g"));
  EXPECT_EQ("-7", json.GetText("h"));
  EXPECT_EQ(R"({"a":2.1,"b":-0.53,"c":12345678.12345679,"d":3,"e":1500,"f":31,"g":0.5,"h":-7})",
            json.ToText());
}

TEST(JsonObjectTest, PathStartingWithIndexReadsRootArray) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"([{"name":"甲"},"乙",[7]])"));
  EXPECT_EQ(3, json.GetCount());
  EXPECT_EQ("甲", json.GetText("[0].name"));
  EXPECT_EQ("乙", json.GetText("[1]"));
  EXPECT_EQ(1, json.GetCount("[2]"));
  EXPECT_EQ(kJsonObject, json.GetType("[0]"));
  EXPECT_EQ(true, json.Has("[2][0]"));
  EXPECT_EQ("乙", json.GetItemText(1));
  EXPECT_EQ(R"({"name":"甲"})", json.GetItemText(0, "", true));
}

TEST(JsonObjectTest, TextThatIsNotALiteralIsRefusedAndReadsEmpty) {
  const std::vector<std::string> bad = {"",
                                        "   ;",
                                        "{a:1",
                                        "[1,2",
                                        "abc",
                                        "alert(1)",
                                        "{a:b}",
                                        "1+2",
                                        "{a:1} x",
                                        "{'a' 1}",
                                        "\"unterminated",
                                        "{a:'x\ny'}",
                                        "[1 2]",
                                        "{a:1,,b:2}",
                                        "0x",
                                        "1e",
                                        "null",
                                        "undefined",
                                        "{a:1}/* open",
                                        "3in",
                                        "new Date()",
                                        "function(){}",
                                        "{a:-}",
                                        "'\\u12'"};
  for (const std::string& text : bad) {
    JsonObject json;
    EXPECT_EQ(false, json.Parse(text)) << text;
    EXPECT_EQ(0, json.GetCount("data.diff")) << text;
    EXPECT_EQ("", json.GetText("data.diff")) << text;
    EXPECT_EQ(kJsonAbsent, json.GetType()) << text;
    EXPECT_EQ("null", json.ToText()) << text;
  }
}

TEST(JsonObjectTest, ScriptLiteralFormsParseToTheirValues) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(
      "/* list */ ({ name: 'it\\'s', \"q\": \"say \\\"hi\\\"\", $x_1: 'a\\tb\\n', 12: 'twelve',"
      " esc: '\\u4e2d\\x41\\101\\0\\/\\q', pair: '\\ud83d\\ude00', lone: '\\ud83d',"
      " brace: '\\u{1F600}', cont: 'a\\\nb', arr: [1,,2,], undef: undefined, t: true, f: false,"
      " 中文键: '值', // trailing comment\n })  ;;  "));
  EXPECT_EQ("it's", json.GetText("name"));
  EXPECT_EQ("say \"hi\"", json.GetText("q"));
  EXPECT_EQ("a\tb\n", json.GetText("$x_1"));
  EXPECT_EQ("twelve", json.GetText("['12']"));
  EXPECT_EQ("twelve", json.GetText("[12]"));
  EXPECT_EQ(std::string("中AA\0/q", 8), json.GetText("esc"));
  EXPECT_EQ("😀", json.GetText("pair"));
  EXPECT_EQ("\xEF\xBF\xBD", json.GetText("lone"));
  EXPECT_EQ("😀", json.GetText("brace"));
  EXPECT_EQ("ab", json.GetText("cont"));
  EXPECT_EQ("[1,null,2]", json.GetJson("arr"));
  EXPECT_EQ(kJsonAbsent, json.GetType("undef"));
  EXPECT_EQ(false, json.Has("undef"));
  EXPECT_EQ("true", json.GetText("t"));
  EXPECT_EQ(kJsonOther, json.GetType("f"));
  EXPECT_EQ("值", json.GetText("中文键"));
}

TEST(JsonObjectTest, CountsTypesAndKeysFollowMemberOrder) {
  JsonObject json;
  ASSERT_TRUE(json.Parse(R"({"z":1,"a":"x","m":{},"e":[],"n":null,"toJSONString":2})"));
  EXPECT_EQ(6, json.GetCount());
  EXPECT_EQ(0, json.GetCount("e"));
  EXPECT_EQ(0, json.GetCount("a"));
  EXPECT_EQ(0, json.GetCount("z"));
  EXPECT_EQ(0, json.GetCount("missing"));
  EXPECT_EQ(kJsonNumber, json.GetType("z"));
  EXPECT_EQ(kJsonString, json.GetType("a"));
  EXPECT_EQ(kJsonObject, json.GetType("m"));
  EXPECT_EQ(kJsonArray, json.GetType("e"));
  EXPECT_EQ(kJsonAbsent, json.GetType("n"));
  EXPECT_EQ(kJsonAbsent, json.GetType("missing"));
  EXPECT_EQ(kJsonAbsent, json.GetType("missing.deeper"));
  std::vector<std::string> keys = {"stale"};
  EXPECT_EQ(6, json.GetKeys(&keys));
  EXPECT_EQ((std::vector<std::string>{"z", "a", "m", "e", "n", "toJSONString"}), keys);
  EXPECT_EQ(0, json.GetKeys(&keys, "m"));
  EXPECT_EQ(std::vector<std::string>{}, keys);
  ASSERT_TRUE(json.Parse("{a:1,b:2}"));
  EXPECT_EQ(2, json.GetKeys(&keys));
  EXPECT_EQ((std::vector<std::string>{"a", "b"}), keys);
}

TEST(JsonObjectTest, NumericMemberNamesReadAsTheNumbersAScriptShows) {
  JsonObject json;
  ASSERT_TRUE(json.Parse("{1:'a', 2.0:'b', 1.50:'c', 0x10:'d', .5:'e', 1e21:'f'}"));
  EXPECT_EQ(R"({"1":"a","2":"b","1.5":"c","16":"d","0.5":"e","1e+21":"f"})", json.ToText());
  EXPECT_EQ("b", json.GetText("[2]"));
}

TEST(JsonObjectTest, RepeatedMemberNamesKeepFirstPlaceAndLastValue) {
  std::string text = "{";
  for (int i = 0; i < 40; ++i) text += "k" + std::to_string(i) + ":" + std::to_string(i) + ",";
  text += "k0:'last',k39:'end',b:1,b:2}";
  JsonObject json;
  ASSERT_TRUE(json.Parse(text));
  EXPECT_EQ(41, json.GetCount());
  EXPECT_EQ("last", json.GetText("k0"));
  EXPECT_EQ("end", json.GetText("k39"));
  EXPECT_EQ("2", json.GetText("b"));
  std::vector<std::string> keys;
  json.GetKeys(&keys);
  EXPECT_EQ("k0", keys.front());
  EXPECT_EQ("b", keys.back());
  ASSERT_TRUE(json.Parse("{x:1,y:2,x:3}"));
  EXPECT_EQ(R"({"x":3,"y":2})", json.ToText());
}

TEST(JsonObjectTest, HostileInputIsRefusedOrSanitisedWithoutCrashing) {
  JsonObject json;
  EXPECT_EQ(false, json.Parse(std::string(200000, '[')));
  EXPECT_EQ(false, json.Parse(std::string(100000, '{') + "a:1"));
  EXPECT_EQ(false, json.Parse(std::string(100000, '(') + "1"));
  std::string deepest = std::string(kMaxLiteralDepth, '[') + std::string(kMaxLiteralDepth, ']');
  EXPECT_EQ(true, json.Parse(deepest));
  EXPECT_EQ(false, json.Parse("[" + deepest + "]"));

  ASSERT_TRUE(json.Parse("{a:'x\xFFy\xE4\xB8',b:'\xC0\xAF',c:\"ok\xE4\xB8\xAD\"}"));
  EXPECT_EQ("x\xEF\xBF\xBDy\xEF\xBF\xBD\xEF\xBF\xBD", json.GetText("a"));
  EXPECT_EQ("\xEF\xBF\xBD\xEF\xBF\xBD", json.GetText("b"));
  EXPECT_EQ("ok中", json.GetText("c"));
  EXPECT_EQ(false, json.Parse(std::string("{a:1,\0b:2}", 10)));
  EXPECT_EQ(false, json.Parse(std::string("{a:1}\0", 6)));
  ASSERT_TRUE(json.Parse(std::string("['a\0b']", 7)));
  EXPECT_EQ(std::string("a\0b", 3), json.GetText("[0]"));

  ASSERT_TRUE(json.Parse("[1e400,-1e400,1e-400," + std::string(5000, '9') + ",0." +
                         std::string(5000, '0') + "1,99999999999999999999]"));
  EXPECT_EQ(kJsonNumber, json.GetType("[0]"));
  EXPECT_EQ(kInfinity, json.GetNumber("[0]"));
  EXPECT_EQ(-kInfinity, json.GetNumber("[1]"));
  EXPECT_EQ(0.0, json.GetNumber("[2]"));
  EXPECT_EQ(kInfinity, json.GetNumber("[3]"));
  EXPECT_EQ(0.0, json.GetNumber("[4]"));
  EXPECT_EQ("1e+20", json.GetText("[5]"));
  EXPECT_EQ("[null,null,0,null,0,1e+20]", json.ToText());
  // The whole number decides, not the exponent's sign alone.
  ASSERT_TRUE(json.Parse("[1" + std::string(400, '0') + "e-10,." + std::string(400, '0') +
                         "1e5,0.001e-99999999999]"));
  EXPECT_EQ(kInfinity, json.GetNumber("[0]"));
  EXPECT_EQ(0.0, json.GetNumber("[1]"));
  EXPECT_EQ(0.0, json.GetNumber("[2]"));
}

TEST(JsonObjectTest, SettersStoreLiteralsAndNeverRunScript) {
  JsonObject json;
  json.SetValue("name", "华夏 'quoted'", false);
  json.SetValue("obj", "{list:[1,2]}", true);
  json.SetValue("empty", "", true);
  json.SetExpression("expr", "alert(1)");
  json.SetExpression("list", "[3,'x']");
  json.SetNumber("num", 0.1 + 0.2);
  json.SetNumber("obj.list[1]", 12345678.123456789);
  json.SetValue("missing.child", "x", false);
  EXPECT_EQ(R"({"name":"华夏 'quoted'","obj":{"list":[1,12345678.12346]},"empty":{},)"
            R"("list":[3,"x"],"num":0.3})",
            json.ToText());

  json.Append("a", "list");
  json.Append("{k:1}", "fresh", true);
  json.Append("not a literal", "fresh", true);
  json.Append("b", "name");
  EXPECT_EQ(R"([3,"x","a"])", json.GetJson("list"));
  EXPECT_EQ(R"([{"k":1}])", json.GetJson("fresh"));
  EXPECT_EQ(R"(["b"])", json.GetJson("name"));

  json.SetValue("list[5]", "far", false);
  EXPECT_EQ(R"([3,"x","a",null,null,"far"])", json.GetJson("list"));
  json.SetValue("list[100000000]", "too far", false);
  EXPECT_EQ(6, json.GetCount("list"));

  json.New(kJsonArray);
  json.Append("1", "", true);
  json.Append("2", "", true);
  json.Append("3", "", true);
  json.SetItem(0, "zero", false);
  json.RemoveItem(-1);
  json.RemoveItem(7);
  EXPECT_EQ(R"(["zero",2])", json.ToText());
  json.RemoveItem(0);
  EXPECT_EQ("[2]", json.ToText());

  EXPECT_EQ(false, json.SetRoot("0", true));
  EXPECT_EQ(true, json.SetRoot("abc", false));
  EXPECT_EQ(false, json.SetRoot("", false));
  EXPECT_EQ(true, json.SetRoot("{}", true));
  EXPECT_EQ(false, json.SetRoot("window.close()", true));
  EXPECT_EQ("{}", json.ToText());
  json.Clear();
  EXPECT_EQ(0, json.GetCount());
}

TEST(JsonObjectTest, CopiesShareTheValueUntilParsedAgain) {
  JsonObject original;
  ASSERT_TRUE(original.Parse("{a:{b:[1,2]}}"));
  JsonObject copy = original;
  copy.SetNumber("a.c", 5);
  EXPECT_EQ("5", original.GetText("a.c"));

  JsonObject part = original.GetObject("a");
  part.SetNumber("b[0]", 9);
  EXPECT_EQ("1", original.GetText("a.b[0]"));
  EXPECT_EQ("9", part.GetText("b[0]"));
  EXPECT_EQ("2", original.GetItemObject(1, "a.b").ToText());
  EXPECT_EQ(kJsonAbsent, original.GetObject("nothing").GetType());

  ASSERT_TRUE(copy.Parse("[1]"));
  EXPECT_EQ(kJsonObject, original.GetType());
  copy.Reset();
  EXPECT_EQ("{}", copy.ToText());
}

TEST(JsonObjectTest, AssignmentsBeyondTheNestingLimitChangeNothing) {
  JsonObject json;
  std::string path = "a";
  for (int i = 0; i < kMaxLiteralDepth + 40; ++i) {
    json.SetExpression(path, "{}");
    path += ".a";
  }
  // Only the objects within the limit were made.
  std::string deepest = "a";
  for (int i = 1; i < kMaxLiteralDepth - 1; ++i) deepest += ".a";
  EXPECT_EQ(kJsonObject, json.GetType(deepest));
  EXPECT_EQ(kJsonAbsent, json.GetType(deepest + ".a"));

  // Under `path` (kMaxLiteralDepth - 2 steps) a value may nest two levels more.
  path = deepest.substr(0, deepest.size() - 2);
  const std::string before = json.ToText();
  json.SetExpression(path, "[[[1]]]");
  EXPECT_EQ(before, json.ToText());
  json.SetExpression(path, "[[1]]");
  EXPECT_EQ("1", json.GetText(path + "[0][0]"));
}

}  // namespace
}  // namespace script
