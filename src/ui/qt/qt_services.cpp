#include "ui/qt/qt_services.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QFileDialog>
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

void QtUiThread::PostAfter(std::chrono::milliseconds delay, std::function<void()> work) {
  if (!work) return;
  // A timer takes at most about 24 days; a longer wait runs in day-long stretches.
  const std::chrono::milliseconds kLongest(24LL * 3600 * 1000);
  if (delay > kLongest) {
    QTimer::singleShot(kLongest, receiver_,
                       [this, kLongest, delay, work = std::move(work)]() mutable {
                         PostAfter(delay - kLongest, std::move(work));
                       });
    return;
  }
  QTimer::singleShot(std::max(delay, std::chrono::milliseconds(0)), Qt::PreciseTimer, receiver_,
                     std::move(work));
}

void QtUiThread::Quit() { QCoreApplication::exit(0); }

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

std::string QtDialogs::ChooseFile(const std::string& title, const std::string& folder,
                                  const std::string& filter) {
  return QFileDialog::getOpenFileName(parent_, QString::fromStdString(title),
                                      QString::fromStdString(folder),
                                      QString::fromStdString(filter))
      .toStdString();
}

std::string QtDialogs::ChooseFolder(const std::string& title, const std::string& folder) {
  return QFileDialog::getExistingDirectory(parent_, QString::fromStdString(title),
                                           QString::fromStdString(folder))
      .toStdString();
}

}  // namespace ui
