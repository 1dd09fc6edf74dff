#include "ui/qt/panel_widgets.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QWindow>

#include "ui/qt/page_process.h"
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

namespace {

// A native child window made the widgets above it, and their siblings, native as well; each
// window was made on top of those made before it, whatever the widgets' stacking order. Puts the
// windows back in that order, level by level, so that the controls above the page (the panel's
// close mark) stay above it and those below it stay below.
void RestackNativeWindows(QWidget* from) {
  for (QWidget* level = from; level && !level->isWindow(); level = level->parentWidget()) {
    for (QObject* child : level->parentWidget()->children()) {
      auto* sibling = qobject_cast<QWidget*>(child);
      if (sibling && !sibling->isWindow() && sibling->internalWinId() && sibling->windowHandle()) {
        sibling->windowHandle()->raise();
      }
    }
  }
}

}  // namespace

HtmlViewerWidget::HtmlViewerWidget(HtmlViewer& viewer, QWidget* parent)
    : QWidget(parent), viewer_(viewer), notice_(this) {
  // A page on its way shows as an empty white page.
  setAutoFillBackground(true);
  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::white);
  setPalette(palette);
  notice_.setObjectName("页面提示");
  notice_.setAlignment(Qt::AlignCenter);
  notice_.setWordWrap(true);
  notice_.hide();
}

void HtmlViewerWidget::Sync() {
  if (viewer_.NavigationCount() == loaded_navigation_) return;
  loaded_navigation_ = viewer_.NavigationCount();
  // A new attempt: a reason given for the last one is given again if it still holds.
  notice_.hide();
  if (!page_) {
    page_ = new PageProcess(this);
    page_->SetAnswerWait(answer_wait_);
    connect(page_, &PageProcess::WindowReady, this, &HtmlViewerWidget::Embed);
    connect(page_, &PageProcess::Failed, this, &HtmlViewerWidget::ShowNotice);
    connect(page_, &PageProcess::Ended, this, [this] {
      delete container_;
      container_ = nullptr;
    });
  }
  page_->Load(QString::fromStdString(viewer_.Url()));
}

void HtmlViewerWidget::Embed(WId id) {
  // A window the page process made before this one is gone with it.
  delete container_;
  container_ = nullptr;
  QWindow* window = QWindow::fromWinId(id);
  if (!window) {
    // The window system embeds no other process's windows.
    page_->ShowOwnWindow();
    return;
  }
  notice_.hide();
  container_ = QWidget::createWindowContainer(window, this);
  container_->setGeometry(rect());
  container_->show();
  RestackNativeWindows(container_);
}

void HtmlViewerWidget::ShowNotice(const QString& reason) {
  const QString text = QStringLiteral("无法显示网页：") + reason;
  notice_.setText(text);
  notice_.setAccessibleName(text);
  PlaceNotice();
  notice_.show();
  notice_.raise();
}

void HtmlViewerWidget::PlaceNotice() {
  const QRect shown =
      parentWidget() ? rect().intersected(QRect(-pos(), parentWidget()->size())) : rect();
  notice_.setGeometry(shown.isEmpty() ? rect() : shown);
}

void HtmlViewerWidget::resizeEvent(QResizeEvent*) {
  if (container_) container_->setGeometry(rect());
  PlaceNotice();
}

void HtmlViewerWidget::moveEvent(QMoveEvent*) { PlaceNotice(); }

}  // namespace ui
