#include "net/portal.h"

#include <gtest/gtest.h>

#include <map>

namespace net {
namespace {

PortalUrls Sample() {
  std::map<std::string, std::string, std::less<>> values = {
      {"PORTAL_MAIN", "http://main.test"},  {"PORTAL_API", "http://api.test"},
      {"PORTAL_F10", "http://f10.test"},    {"PORTAL_PUSH", "https://push.test"},
      {"PORTAL_SUGGEST", "http://s.test"},  {"PORTAL_DATA", "http://data.test"},
      {"FORUM_BASE", "https://forum.test"}, {"STEP_BASE", "https://step.test"}};
  return PortalUrls::Load([&](std::string_view key) {
    auto found = values.find(key);
    return found == values.end() ? std::string() : found->second;
  });
}

TEST(PortalTest, OverridesReplaceBuiltInValuesOneByOne) {
  const PortalUrls built_in = PortalUrls::BuiltIn();
  for (const std::string* value :
       {&built_in.portal_main, &built_in.portal_api, &built_in.portal_f10, &built_in.portal_push,
        &built_in.portal_suggest, &built_in.portal_data, &built_in.forum_base,
        &built_in.step_base}) {
    EXPECT_EQ(0u, value->find("http")) << *value;
    EXPECT_NE('/', value->back()) << *value;
  }

  PortalUrls mixed = PortalUrls::Load([](std::string_view key) -> std::string {
    if (key == "PORTAL_API") return " http://api.test/ ";
    if (key == "PORTAL_MAIN") return "   ";
    return "";
  });
  EXPECT_EQ("http://api.test", mixed.portal_api);
  EXPECT_EQ(built_in.portal_main, mixed.portal_main);
  EXPECT_EQ(built_in.portal_f10, mixed.portal_f10);
  EXPECT_EQ(built_in.forum_base, PortalUrls::Load(nullptr).forum_base);

  const PortalUrls all = Sample();
  EXPECT_EQ("https://push.test", all.portal_push);
  EXPECT_EQ("http://data.test", all.portal_data);
  EXPECT_EQ("https://forum.test", all.forum_base);
}

TEST(PortalTest, SideTaskRequestsKeepTheirTexts) {
  const PortalUrls urls = Sample();
  EXPECT_EQ("https://forum.test/home.php?mod=task&do=apply&id=2", ForumTaskUrl(urls));
  EXPECT_EQ("https://step.test/xm/app/ajax.php?c=add ", StepPostingUrl(urls));
}

}  // namespace
}  // namespace net
