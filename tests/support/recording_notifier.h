#pragma once

#include <string>
#include <vector>

#include "ui/notifier.h"

namespace test_support {

// A desktop whose notification service and tray a test switches on and off; keeps every text
// each of them took.
class RecordingNotifier : public ui::Notifier {
 public:
  void Notify(const std::string& summary, const std::string& body,
              std::function<void(bool delivered)> done) override {
    if (service) notified.push_back(summary + "|" + body);
    done(service);
  }
  bool ShowTrayMessage(const std::string& summary, const std::string& body) override {
    if (tray) tray_messages.push_back(summary + "|" + body);
    return tray;
  }
  void SetTrayToolTip(const std::string& text) override { tool_tip = text; }

  bool service = true;
  bool tray = false;
  std::vector<std::string> notified;
  std::vector<std::string> tray_messages;
  std::string tool_tip;
};

}  // namespace test_support
