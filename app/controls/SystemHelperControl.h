#pragma once

#include <cstdint>

namespace tidewell {

// The system helper control (APIFunction). Results are never used by the callers. Its Pause is
// the core's one waiting primitive, ui::Runtime::Pause.
class SystemHelperControl {
public:
    virtual ~SystemHelperControl() = default;
    virtual void DisableScreenSaver() = 0; // off until EnableScreenSaver
    virtual void EnableScreenSaver() = 0;
    virtual void EmptyRecycleBin() = 0;     // every drive, no questions
    virtual void RestartWindows() = 0;      // nothing of the program runs after it
    virtual void OpenInternetOptions() = 0; // returns at once
};

} // namespace tidewell
