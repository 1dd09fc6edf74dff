#include "app/app.h"

#include <cstdlib>

#include "app/autostart.h"

namespace app {

AppPaths AppPaths::ForExecutable(const std::filesystem::path& executable) {
  AppPaths paths;
  paths.executable = executable;
  paths.run_dir = executable.parent_path();
  // Without a home directory the guard file stays beside the program rather than in a
  // folder other users could write.
  const char* home = std::getenv("HOME");
  const std::filesystem::path state_home =
      home && *home ? std::filesystem::path(home) / ".local" / "state" : paths.run_dir;
  paths.guard_file = state_home / "fundview" / "记录.txt";
  paths.autostart_dir = DefaultAutostartDir();
  const char* data_home = std::getenv("XDG_DATA_HOME");
  if (data_home && *data_home == '/') {
    paths.data_dir = std::filesystem::path(data_home) / "fundview";
  } else {
    paths.data_dir =
        (home && *home ? std::filesystem::path(home) / ".local" / "share" : paths.run_dir) /
        "fundview";
  }
  return paths;
}

App::App(AppPaths paths, ui::Dialogs& dialogs, ui::UiThread& ui, ui::Clock& clock)
    : paths_(std::move(paths)),
      portal_(net::PortalUrls::Load(
          [this](std::string_view key) { return config().Read("门户", key); })),
      dialogs_(dialogs),
      ui_(ui),
      clock_(clock),
      workers_([this] { transfers_.RequestStop(); }) {
  // The App is made on the UI thread: requests there keep its windows alive.
  transfers_.SetUiEventPump([&ui] { ui.PumpEvents(); });
}

App::~App() { workers_.StopAndJoin(); }

ConfigFile App::config() const { return ConfigFile(paths_.run_dir.string()); }

void App::AddStartupStep(StartupPhase phase, std::function<void(App&)> run) {
  startup_steps_.push_back({phase, std::move(run)});
}

}  // namespace app
