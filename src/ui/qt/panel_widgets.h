#pragma once

// Widgets for the two controls Qt has no ready-made widget for: the chart's draw panel and
// the embedded web page, shown by a process of its own started on the first navigation.

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
// keeps its native window: nothing in this process renders with GL.
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

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Embed(WId id);

  HtmlViewer& viewer_;
  PageProcess* page_ = nullptr;
  QWidget* container_ = nullptr;
  int loaded_navigation_ = 0;
};

}  // namespace ui
