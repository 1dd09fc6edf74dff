#pragma once

// The portal's base URLs, and the request texts of the side tasks. The fund endpoints' request
// texts live with their cuts in the portal library (src/portal). Query texts, callback names,
// cache-busting literals and trailing blanks are fixed: the portal answers these forms, so they
// are reproduced exactly rather than generated.
//
// Each endpoint has a body cap: well above the largest answer the portal sends there, far below
// the general cap, so that a huge or hostile answer is refused before it costs time and memory.
// Loaders pass it as HttpFetchOptions::max_body_bytes (or to HttpGet).

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace net {

struct PortalUrls {
  // Scheme and host, no trailing "/".
  std::string portal_main;
  std::string portal_api;
  std::string portal_f10;
  std::string portal_push;
  std::string portal_suggest;
  std::string portal_data;
  std::string forum_base;
  std::string step_base;

  // The values built into this program.
  static PortalUrls BuiltIn();
  // Built-in values, each replaced by `override_lookup(name)` ("PORTAL_MAIN", ...) when that
  // gives a non-blank text. A trailing "/" of an override is dropped.
  static PortalUrls Load(const std::function<std::string(std::string_view key)>& override_lookup);
};

// The names of the eight base URLs, as used for overrides.
inline constexpr std::string_view kPortalUrlKeys[] = {
    "PORTAL_MAIN",    "PORTAL_API",  "PORTAL_F10", "PORTAL_PUSH",
    "PORTAL_SUGGEST", "PORTAL_DATA", "FORUM_BASE", "STEP_BASE"};

// Side tasks: the forum's task page and the step service (the latter ends with one blank). The
// task page is a forum page of some hundred KB, the step service answers a short text.
inline constexpr std::size_t kForumTaskMaxBytes = 4u << 20;
inline constexpr std::size_t kStepPostingMaxBytes = 1u << 20;
std::string ForumTaskUrl(const PortalUrls& urls);
std::string StepPostingUrl(const PortalUrls& urls);

}  // namespace net
