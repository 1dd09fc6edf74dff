#include "ui/qt/qt_services.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QThread>
#include <QTimer>
#include <algorithm>

namespace ui {

QtUiThread::QtUiThread() : receiver_(new QObject) {}

QtUiThread::~QtUiThread() { delete receiver_; }

void QtUiThread::Post(std::function<void()> work) {
  if (!work) return;
  QMetaObject::invokeMethod(
      receiver_, [work = std::move(work)] { work(); }, Qt::QueuedConnection);
}

void QtUiThread::PumpEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtUiThread::PumpEventsUntil(Deadline deadline) {
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  // A timer takes at most about 24 days; a longer wait runs in day-long stretches.
  constexpr long long kLongest = 24LL * 3600 * 1000;
  for (;;) {
    const long long left =
        duration_cast<milliseconds>(deadline - std::chrono::steady_clock::now()).count();
    if (left <= 0) break;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(std::min(left, kLongest)), Qt::PreciseTimer, &loop,
                       &QEventLoop::quit);
    loop.exec();
  }
  PumpEvents();
}

bool QtUiThread::IsUiThread() const { return QThread::currentThread() == receiver_->thread(); }

void QtDialogs::MessageBox(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QString(), QString::fromStdString(text), QMessageBox::Ok,
                  parent_);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

bool QtDialogs::AskYesNo(const std::string& text) {
  QMessageBox box(QMessageBox::Question, QString(), QString::fromStdString(text),
                  QMessageBox::Yes | QMessageBox::No, parent_);
  box.setTextFormat(Qt::PlainText);
  box.button(QMessageBox::Yes)->setText(QString::fromUtf8("是"));
  box.button(QMessageBox::No)->setText(QString::fromUtf8("否"));
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace ui
