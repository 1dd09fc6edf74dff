// fundview-page: shows the program's embedded web page in a process of its own, so that the
// program never loads the web engine or a GL driver. It reads its orders from its standard
// input and reports on its standard output, one line each (ui/qt/page_process.h); the end of
// its input ends it.

#include <unistd.h>

#include <QApplication>
#include <QChildEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <QWebEngineView>
#include <cstdio>

namespace {

void Report(const QByteArray& line) {
  std::fwrite(line.constData(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// The page's window. Its native window is made only once the web engine has put its rendering
// widget into the view: made earlier, it would be made again with the GL surface that widget
// needs, under the program that embeds it. Until the program embeds it, it is an unmanaged
// window far off the screen. Every native window it gets is reported.
class PageWindow : public QObject {
 public:
  PageWindow() {
    view_.setWindowFlags(Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint);
    view_.setGeometry(-32000, -32000, 1002, 1264);
    view_.installEventFilter(this);
    connect(&view_, &QWebEngineView::loadFinished, this, [this](bool ok) {
      ShowWindow();
      Report(ok ? "loaded 1" : "loaded 0");
    });
  }

  void Load(const QByteArray& url) { view_.load(QUrl(QString::fromUtf8(url))); }

  // No embedding: a plain window of its own.
  void ShowOwnWindow() {
    if (own_window_) return;
    own_window_ = true;
    view_.setWindowFlags(Qt::Window);
    view_.setGeometry(100, 100, 1002, 776);
    ShowWindow();
    view_.show();
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ChildAdded &&
        static_cast<QChildEvent*>(event)->child()->isWidgetType()) {
      QTimer::singleShot(0, this, [this] { ShowWindow(); });
    } else if (event->type() == QEvent::WinIdChange && shown_ && view_.internalWinId() != 0 &&
               view_.internalWinId() != reported_) {
      reported_ = view_.internalWinId();
      Report("window " + QByteArray::number(static_cast<qulonglong>(reported_)));
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void ShowWindow() {
    if (shown_) return;
    shown_ = true;
    view_.show();  // reported as its native window is made
  }

  QWebEngineView view_;
  bool shown_ = false;
  bool own_window_ = false;
  WId reported_ = 0;
};

// Runs the orders arriving on standard input; its end quits the application.
class Orders : public QObject {
 public:
  explicit Orders(PageWindow& page) : page_(page), notifier_(STDIN_FILENO, QSocketNotifier::Read) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { ReadInput(); });
  }

 private:
  void ReadInput() {
    char chunk[4096];
    const ssize_t got = read(STDIN_FILENO, chunk, sizeof chunk);
    if (got <= 0) {
      notifier_.setEnabled(false);
      QCoreApplication::quit();
      return;
    }
    pending_.append(chunk, got);
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
      const QByteArray line = pending_.left(end).trimmed();
      pending_.remove(0, end + 1);
      if (line.startsWith("load ")) page_.Load(line.mid(5));
      if (line == "show") page_.ShowOwnWindow();
    }
  }

  PageWindow& page_;
  QSocketNotifier notifier_;
  QByteArray pending_;
};

}  // namespace

int main(int argc, char** argv) {
  // The web engine's sandbox refuses to start under root; without it the page still loads.
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication application(argc, argv);
  PageWindow page;
  Orders orders(page);
  return QApplication::exec();
}
