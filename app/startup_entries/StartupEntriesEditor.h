#pragma once

#include "ports/AppPorts.h"
#include "startup_entries/StartupEntriesPorts.h"
#include "ui/CheckBox.h"

namespace tidewell {

// The maintenance run's startup-entries step: loads the editor without showing it (its load asks
// the caution question and fills the lists), then shows it modally until "&Finished!" unless the
// user declined, which clears flags.maintenanceRunning. True when the editor was shown.
// Failures the registry library reports while the lists load leave as RegistryLibraryError; a
// quit of the program as ui::ProgramQuitting. Either way the editor's window is gone.
bool ShowStartupEntriesEditor(const AppPorts& ports, const StartupEntriesPorts& entries,
                              const ui::CheckBox& chkCurrentUser,
                              const ui::CheckBox& chkLocalMachine);

} // namespace tidewell
