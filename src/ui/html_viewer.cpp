#include "ui/html_viewer.h"

namespace ui {

void HtmlViewer::Navigate(std::string url) {
  url_ = std::move(url);
  ++navigations_;
  NotifyChanged();
}

}  // namespace ui
