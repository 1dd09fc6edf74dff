#pragma once

// Small pieces shared by the simulated portal's HTML pages.

#include <string>
#include <string_view>

namespace sim {

// Document start up to and including "<body>", declaring UTF-8 as the portal's pages do.
inline std::string PageHead(std::string_view title) {
  return "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
         "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\r\n"
         "<html xmlns=\"http://www.w3.org/1999/xhtml\"><head>\r\n"
         "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\" />\r\n"
         "<title>" +
         std::string(title) +
         "</title>\r\n<link rel=\"stylesheet\" href=\"/css/common.css\" "
         "/>\r\n</head>\r\n<body>\r\n";
}

inline constexpr std::string_view kPageFoot =
    "<div class=\"footer\"><p>数据仅供参考，不构成投资建议</p></div>\r\n</body></html>\r\n";

// The colour class the portal gives a signed figure: red up, green down, grey for none.
inline std::string_view ColourClass(std::string_view figure) {
  if (figure.empty() || figure == "--") return "ui-color-gray";
  if (figure.front() == '-') return "ui-color-green";
  if (figure.find_first_of("123456789") == std::string_view::npos) return "ui-color-gray";
  return "ui-color-red";
}

}  // namespace sim
