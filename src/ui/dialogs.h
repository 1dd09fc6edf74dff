#pragma once

#include <string>

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
  // A file to open, chosen by the user from `folder` among the files `filter` names
  // ("表格文件 (*.csv *.txt *.xlsx)"); empty when none was chosen.
  virtual std::string ChooseFile(const std::string& title, const std::string& folder,
                                 const std::string& filter) {
    return {};
  }
  // A folder chosen by the user, starting from `folder`; empty when none was chosen.
  virtual std::string ChooseFolder(const std::string& title, const std::string& folder) {
    return {};
  }
};

}  // namespace ui
