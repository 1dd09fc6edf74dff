#pragma once

// The desktop's notifications and the tray icon, behind one seam: the program hands a fired
// alert to the notification service, and falls back to the tray icon's message when no service
// takes it. Qt form in ui/qt (the session bus's org.freedesktop.Notifications and
// QSystemTrayIcon); tests use a recording double.

#include <functional>
#include <string>

namespace ui {

class Notifier {
 public:
  virtual ~Notifier() = default;
  // Hands the notification to the desktop's notification service. `done` runs later on the UI
  // thread, with true when a service took it and false when none answered.
  virtual void Notify(const std::string& summary, const std::string& body,
                      std::function<void(bool delivered)> done) = 0;
  // Shows the text as the tray icon's message; false when there is no tray.
  virtual bool ShowTrayMessage(const std::string& summary, const std::string& body) = 0;
  // The tray icon's tool-tip; nothing happens without a tray.
  virtual void SetTrayToolTip(const std::string& text) = 0;
};

// No notification service and no tray: what a program without a desktop has.
class NoNotifier : public Notifier {
 public:
  void Notify(const std::string&, const std::string&,
              std::function<void(bool delivered)> done) override {
    if (done) done(false);
  }
  bool ShowTrayMessage(const std::string&, const std::string&) override { return false; }
  void SetTrayToolTip(const std::string&) override {}
};

}  // namespace ui
