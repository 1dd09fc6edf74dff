#pragma once

// The Qt forms of the program's services: the UI-thread dispatcher and the message boxes.

#include <QObject>
#include <QWidget>

#include "ui/dialogs.h"
#include "ui/ui_thread.h"

namespace ui {

// Runs posted work through the Qt event loop of the thread that created it.
class QtUiThread : public UiThread {
 public:
  QtUiThread();
  ~QtUiThread() override;
  void Post(std::function<void()> work) override;
  void PostAfter(std::chrono::milliseconds delay, std::function<void()> work) override;
  void Quit() override;
  bool IsUiThread() const override;

 private:
  QObject* receiver_;
};

// Message boxes with the default title and an OK button, over `parent` when given.
class QtDialogs : public Dialogs {
 public:
  explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  void MessageBox(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  std::string ChooseFile(const std::string& title, const std::string& folder,
                         const std::string& filter) override;
  std::string ChooseFolder(const std::string& title, const std::string& folder) override;

 private:
  QWidget* parent_;
};

}  // namespace ui
