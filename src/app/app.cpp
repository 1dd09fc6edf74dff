#include "app/app.h"

namespace app {

App::App(AppPaths paths, ui::Dialogs& dialogs, ui::UiThread& ui, ui::Clock& clock,
         ui::Notifier* notifier)
    : paths_(std::move(paths)),
      portal_(net::PortalUrls::Load(
          [this](std::string_view key) { return config().Read("门户", key); })),
      dialogs_(dialogs),
      ui_(ui),
      clock_(clock),
      notifier_(notifier ? notifier : &no_notifier_),
      cache_(paths_.cache_file),
      workers_([this] { transfers_.RequestStop(); }) {
  // The App is made on the UI thread, which must never wait for the network.
  transfers_.SetUiThread();
}

App::~App() { workers_.StopAndJoin(); }

ConfigFile App::config() const { return ConfigFile(paths_.run_dir.string()); }

void App::AddStartupStep(StartupPhase phase, std::function<void(App&)> run) {
  startup_steps_.push_back({phase, std::move(run)});
}

std::optional<FundRef> App::MenuFund() {
  const int row = main_window_.高级表格1.CurrentRow();
  if (row < 1) return std::nullopt;
  return shown_funds_.At(loads_, row).value_or(FundRef{});
}

}  // namespace app
