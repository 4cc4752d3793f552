#include "startup_entries/StartupEntriesEditor.h"

#include "startup_entries/frmRegistry.h"
#include "ui/Form.h"

namespace tidewell {

EditorOutcome ShowStartupEntriesEditor(const AppPorts& ports, const StartupEntriesPorts& entries,
                                       const ui::CheckBox& chkCurrentUser,
                                       const ui::CheckBox& chkLocalMachine) {
    ui::Form<frmRegistry> editor(ports.formsPort, ports, entries, chkCurrentUser, chkLocalMachine);
    editor->Form_Load();
    if (editor->Declined() || !editor->Loaded()) {
        const EditorOutcome outcome =
            editor->Declined() ? EditorOutcome::Declined : EditorOutcome::Closed;
        editor->Unload();
        return outcome;
    }
    editor->Hide();
    editor->ShowModal();
    return EditorOutcome::Finished;
}

} // namespace tidewell
