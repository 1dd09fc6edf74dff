#include "ui/qt/window_view.h"

#include <xcb/xcb.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QCursor>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "ui/qt/control_view.h"

namespace ui {

MenuView::MenuView(PopupMenu& menu, QWidget* owner) : QObject(owner), menu_(menu), owner_(owner) {
  menu_.SetObserver(this);
}

MenuView::~MenuView() { menu_.SetObserver(nullptr); }

void MenuView::PopupRequested() {
  QMenu popup(owner_);
  popup.setObjectName(QString::fromStdString(menu_.Name()));
  for (int i = 0; i < menu_.ItemCount(); ++i) {
    popup.addAction(QString::fromStdString(menu_.Item(i).caption))->setData(i);
  }
  // The item runs after the menu has closed, as a chosen menu item does.
  int chosen = -1;
  QObject::connect(&popup, &QMenu::triggered, &popup,
                   [&chosen](QAction* action) { chosen = action->data().toInt(); });
  popup.exec(QCursor::pos());
  if (chosen >= 0) menu_.Choose(chosen);
}

WindowView::WindowView(Window& window, const QWidget* centre_on)
    : window_(window),
      centre_on_(centre_on),
      scroll_(new QScrollArea(this)),
      content_(new QWidget) {
  setObjectName(QString::fromStdString(window.Name()));
  scroll_->setFrameShape(QFrame::NoFrame);
  content_->setFixedSize(window.ClientWidth(), window.ClientHeight());
  scroll_->setWidget(content_);
  FitScreen();
  for (Control* control : window.Controls()) {
    QWidget* parent = content_;
    if (auto it = views_.find(control->Parent()); it != views_.end()) {
      parent = it->second->widget();
    }
    views_[control] = ControlView::Create(*control, parent);
  }
  // Each menu view is a child of this window and goes with it.
  for (PopupMenu* menu : window.Menus()) new MenuView(*menu, this);
  window_.SetObserver(this);
  WindowChanged();
  QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowView::~WindowView() {
  QCoreApplication::instance()->removeNativeEventFilter(this);
  window_.SetObserver(nullptr);
}

bool WindowView::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
  if (type != "xcb_generic_event_t") return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY) return false;
  const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
  if (internalWinId() == 0 || destroyed->window != internalWinId()) return false;
  // Closed once the event's dispatch is over, as a close request is.
  QTimer::singleShot(0, this, [this] { close(); });
  return false;
}

QWidget* WindowView::ControlWidget(const std::string& name) const {
  for (const auto& [control, view] : views_) {
    if (control->Name() == name) return view->widget();
  }
  return nullptr;
}

void WindowView::WindowChanged() {
  setWindowTitle(QString::fromStdString(window_.Title()));
  if (window_.Visible() && !isVisible()) {
    setWindowModality(window_.Modal() ? Qt::ApplicationModal : Qt::NonModal);
    CentreOnOwner();
    show();
  } else if (!window_.Visible() && isVisible()) {
    hide();
  }
  if (!window_.Visible() && modal_loop_) modal_loop_->quit();
}

void WindowView::WindowRaised() {
  raise();
  activateWindow();
}

void WindowView::RunModal() {
  if (!window_.Visible()) return;
  QEventLoop loop;
  modal_loop_ = &loop;
  loop.exec(QEventLoop::DialogExec);
  setWindowModality(Qt::NonModal);
}

void WindowView::FitScreen() {
  const QSize design = content_->size();
  const QScreen* on = screen();
  const QSize frame = frameGeometry().size() - geometry().size();
  const QSize room = on ? on->availableGeometry().size() - frame : design;
  if (room.width() >= design.width() && room.height() >= design.height()) {
    setFixedSize(design);
    return;
  }
  const QSize fit = design.boundedTo(room);
  // The user may still make the window smaller or, up to the design size, larger.
  setMinimumSize(std::min(fit.width(), 160), std::min(fit.height(), 120));
  setMaximumSize(design);
  resize(fit);
  move(on->availableGeometry().topLeft());
}

void WindowView::CentreOnOwner() {
  if (centre_on_ == nullptr || !centre_on_->isVisible()) return;
  const QRect owner = centre_on_->frameGeometry();
  const QSize frame = frameGeometry().size() - geometry().size();
  const QSize outer = size() + frame;
  QPoint top_left = owner.center() - QPoint(outer.width() / 2, outer.height() / 2);
  if (const QScreen* on = centre_on_->screen()) {
    const QRect room = on->availableGeometry();
    top_left.setX(std::clamp(top_left.x(), room.left(),
                             std::max(room.left(), room.right() + 1 - outer.width())));
    top_left.setY(std::clamp(top_left.y(), room.top(),
                             std::max(room.top(), room.bottom() + 1 - outer.height())));
  }
  move(top_left);
}

void WindowView::resizeEvent(QResizeEvent* event) {
  scroll_->setGeometry(rect());
  QWidget::resizeEvent(event);
}

void WindowView::showEvent(QShowEvent* event) {
  // The window may have been put on another screen since it was made, and a screen it moves
  // to later may be smaller.
  FitScreen();
  if (!screen_followed_ && windowHandle()) {
    screen_followed_ = true;
    // Fitted once the move that changed the screen has been applied, which would otherwise
    // put back the old size.
    connect(windowHandle(), &QWindow::screenChanged, this,
            [this] { QTimer::singleShot(0, this, [this] { FitScreen(); }); });
  }
  QWidget::showEvent(event);
}

void WindowView::closeEvent(QCloseEvent* event) {
  // The user closed the window: the window is destroyed as far as the program is concerned.
  event->accept();
  window_.Close();
}

}  // namespace ui
