#pragma once

// The desktop's notifications through the session bus's org.freedesktop.Notifications, and the
// tray icon when the desktop has a tray.

#include <QDBusConnection>
#include <QObject>
#include <QSystemTrayIcon>
#include <memory>

#include "ui/notifier.h"

namespace ui {

class QtNotifier : public Notifier {
 public:
  // Notifications go over `bus`; the tray icon is made when the desktop has a tray and
  // `with_tray` allows one.
  explicit QtNotifier(QDBusConnection bus = QDBusConnection::sessionBus(), bool with_tray = true);
  ~QtNotifier() override;

  // Asks without waiting: the answer, or the bus's error (no service, no bus, no answer within
  // a few seconds), comes back through the event loop.
  void Notify(const std::string& summary, const std::string& body,
              std::function<void(bool delivered)> done) override;
  bool ShowTrayMessage(const std::string& summary, const std::string& body) override;
  void SetTrayToolTip(const std::string& text) override;

  bool HasTray() const { return tray_ != nullptr; }

 private:
  QDBusConnection bus_;
  std::unique_ptr<QObject> receiver_;
  std::unique_ptr<QSystemTrayIcon> tray_;
};

}  // namespace ui
