#pragma once

// A program whose forum and step service are at `base` (the simulated portal unless a test
// gives its own server), over a temporary run directory with a fixed clock on 2021-08-08.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/app_fixture.h"
#include "sim/server.h"
#include "sim/side_services.h"
#include "tools/side_tools.h"

namespace tools_test {

inline constexpr const char* kNow = "2021年8月8日9时5分3秒";

inline std::string LoginCookie() {
  return std::string("htVC_2132_saltkey=Qx9v; ") + sim::kForumAuthCookie;
}

struct Program {
  Program(const std::filesystem::path& root, const std::string& base) {
    app::ConfigFile config((root / "run").string());
    std::filesystem::create_directories(root / "run");
    config.Write("门户", "FORUM_BASE", base);
    config.Write("门户", "STEP_BASE", base);
    app = std::make_unique<app::App>(app_test::TestPaths(root), dialogs, ui, clock);
  }
  // Runs until the tasks' answers are in and shown.
  void Settle() { app_test::Settle(*app, ui); }

  std::string Stored(const char* section, const char* key) const {
    return app->config().Read(section, key);
  }

  test_support::RecordingDialogs dialogs;
  test_support::ManualUiThread ui;
  test_support::FixedClock clock{base::DateTime{2021, 8, 8, 9, 5, 3}};
  std::unique_ptr<app::App> app;
};

class SideToolsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(sim_.Start(), 0);
    program_ = std::make_unique<Program>(dir_.path(), sim_.BaseUrl());
  }
  app::App& app() { return *program_->app; }
  // The feature over the program, made on first use.
  tools::SideTools& side_tools() {
    if (!side_tools_) side_tools_ = std::make_unique<tools::SideTools>(app());
    return *side_tools_;
  }
  app::SideToolsWindow& window() { return app().side_tools_window(); }
  std::vector<sim::RecordedRequest> RequestsTo(const std::string& path) {
    std::vector<sim::RecordedRequest> found;
    for (const sim::RecordedRequest& r : sim_.requests().Snapshot()) {
      if (r.path == path) found.push_back(r);
    }
    return found;
  }

  test_support::TempDir dir_;
  sim::PortalSim sim_;
  // Before the program, so that they outlive its App.
  tools::SideTaskResults results_;
  std::unique_ptr<tools::SideTools> side_tools_;
  std::unique_ptr<Program> program_;
};

}  // namespace tools_test
