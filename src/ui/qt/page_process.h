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
#include <QTimer>
#include <QWindow>

namespace ui {

// Names the page program where the program's parts run from the build tree (the tests set it);
// where it is set, it is the only place looked at. The build tree's path is never compiled in.
inline constexpr char kPageProgramVariable[] = "FUNDVIEW_PAGE_PROGRAM";

// Why a page cannot be shown, as the user reads it.
inline constexpr char kPageMissingText[] = "找不到页面程序 fundview-page";
inline constexpr char kPageNotStartedText[] = "页面程序无法启动";
inline constexpr char kPageEndedText[] = "页面程序意外退出";
inline constexpr char kPageSilentText[] = "页面程序未响应";

// Where the page program is: where kPageProgramVariable names it, else beside the running
// executable, else where the package installs it relative to the executable's folder; empty
// when that place holds no program.
QString PageProgramPath();

class PageProcess : public QObject {
  Q_OBJECT

 public:
  // Runs `program` (PageProgramPath() when empty), started by the first load.
  explicit PageProcess(QObject* parent, QString program = {});
  // Ends the page process: closes its input, then kills it if it has not ended in a moment.
  ~PageProcess() override;
  PageProcess(const PageProcess&) = delete;
  PageProcess& operator=(const PageProcess&) = delete;

  // Loads `url`; a page process that has ended (crashed, killed) is started again first.
  void Load(const QString& url);
  void ShowOwnWindow();
  qint64 ProcessId() const { return process_.processId(); }
  // How long a page process just started has to report its window before it is given up
  // (Failed, then ended); 30 s unless changed.
  void SetAnswerWait(int milliseconds) { answer_timer_.setInterval(milliseconds); }

 signals:
  void WindowReady(WId id);
  void LoadFinished(bool ok);
  // The page process ended (crashed, killed): its window is gone. A new one may reuse its id.
  void Ended();
  // No page can be shown now, for `reason` (one of the texts above); the next load tries again.
  void Failed(const QString& reason);

 private:
  void Start();
  void Send(const QByteArray& line);
  void ReadLines();
  void OnFinished();

  QString program_;
  QProcess process_;
  QTimer answer_timer_;
  bool given_up_ = false;  // its end is no news: Failed has told why
};

}  // namespace ui
