#include "ui/qt/page_process.h"

#include <QCoreApplication>
#include <QFileInfo>

// The page program as installed, from the installed program's folder.
#ifndef FUNDVIEW_PAGE_FROM_BINDIR
#define FUNDVIEW_PAGE_FROM_BINDIR "../libexec/fundview/fundview-page"
#endif

namespace ui {

QString PageProgramPath() {
  const auto executable = [](const QString& path) {
    const QFileInfo file(path);
    return !path.isEmpty() && file.isFile() && file.isExecutable() ? file.absoluteFilePath()
                                                                   : QString();
  };
  if (qEnvironmentVariableIsSet(kPageProgramVariable)) {
    return executable(qEnvironmentVariable(kPageProgramVariable));
  }
  const QString folder = QCoreApplication::applicationDirPath();
  for (const QString& path :
       {folder + "/fundview-page", folder + "/" + QStringLiteral(FUNDVIEW_PAGE_FROM_BINDIR)}) {
    if (QString found = executable(path); !found.isEmpty()) return found;
  }
  return {};
}

PageProcess::PageProcess(QObject* parent, QString program)
    : QObject(parent), program_(program.isEmpty() ? PageProgramPath() : std::move(program)) {
  // Its messages (the web engine's among them) go where the program's own go.
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  connect(&process_, &QProcess::readyReadStandardOutput, this, &PageProcess::ReadLines);
  connect(&process_, &QProcess::finished, this, &PageProcess::OnFinished);
  connect(&process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
    if (error != QProcess::FailedToStart) return;
    qWarning("fundview: the page program %s could not be started", qPrintable(program_));
    answer_timer_.stop();
    emit Failed(kPageNotStartedText);
  });
  answer_timer_.setSingleShot(true);
  answer_timer_.setInterval(30000);
  connect(&answer_timer_, &QTimer::timeout, this, [this] {
    qWarning("fundview: the page program did not answer; it is ended");
    given_up_ = true;
    emit Failed(kPageSilentText);
    process_.kill();
  });
}

PageProcess::~PageProcess() {
  // Its end here is no news to a viewer that is going away itself.
  process_.disconnect(this);
  if (process_.state() == QProcess::NotRunning) return;
  process_.closeWriteChannel();
  if (!process_.waitForFinished(1000)) {
    process_.kill();
    process_.waitForFinished(1000);
  }
}

void PageProcess::Start() {
  if (program_.isEmpty()) program_ = PageProgramPath();
  if (program_.isEmpty()) {
    qWarning("fundview: the page program fundview-page was not found; pages are not shown");
    emit Failed(kPageMissingText);
    return;
  }
  given_up_ = false;
  process_.start(program_, {});
  answer_timer_.start();
}

void PageProcess::OnFinished() {
  answer_timer_.stop();
  emit Ended();
  if (!given_up_) emit Failed(kPageEndedText);
  given_up_ = false;
}

void PageProcess::Load(const QString& url) {
  if (process_.state() == QProcess::NotRunning) Start();
  Send("load " + url.toUtf8());
}

void PageProcess::ShowOwnWindow() { Send("show"); }

void PageProcess::Send(const QByteArray& line) {
  // Written once the process has started; QProcess keeps what is written before that.
  if (process_.state() != QProcess::NotRunning) process_.write(line + '\n');
}

void PageProcess::ReadLines() {
  while (process_.canReadLine()) {
    const QByteArray line = process_.readLine().trimmed();
    if (line.startsWith("window ")) {
      bool ok = false;
      const WId id = line.mid(7).toULongLong(&ok);
      if (ok && id != 0) {
        answer_timer_.stop();
        emit WindowReady(id);
      }
    } else if (line.startsWith("loaded ")) {
      answer_timer_.stop();
      emit LoadFinished(line.mid(7) == "1");
    }
  }
}

}  // namespace ui
