#include "ui/qt/qt_notifier.h"

#include <QApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTimer>

namespace ui {

namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
constexpr char kAppName[] = "fundview";
// A service that takes longer than this to answer counts as none.
constexpr int kAnswerTimeoutMs = 5000;

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QtNotifier::QtNotifier(QDBusConnection bus, bool with_tray)
    : bus_(std::move(bus)), receiver_(std::make_unique<QObject>()) {
  if (with_tray && QSystemTrayIcon::isSystemTrayAvailable()) {
    tray_ = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
    tray_->show();
  }
}

QtNotifier::~QtNotifier() = default;

void QtNotifier::Notify(const std::string& summary, const std::string& body,
                        std::function<void(bool delivered)> done) {
  if (!bus_.isConnected()) {
    QTimer::singleShot(0, receiver_.get(), [done = std::move(done)] {
      if (done) done(false);
    });
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, "Notify");
  call << QString(kAppName) << 0u << QString(kAppName) << Q(summary) << Q(body) << QStringList()
       << QVariantMap() << -1;
  auto* watcher =
      new QDBusPendingCallWatcher(bus_.asyncCall(call, kAnswerTimeoutMs), receiver_.get());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, receiver_.get(),
                   [watcher, done = std::move(done)] {
                     watcher->deleteLater();
                     if (done) done(!watcher->isError());
                   });
}

bool QtNotifier::ShowTrayMessage(const std::string& summary, const std::string& body) {
  if (!tray_) return false;
  tray_->showMessage(Q(summary), Q(body));
  return true;
}

void QtNotifier::SetTrayToolTip(const std::string& text) {
  if (tray_) tray_->setToolTip(Q(text));
}

}  // namespace ui
