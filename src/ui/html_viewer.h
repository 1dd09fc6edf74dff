#pragma once

#include <string>

#include "ui/control.h"

namespace ui {

// An embedded web page. The view shows it through a process of its own, started by the first
// navigation: until then the program has neither the web engine nor a GL driver loaded.
class HtmlViewer : public Control {
 public:
  ControlKind Kind() const override { return ControlKind::kHtmlViewer; }

  const std::string& Url() const { return url_; }
  // Loads `url` (again, when it is the current one).
  void Navigate(std::string url);
  // Counts navigations, so a view can tell a reload of the same URL from no change.
  int NavigationCount() const { return navigations_; }

 private:
  std::string url_;
  int navigations_ = 0;
};

}  // namespace ui
