#pragma once

// A top-level Qt window bound to a window model: builds every control's widget at its design
// place, follows the model's title and visibility, runs the modal loop, and turns the user's
// closing of the window into the model's Close; so does the loss of its native window to
// another client (an X window destroyed without the window manager's close request). Pop-up
// menus open at the mouse cursor.
//
// The controls sit on a content panel of the window's design size inside a frameless scroll
// area. Where the screen has room for the design size the window has exactly that client size
// and no scroll bars; on a smaller screen the window takes the screen's available area and the
// panel scrolls, so that every control stays within reach.

#include <QAbstractNativeEventFilter>
#include <QEventLoop>
#include <QPointer>
#include <QScrollArea>
#include <QWidget>
#include <map>

#include "ui/menu.h"
#include "ui/window.h"

namespace ui {

class ControlView;

class MenuView : public QObject, public MenuObserver {
  Q_OBJECT

 public:
  MenuView(PopupMenu& menu, QWidget* owner);
  ~MenuView() override;
  void PopupRequested() override;

 private:
  PopupMenu& menu_;
  QWidget* owner_;
};

class WindowView : public QWidget, public WindowObserver, private QAbstractNativeEventFilter {
  Q_OBJECT

 public:
  // A window given `centre_on` opens centred on that window (kept on its screen), each time it
  // is shown; the main window, given none, keeps the place the desktop gives it.
  explicit WindowView(Window& window, const QWidget* centre_on = nullptr);
  ~WindowView() override;

  // The widget of the control named `name`, or null.
  QWidget* ControlWidget(const std::string& name) const;

  // The scroll area filling the window and the panel of design size holding the controls.
  QScrollArea* ScrollArea() const { return scroll_; }
  QWidget* Content() const { return content_; }

  void WindowChanged() override;
  void RunModal() override;
  void WindowRaised() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // Closes the window, as its user would, once its native window has been destroyed from
  // outside; a native window the toolkit itself replaces is no longer the widget's by then.
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

  // Sizes the window for the screen it is on: the design size when it fits the available
  // area, else that area (less the window frame), with the design size as the largest.
  void FitScreen();
  // Moves the window so that its centre is that of `centre_on_`, inside that window's screen.
  void CentreOnOwner();

  Window& window_;
  const QWidget* centre_on_;
  QScrollArea* scroll_;
  QWidget* content_;
  bool screen_followed_ = false;
  std::map<const Control*, ControlView*> views_;
  QPointer<QEventLoop> modal_loop_;
};

}  // namespace ui
