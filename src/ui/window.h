#pragma once

// A top-level window: title, client size, its controls and pop-up menus. A window is either
// not loaded (no window exists), loaded and hidden, or loaded and visible. Loading raises
// on_created; closing raises on_destroyed and returns every control to its design state,
// so the next load starts as a freshly created window would.

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/menu.h"

namespace ui {

class WindowObserver {
 public:
  virtual ~WindowObserver() = default;
  // Title, visibility or loaded state changed.
  virtual void WindowChanged() = 0;
  // Runs a modal loop for the now visible window and returns when it is hidden or closed.
  virtual void RunModal() = 0;
  // The visible window asked to be put in front of the others.
  virtual void WindowRaised() {}
};

class Window {
 public:
  Window(std::string name, int client_width, int client_height);
  virtual ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& Name() const { return name_; }
  int ClientWidth() const { return client_width_; }
  int ClientHeight() const { return client_height_; }

  const std::string& Title() const { return title_; }
  void SetTitle(std::string title);

  bool Loaded() const { return loaded_; }
  bool Visible() const { return visible_; }
  bool Modal() const { return modal_; }

  // Creates the window without showing it; raises on_created the first time.
  void Load();
  // Loads the window and makes it visible.
  void Show();
  // Loads the window, makes it visible and returns when the user has closed or hidden it
  // (or at once when its created handler already closed it). Without a view attached it
  // returns at once, the window still visible.
  void ShowModal();
  void Hide();
  // Puts the visible window in front of the others (a window opened again on new content).
  void Raise();
  // Hides the window, raises on_destroyed and puts the controls back to their design state.
  // Closing a window that is not loaded does nothing.
  void Close();

  // Controls in creation order; parents come before their children.
  const std::vector<Control*>& Controls() const { return controls_; }
  const std::vector<PopupMenu*>& Menus() const { return menus_; }
  Control* FindControl(const std::string& name) const;
  PopupMenu* FindMenu(const std::string& name) const;

  void SetObserver(WindowObserver* observer) { observer_ = observer; }

  std::function<void()> on_created;
  std::function<void()> on_destroyed;

 protected:
  // Registers a control (or menu) member; call once per member, in the constructor.
  void Add(Control& control) { controls_.push_back(&control); }
  void Add(PopupMenu& menu) { menus_.push_back(&menu); }
  // Sets every control to its design state: names, captions, geometry, visibility, parents.
  virtual void ApplyDesign() = 0;

 private:
  void Create(bool visible);
  void Notify();

  std::string name_;
  int client_width_;
  int client_height_;
  std::string title_;
  bool loaded_ = false;
  bool visible_ = false;
  bool modal_ = false;
  std::vector<Control*> controls_;
  std::vector<PopupMenu*> menus_;
  WindowObserver* observer_ = nullptr;
};

}  // namespace ui
