#pragma once

// The process that shows the embedded web page (`fundview-page`). The program itself never
// loads the web engine or a GL driver: the page process renders into a window of its own, which
// the viewer embeds as a foreign window. Started on the first navigation only.
//
// The two talk in lines of UTF-8 text over the page process's standard input and output:
//   to it:   "load <url>"    load the URL (again, when it is the current one)
//            "show"          show the page as a window of its own (no embedding possible)
//   from it: "window <id>"   the native id of the window showing the page, each time it has
//                            (re)made that window
//            "loaded <0|1>"  a load ended, and whether it succeeded
// The end of its input ends the page process, so it never outlives the program.

#include <QObject>
#include <QProcess>
#include <QString>
#include <QWindow>

namespace ui {

// Where the page program is: beside the running executable, else where the package installs
// it relative to the executable's folder, else where the build tree made it; empty when none of
// them holds it.
QString PageProgramPath();

class PageProcess : public QObject {
  Q_OBJECT

 public:
  // Starts `program` (PageProgramPath() when empty).
  explicit PageProcess(QObject* parent, QString program = {});
  // Ends the page process: closes its input, then kills it if it has not ended in a moment.
  ~PageProcess() override;
  PageProcess(const PageProcess&) = delete;
  PageProcess& operator=(const PageProcess&) = delete;

  // Loads `url`; a page process that has ended (crashed, killed) is started again first.
  void Load(const QString& url);
  void ShowOwnWindow();
  qint64 ProcessId() const { return process_.processId(); }

 signals:
  void WindowReady(WId id);
  void LoadFinished(bool ok);
  // The page process ended (crashed, killed): its window is gone. A new one may reuse its id.
  void Ended();

 private:
  void Start();
  void Send(const QByteArray& line);
  void ReadLines();

  QString program_;
  QProcess process_;
};

}  // namespace ui
