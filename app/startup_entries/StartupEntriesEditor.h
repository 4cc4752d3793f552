#pragma once

#include "ports/AppPorts.h"
#include "startup_entries/StartupEntriesPorts.h"
#include "ui/CheckBox.h"

namespace tidewell {

// How the startup-entries step ended: the editor shown until "&Finished!", the caution question
// declined (which also clears flags.maintenanceRunning), or the editor's window closed while
// it loaded.
enum class EditorOutcome { Finished, Declined, Closed };

// The maintenance run's startup-entries step: loads the editor without showing it (its load asks
// the caution question and fills the lists), then shows it modally unless the user declined.
// Failures the registry library reports while the lists load leave as RegistryLibraryError; a
// quit of the program as ui::ProgramQuitting. Either way the editor's window is gone.
EditorOutcome ShowStartupEntriesEditor(const AppPorts& ports, const StartupEntriesPorts& entries,
                                       const ui::CheckBox& chkCurrentUser,
                                       const ui::CheckBox& chkLocalMachine);

} // namespace tidewell
