#pragma once

#include <string>
#include <vector>

namespace ui {

// Message boxes with the default title and an OK button.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void MessageBox(const std::string& text) = 0;
  // A question with the buttons 是 and 否; true for 是. Without a way to ask, the answer is 否,
  // so nothing is done that the user did not agree to.
  virtual bool AskYesNo(const std::string& text) {
    MessageBox(text);
    return false;
  }
};

// Answers by itself and keeps every text it was shown, for tests.
class RecordingDialogs : public Dialogs {
 public:
  void MessageBox(const std::string& text) override { shown.push_back(text); }
  // Questions are kept with the message boxes and answered with `answer_yes`.
  bool AskYesNo(const std::string& text) override {
    shown.push_back(text);
    return answer_yes;
  }
  std::vector<std::string> shown;
  bool answer_yes = true;
};

}  // namespace ui
