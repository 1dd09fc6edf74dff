#pragma once

#include <string>
#include <vector>

namespace ui {

// Message boxes with the default title and an OK button.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void MessageBox(const std::string& text) = 0;
};

// Answers by itself and keeps every text it was shown, for tests.
class RecordingDialogs : public Dialogs {
 public:
  void MessageBox(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

}  // namespace ui
