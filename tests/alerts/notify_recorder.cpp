// A notification service for tests: owns org.freedesktop.Notifications on the session bus
// (DBUS_SESSION_BUS_ADDRESS) and appends "app name|summary|body" to the file named by its
// argument for each Notify call, before it answers.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QFile>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class Recorder : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  explicit Recorder(QString path) : path_(std::move(path)) {}

 public slots:
  uint Notify(const QString& app_name, uint, const QString&, const QString& summary,
              const QString& body, const QStringList&, const QVariantMap&, int) {
    QFile file(path_);
    if (file.open(QIODevice::Append)) {
      file.write((app_name + "|" + summary + "|" + body + "\n").toUtf8());
    }
    return ++count_;
  }
  QStringList GetCapabilities() { return {"body"}; }

 private:
  QString path_;
  uint count_ = 0;
};

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  if (argc != 2) return 2;
  QDBusConnection bus = QDBusConnection::sessionBus();
  Recorder recorder(QString::fromLocal8Bit(argv[1]));
  if (!bus.registerObject("/org/freedesktop/Notifications", &recorder,
                          QDBusConnection::ExportAllSlots) ||
      !bus.registerService("org.freedesktop.Notifications")) {
    return 1;
  }
  return QCoreApplication::exec();
}

#include "notify_recorder.moc"
