#pragma once

// Widgets for the two controls Qt has no ready-made widget for: the chart's draw panel and
// the embedded web page, whose browser is created on its first navigation only.

#include <QWidget>

#include "ui/draw_panel.h"
#include "ui/html_viewer.h"

class QWebEngineView;

namespace ui {

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

class HtmlViewerWidget : public QWidget {
  Q_OBJECT

 public:
  HtmlViewerWidget(HtmlViewer& viewer, QWidget* parent);
  // Loads the viewer's URL when it navigated since the last call.
  void Sync();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  HtmlViewer& viewer_;
  QWebEngineView* browser_ = nullptr;
  int loaded_navigation_ = 0;
};

}  // namespace ui
