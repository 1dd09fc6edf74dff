#include "base/date_time.h"

namespace base {

std::string DateTimeText(const DateTime& when) {
  std::string out = std::to_string(when.year) + "年" + std::to_string(when.month) + "月" +
                    std::to_string(when.day) + "日";
  if (when.second != 0) {
    out += std::to_string(when.hour) + "时" + std::to_string(when.minute) + "分" +
           std::to_string(when.second) + "秒";
  } else if (when.minute != 0) {
    out += std::to_string(when.hour) + "时" + std::to_string(when.minute) + "分";
  } else if (when.hour != 0) {
    out += std::to_string(when.hour) + "时";
  }
  return out;
}

}  // namespace base
