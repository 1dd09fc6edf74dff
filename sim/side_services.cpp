#include "sim/side_services.h"

#include <ctime>
#include <memory>
#include <mutex>

#include "base/encoding.h"
#include "base/text.h"
#include "sim/server.h"

namespace sim {
namespace {

constexpr std::string_view kClaimedPhrase = "恭喜您，任务已完成，您已获得 2 枚 CB";
constexpr std::string_view kAlreadyPhrase = "抱歉，本期您已申请过此任务，请下期再来";
constexpr std::string_view kLoginPhrase = "您需要先登录才能继续本操作";

struct ForumTasks {
  std::mutex mutex;
  std::string claimed_on;  // the local date of the last successful claim
};

std::string LocalDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[16];
  std::strftime(text, sizeof text, "%Y-%m-%d", &local);
  return text;
}

bool HasAuthCookie(const httplib::Request& request) {
  for (const std::string& item : base::Split(request.get_header_value("Cookie"), ";")) {
    if (base::TrimBlanks(item) == kForumAuthCookie) return true;
  }
  return false;
}

std::string ClaimMessage(ForumTasks& tasks, const httplib::Request& request) {
  const bool task_claim = request.get_param_value("mod") == "task" &&
                          request.get_param_value("do") == "apply" &&
                          request.get_param_value("id") == "2";
  if (!task_claim) return "任务不存在";
  if (!HasAuthCookie(request)) return std::string(kLoginPhrase);
  std::lock_guard<std::mutex> lock(tasks.mutex);
  const std::string today = LocalDate();
  if (tasks.claimed_on == today) return std::string(kAlreadyPhrase);
  tasks.claimed_on = today;
  return std::string(kClaimedPhrase);
}

void AppendEscaped(std::string_view utf8, std::string* out) {
  static constexpr char kHex[] = "0123456789abcdef";
  auto unit = [out](unsigned value) {
    *out += "\\u";
    for (int shift = 12; shift >= 0; shift -= 4) *out += kHex[(value >> shift) & 0xF];
  };
  for (size_t at = 0; at < utf8.size();) {
    char32_t code = 0;
    const size_t length = base::Utf8SequenceAt(utf8, at, &code);
    if (length == 0) {
      unit(0xFFFD);
      ++at;
      continue;
    }
    at += length;
    if (code == '"' || code == '\\') {
      *out += '\\';
      *out += static_cast<char>(code);
    } else if (code < 0x20 || code >= 0x80) {
      if (code >= 0x10000) {
        unit(0xD800 + ((code - 0x10000) >> 10));
        unit(0xDC00 + ((code - 0x10000) & 0x3FF));
      } else {
        unit(code);
      }
    } else {
      *out += static_cast<char>(code);
    }
  }
}

}  // namespace

std::string ForumTaskPage(std::string_view message) {
  std::string page =
      "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\">\n<html>\n<head>\n"
      "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\" />\n"
      "<title>提示信息 - 吾爱破解</title>\n</head>\n<body>\n<div id=\"messagetext\">\n<p>";
  page += message;
  page += "</p>\n</div>\n</body>\n</html>\n";
  return page;
}

std::string StepServiceAnswer(int code, std::string_view message) {
  std::string answer = "{\"code\":" + std::to_string(code) + ",\"message\":\"";
  AppendEscaped(message, &answer);
  answer += "\"}";
  return answer;
}

std::string FormField(std::string_view gbk_body, std::string_view name) {
  for (const std::string& pair : base::Split(base::GbkToUtf8(gbk_body), "&")) {
    const size_t equals = pair.find('=');
    if (equals == std::string::npos || std::string_view(pair).substr(0, equals) != name) continue;
    return base::UrlDecode(base::ReplaceAll(pair.substr(equals + 1), "+", " "), false);
  }
  return "";
}

void AddSideServiceRoutes(PortalSim& sim) {
  auto tasks = std::make_shared<ForumTasks>();
  sim.AddGet(kForumTaskPath, [tasks](const httplib::Request& request, httplib::Response& response) {
    response.set_content(base::Utf8ToGbk(ForumTaskPage(ClaimMessage(*tasks, request))),
                         "text/html; charset=gbk");
  });
  sim.AddPost(kStepServicePath, [](const httplib::Request& request, httplib::Response& response) {
    const std::string steps = FormField(request.body, "bs");
    std::string answer;
    if (request.get_param_value("c") != "add") {
      answer = StepServiceAnswer(404, "未知操作");
    } else if (FormField(request.body, "usr") != kStepAccount ||
               FormField(request.body, "psw") != kStepPassword) {
      answer = StepServiceAnswer(201, "账号或密码错误");
    } else {
      answer = StepServiceAnswer(200, "修改步数成功，当前步数：" + steps);
    }
    response.set_content(answer, "application/json; charset=utf-8");
  });
}

}  // namespace sim
