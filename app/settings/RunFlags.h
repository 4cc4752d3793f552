#pragma once

namespace tidewell {

// The Boolean through which the windows coordinate a run; false at program start. The run's own
// launch flags live in the run, the editor's click flag in the editor.
struct RunFlags {
    bool maintenanceRunning = false; // set by the run; cleared by it and by a declined editor
};

} // namespace tidewell
