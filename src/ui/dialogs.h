#pragma once

#include <string>

namespace ui {

// Message boxes with the default title and an OK button.
class Dialogs {
 public:
  virtual ~Dialogs() = default;
  virtual void MessageBox(const std::string& text) = 0;
};

}  // namespace ui
