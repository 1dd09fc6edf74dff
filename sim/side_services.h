#pragma once

// The two outside services of the side tools, served beside the portal: the forum's task page
// (GBK, with a meta charset) and the step-posting service (JSON with \uXXXX escapes).

#include <string>
#include <string_view>

namespace sim {

class PortalSim;

inline constexpr const char* kForumTaskPath = "/home.php";
inline constexpr const char* kStepServicePath = "/xm/app/ajax.php";

// The login cookie pair the forum accepts; a request must carry it among its cookies.
inline constexpr const char* kForumAuthCookie = "htVC_2132_auth=7e1bqZ0k3Yx";
// The one account the step service knows. The password holds the characters a form body
// must escape and Chinese characters, so only a correctly encoded body is accepted.
inline constexpr const char* kStepAccount = "13800138000";
inline constexpr const char* kStepPassword = "a&b=c+d%e 步数密码";

// The forum's answer to a claim of the daily task, in UTF-8 (it is sent as GBK).
std::string ForumTaskPage(std::string_view message);

// A JSON object {"code":…,"message":…} with every non-ASCII character of the message written
// as \uXXXX, as the step service answers.
std::string StepServiceAnswer(int code, std::string_view message);

// The value of `name` in an application/x-www-form-urlencoded body whose escapes stand for
// GBK bytes; empty when absent.
std::string FormField(std::string_view gbk_body, std::string_view name);

// Registers both services. The first claim of a calendar day succeeds, later ones that day
// are told the task was claimed already.
void AddSideServiceRoutes(PortalSim& sim);

}  // namespace sim
