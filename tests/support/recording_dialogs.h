#pragma once

#include <string>
#include <vector>

#include "ui/dialogs.h"

namespace test_support {

// Answers by itself and keeps every text it was shown.
class RecordingDialogs : public ui::Dialogs {
 public:
  void MessageBox(const std::string& text) override { shown.push_back(text); }
  std::vector<std::string> shown;
};

}  // namespace test_support
