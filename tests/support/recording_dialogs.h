#pragma once

#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace test_support {

// Answers by itself and keeps every text it was shown.
class RecordingDialogs : public ui::Dialogs {
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

}  // namespace test_support
