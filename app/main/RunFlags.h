#pragma once

namespace tidewell {

// The program-wide Booleans through which handlers coordinate; all false at program start.
struct RunFlags {
    bool maintenanceRunning = false; // a run is in progress (set and cleared by the run)
    bool scanDiskActive = false;
    bool defragActive = false;
    bool cleanupActive = false;
    bool ignoreNextListClick = false; // the editor's next list click comes from its own code
};

} // namespace tidewell
