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
  // A file or folder chooser gives `chosen` (empty: the user cancelled) and keeps its title.
  std::string ChooseFile(const std::string& title, const std::string&,
                         const std::string&) override {
    shown.push_back(title);
    return chosen;
  }
  std::string ChooseFolder(const std::string& title, const std::string&) override {
    shown.push_back(title);
    return chosen;
  }
  std::vector<std::string> shown;
  bool answer_yes = true;
  std::string chosen;
};

}  // namespace test_support
