#include "ui/qt/page_process.h"

#include <QCoreApplication>
#include <QFileInfo>

// The page program as the build tree makes it, and as installed, from the installed program's
// folder.
#ifndef FUNDVIEW_PAGE_BUILD_PATH
#define FUNDVIEW_PAGE_BUILD_PATH ""
#endif
#ifndef FUNDVIEW_PAGE_FROM_BINDIR
#define FUNDVIEW_PAGE_FROM_BINDIR "../libexec/fundview/fundview-page"
#endif

namespace ui {

QString PageProgramPath() {
  const QString folder = QCoreApplication::applicationDirPath();
  const QString candidates[] = {folder + "/fundview-page",
                                folder + "/" + QStringLiteral(FUNDVIEW_PAGE_FROM_BINDIR),
                                QStringLiteral(FUNDVIEW_PAGE_BUILD_PATH)};
  for (const QString& path : candidates) {
    const QFileInfo file(path);
    if (!path.isEmpty() && file.isExecutable()) return file.absoluteFilePath();
  }
  return {};
}

PageProcess::PageProcess(QObject* parent, QString program)
    : QObject(parent), program_(program.isEmpty() ? PageProgramPath() : std::move(program)) {
  // Its messages (the web engine's among them) go where the program's own go.
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  connect(&process_, &QProcess::readyReadStandardOutput, this, &PageProcess::ReadLines);
  connect(&process_, &QProcess::finished, this, &PageProcess::Ended);
  Start();
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
  if (program_.isEmpty()) {
    qWarning("fundview: the page program fundview-page was not found; pages are not shown");
    return;
  }
  process_.start(program_, {});
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
      if (ok && id != 0) emit WindowReady(id);
    } else if (line.startsWith("loaded ")) {
      emit LoadFinished(line.mid(7) == "1");
    }
  }
}

}  // namespace ui
