#include "startup_entries/StartupEntriesEditor.h"

#include "main/RunFlags.h"
#include "startup_entries/frmRegistry.h"
#include "ui/Form.h"

namespace tidewell {

bool ShowStartupEntriesEditor(const AppPorts& ports, const StartupEntriesPorts& entries,
                              const ui::CheckBox& chkCurrentUser,
                              const ui::CheckBox& chkLocalMachine) {
    ui::Form<frmRegistry> editor(ports.formsPort, ports, entries, chkCurrentUser, chkLocalMachine);
    editor->Form_Load();
    if (!ports.flags.maintenanceRunning || !editor->Loaded()) {
        editor->Unload();
        return false;
    }
    editor->Hide();
    editor->ShowModal();
    return true;
}

} // namespace tidewell
