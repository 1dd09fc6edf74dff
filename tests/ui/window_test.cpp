#include "ui/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/controls.h"

namespace ui {
namespace {

class TestWindow : public Window {
 public:
  TestWindow() : Window("TestWindow", 100, 50) {
    Add(label);
    Add(menu);
    ApplyDesign();
  }
  Label label;
  PopupMenu menu;

 protected:
  void ApplyDesign() override {
    label.SetName("标签1");
    label.SetCaption("design");
    label.SetVisible(true);
    menu.SetName("菜单");
  }
};

class ScriptedObserver : public WindowObserver {
 public:
  explicit ScriptedObserver(Window& window) : window_(window) {}
  void WindowChanged() override { states.push_back(window_.Visible()); }
  void RunModal() override {
    modal_seen = window_.Modal();
    if (during_modal) during_modal();
  }
  std::vector<bool> states;
  bool modal_seen = false;
  std::function<void()> during_modal;

 private:
  Window& window_;
};

TEST(WindowTest, LoadRaisesCreatedOnceAndCloseRestoresTheDesign) {
  TestWindow window;
  std::vector<std::string> events;
  window.on_created = [&] { events.push_back("created " + std::to_string(window.Visible())); };
  window.on_destroyed = [&] { events.push_back("destroyed " + window.label.Caption()); };
  window.Close();
  window.Load();
  window.Show();
  window.label.SetCaption("changed");
  window.label.SetVisible(false);
  window.SetTitle("title");
  window.Close();
  window.Show();
  EXPECT_EQ(std::vector<std::string>({"created 0", "destroyed changed", "created 1"}), events);
  EXPECT_EQ("design", window.label.Caption());
  EXPECT_TRUE(window.label.Visible());
  EXPECT_EQ("", window.Title());
  EXPECT_EQ(&window.label, window.FindControl("标签1"));
  EXPECT_EQ(&window.menu, window.FindMenu("菜单"));
  EXPECT_EQ(nullptr, window.FindControl("标签2"));
}

TEST(WindowTest, ShowModalRunsTheViewsLoopAndReturnsAfterIt) {
  TestWindow window;
  ScriptedObserver observer(window);
  window.SetObserver(&observer);
  bool created_visible = false;
  window.on_created = [&] { created_visible = window.Visible(); };
  observer.during_modal = [&] { window.Close(); };
  window.ShowModal();
  EXPECT_TRUE(created_visible);
  EXPECT_TRUE(observer.modal_seen);
  EXPECT_FALSE(window.Modal());
  EXPECT_FALSE(window.Loaded());
  EXPECT_FALSE(window.Visible());

  // A created handler that closes the window at once leaves no modal loop to run.
  observer.modal_seen = false;
  window.on_created = [&] { window.Close(); };
  window.ShowModal();
  EXPECT_FALSE(observer.modal_seen);
}

}  // namespace
}  // namespace ui
