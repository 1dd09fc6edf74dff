#pragma once

// What the program does between the main window's creation and the first user input.

#include <string>
#include <vector>

#include "app/app.h"

namespace shell {

// Runs the start-up sequence once: the shell's own work (a missing settings file seeded, the
// check boxes restored) merged by phase with the steps features added to the App.
void StartupTasks(app::App& app);

// The single steps, for the sequence above and for tests.
// A write cut short by a kill leaves its temporary file beside its target: removes those of
// the settings file, of any day's workbook (the fund grid's and the positions') and of the
// download guard file.
void RemoveStaleTempFiles(app::App& app);
// True when the settings file was missing and has now been seeded.
bool SeedSettingsIfMissing(app::App& app);
void RestoreCheckBoxes(app::App& app);

}  // namespace shell
