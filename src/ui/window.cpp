#include "ui/window.h"

namespace ui {

Window::Window(std::string name, int client_width, int client_height)
    : name_(std::move(name)), client_width_(client_width), client_height_(client_height) {}

void Window::SetTitle(std::string title) {
  if (title == title_) return;
  title_ = std::move(title);
  Notify();
}

void Window::Load() { Create(false); }

void Window::Create(bool visible) {
  if (loaded_) {
    if (visible && !visible_) {
      visible_ = true;
      Notify();
    }
    return;
  }
  // A window shown at once is on screen while its created handler runs, so long start-up
  // work shows its progress.
  loaded_ = true;
  visible_ = visible;
  Notify();
  if (on_created) on_created();
}

void Window::Show() { Create(true); }

void Window::ShowModal() {
  modal_ = true;
  Create(true);
  if (observer_ && visible_) observer_->RunModal();
  modal_ = false;
}

void Window::Hide() {
  if (!visible_) return;
  visible_ = false;
  Notify();
}

void Window::Raise() {
  if (visible_ && observer_) observer_->WindowRaised();
}

void Window::Close() {
  if (!loaded_) return;
  visible_ = false;
  loaded_ = false;
  Notify();
  if (on_destroyed) on_destroyed();
  title_.clear();
  ApplyDesign();
  Notify();
}

Control* Window::FindControl(const std::string& name) const {
  for (Control* control : controls_) {
    if (control->Name() == name) return control;
  }
  return nullptr;
}

PopupMenu* Window::FindMenu(const std::string& name) const {
  for (PopupMenu* menu : menus_) {
    if (menu->Name() == name) return menu;
  }
  return nullptr;
}

void Window::Notify() {
  if (observer_) observer_->WindowChanged();
}

}  // namespace ui
