// The literal reader's limits on values and nesting, which keep hostile answers from costing
// gigabytes, seconds or the stack.

#include <gtest/gtest.h>
#include <pthread.h>

#include <functional>
#include <string>
#include <string_view>

#include "script/json_literal.h"
#include "script/json_object.h"

namespace script {
namespace {

// Runs `work` on a thread of its own with a stack of `bytes`.
void RunOnStack(size_t bytes, std::function<void()> work) {
  pthread_attr_t attributes;
  ASSERT_EQ(0, pthread_attr_init(&attributes));
  ASSERT_EQ(0, pthread_attr_setstacksize(&attributes, bytes));
  pthread_t thread;
  auto run = [](void* job) -> void* {
    (*static_cast<std::function<void()>*>(job))();
    return nullptr;
  };
  ASSERT_EQ(0, pthread_create(&thread, &attributes, run, &work));
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
}

TEST(JsonLimitsTest, TextWithMoreValuesThanTheLimitFailsAsMalformedTextDoes) {
  JsonObject malformed;
  malformed.Parse("{datas:[");
  // The hostile list answer: empty strings, as many as the limit allows (the object and the
  // list count too), then one more.
  auto list = [](long long items) {
    std::string text = "{datas:[";
    text.reserve(static_cast<size_t>(items) * 3 + 16);
    for (long long i = 0; i < items; ++i) text += "'',";
    return text + "]}";
  };
  JsonObject json;
  ASSERT_TRUE(json.Parse(list(kMaxLiteralValues - 2)));
  EXPECT_EQ(kMaxLiteralValues - 2, json.GetCount("datas"));
  EXPECT_FALSE(json.Parse(list(kMaxLiteralValues - 1)));
  EXPECT_EQ(0, json.GetCount("datas"));
  EXPECT_EQ(malformed.ToText(), json.ToText());

  // Holes and repeated members cost work as values do, though they store little.
  EXPECT_FALSE(json.Parse("[" + std::string(kMaxLiteralValues, ',') + "]"));
  std::string repeated = "{";
  for (long long i = 0; i < kMaxLiteralValues; ++i) repeated += "a:1,";
  EXPECT_FALSE(json.Parse(repeated + "}"));
  EXPECT_EQ(malformed.ToText(), json.ToText());
}

TEST(JsonLimitsTest, NestingAtTheLimitNeedsLittleStackAndDeeperTextIsRefused) {
  // Objects, arrays and parentheses in turn, `levels` deep.
  auto nested = [](int levels) {
    std::string open;
    std::string close;
    for (int i = 0; i < levels; ++i) {
      const char* pair[] = {"{a:}", "[]", "()"};
      const std::string_view both = pair[i % 3];
      open += both.substr(0, both.size() - 1);
      close.push_back(both.back());
    }
    return open + "1" + std::string(close.rbegin(), close.rend());
  };
  const std::string deepest = nested(kMaxLiteralDepth);
  const std::string deeper = nested(kMaxLiteralDepth + 1);
  const std::string hostile = nested(300000);
  bool parsed_deepest = false;
  bool parsed_deeper = true;
  bool parsed_hostile = true;
  std::string copied;
  // Half of a thread's usual stack is plenty for the reader and for walking what it built
  // (text form, display text, copies), even in a sanitizer build.
  RunOnStack(4u << 20, [&] {
    JsonObject json;
    parsed_deepest = json.Parse(deepest);
    json.GetText("");
    copied = json.GetObject("").ToText();
    parsed_deeper = JsonObject().Parse(deeper);
    parsed_hostile = JsonObject().Parse(hostile);
  });
  EXPECT_TRUE(parsed_deepest);
  EXPECT_NE(std::string::npos, copied.find("[{\"a\":[{\"a\":1}]}]"));
  EXPECT_FALSE(parsed_deeper);
  EXPECT_FALSE(parsed_hostile);
}

}  // namespace
}  // namespace script
