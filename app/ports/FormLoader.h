#pragma once

namespace tidewell {

// Loads the program's other windows on behalf of a core. The Win32 implementation owns the
// windows' cores and views for the whole life of the process.
class FormLoader {
public:
    virtual ~FormLoader() = default;
    // On the first call: create the main window's view (hidden), construct frmMaintenance on it
    // (its creation step runs in the constructor), bind the view, call Form_Load. Then, on every
    // call, frmMaintenance::Show. Returns when the window is shown.
    virtual void ShowMaintenanceWindow() = 0;
};

} // namespace tidewell
