#pragma once

// Widgets for the two controls Qt has no ready-made widget for: the chart's draw panel and
// the embedded web page, shown by a process of its own started on the first navigation.

#include <QLabel>
#include <QWidget>

#include "ui/draw_panel.h"
#include "ui/html_viewer.h"

namespace ui {

class PageProcess;

// Shows the panel's canvas when it is a QtCanvas and reports mouse moves to the model.
class DrawPanelWidget : public QWidget {
  Q_OBJECT

 public:
  DrawPanelWidget(DrawPanel& panel, QWidget* parent);
  // Connects to the canvas the panel holds now, so its changes repaint the widget.
  void AttachCanvas();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  DrawPanel& panel_;
  Canvas* attached_ = nullptr;
};

// The page fills the widget. The page process's window is embedded as a native child window,
// which makes this widget, its ancestors and their siblings native as well, so that the
// controls stacked above the page (the panel's close mark) stay above it. The top-level window
// keeps its native window: nothing in this process renders with GL. When no page can be shown
// (the page program missing, ended, or silent), a short text says why in the part of the
// widget its parent shows, until a page is shown again.
class HtmlViewerWidget : public QWidget {
  Q_OBJECT

 public:
  HtmlViewerWidget(HtmlViewer& viewer, QWidget* parent);
  // Loads the viewer's URL when it navigated since the last call.
  void Sync();
  // The process showing the page; null before the first navigation.
  PageProcess* Page() const { return page_; }
  // The widget holding the page's window; null until the page process has shown it.
  QWidget* PageContainer() const { return container_; }
  // "无法显示网页：" + the reason; hidden while a page is shown or on its way.
  const QLabel& Notice() const { return notice_; }
  // How long a page process just started has to answer (PageProcess::SetAnswerWait).
  void SetAnswerWait(int milliseconds) { answer_wait_ = milliseconds; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  void Embed(WId id);
  void ShowNotice(const QString& reason);
  // The notice over the part of the widget inside its parent (the widget may sit at a
  // negative offset in the panel).
  void PlaceNotice();

  HtmlViewer& viewer_;
  PageProcess* page_ = nullptr;
  QWidget* container_ = nullptr;
  QLabel notice_;
  int answer_wait_ = 30000;
  int loaded_navigation_ = 0;
};

}  // namespace ui
