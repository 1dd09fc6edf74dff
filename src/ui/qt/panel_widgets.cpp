#include "ui/qt/panel_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QUrl>
#include <QWebEngineView>

#include "ui/qt/qt_canvas.h"

namespace ui {

DrawPanelWidget::DrawPanelWidget(DrawPanel& panel, QWidget* parent)
    : QWidget(parent), panel_(panel) {
  setMouseTracking(true);
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  AttachCanvas();
}

void DrawPanelWidget::AttachCanvas() {
  Canvas* canvas = panel_.GetCanvas();
  if (canvas == attached_) return;
  attached_ = canvas;
  if (auto* qt_canvas = dynamic_cast<QtCanvas*>(canvas)) {
    QPointer<DrawPanelWidget> self(this);
    qt_canvas->SetOnChanged([self] {
      if (self) self->update();
    });
  }
  update();
}

void DrawPanelWidget::paintEvent(QPaintEvent*) {
  if (auto* canvas = dynamic_cast<QtCanvas*>(panel_.GetCanvas())) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas->image());
  }
}

void DrawPanelWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  panel_.MouseMove(at.x(), at.y());
}

HtmlViewerWidget::HtmlViewerWidget(HtmlViewer& viewer, QWidget* parent)
    : QWidget(parent), viewer_(viewer) {}

void HtmlViewerWidget::Sync() {
  if (viewer_.NavigationCount() == loaded_navigation_) return;
  loaded_navigation_ = viewer_.NavigationCount();
  if (!browser_) {
    browser_ = new QWebEngineView(this);
    browser_->setGeometry(rect());
    browser_->show();
  }
  browser_->load(QUrl(QString::fromStdString(viewer_.Url())));
}

void HtmlViewerWidget::resizeEvent(QResizeEvent*) {
  if (browser_) browser_->setGeometry(rect());
}

}  // namespace ui
