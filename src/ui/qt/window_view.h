#pragma once

// A top-level Qt window bound to a window model: builds every control's widget at its design
// place, follows the model's title and visibility, runs the modal loop, and turns the user's
// closing of the window into the model's Close. Pop-up menus open at the mouse cursor.

#include <QEventLoop>
#include <QPointer>
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

class WindowView : public QWidget, public WindowObserver {
  Q_OBJECT

 public:
  explicit WindowView(Window& window);
  ~WindowView() override;

  // The widget of the control named `name`, or null.
  QWidget* ControlWidget(const std::string& name) const;

  void WindowChanged() override;
  void RunModal() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Window& window_;
  std::map<const Control*, ControlView*> views_;
  QPointer<QEventLoop> modal_loop_;
};

}  // namespace ui
