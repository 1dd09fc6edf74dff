#include "net/portal.h"

#include "base/text.h"

namespace net {
namespace {

std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view part : parts) out += part;
  return out;
}

std::string Clean(std::string value) {
  value = base::TrimBlanks(value);
  while (!value.empty() && value.back() == '/') value.pop_back();
  return value;
}

}  // namespace

PortalUrls PortalUrls::BuiltIn() {
  PortalUrls urls;
  urls.portal_main = FUNDVIEW_PORTAL_MAIN;
  urls.portal_api = FUNDVIEW_PORTAL_API;
  urls.portal_f10 = FUNDVIEW_PORTAL_F10;
  urls.portal_push = FUNDVIEW_PORTAL_PUSH;
  urls.portal_suggest = FUNDVIEW_PORTAL_SUGGEST;
  urls.portal_data = FUNDVIEW_PORTAL_DATA;
  urls.forum_base = FUNDVIEW_FORUM_BASE;
  urls.step_base = FUNDVIEW_STEP_BASE;
  return urls;
}

PortalUrls PortalUrls::Load(
    const std::function<std::string(std::string_view key)>& override_lookup) {
  PortalUrls urls = BuiltIn();
  if (!override_lookup) return urls;
  std::string* fields[] = {&urls.portal_main, &urls.portal_api,     &urls.portal_f10,
                           &urls.portal_push, &urls.portal_suggest, &urls.portal_data,
                           &urls.forum_base,  &urls.step_base};
  for (size_t i = 0; i < std::size(kPortalUrlKeys); ++i) {
    std::string value = Clean(override_lookup(kPortalUrlKeys[i]));
    if (!value.empty()) *fields[i] = std::move(value);
  }
  return urls;
}

std::string ForumTaskUrl(const PortalUrls& urls) {
  return Cat({urls.forum_base, "/home.php?mod=task&do=apply&id=2"});
}

std::string StepPostingUrl(const PortalUrls& urls) {
  return Cat({urls.step_base, "/xm/app/ajax.php?c=add "});
}

}  // namespace net
