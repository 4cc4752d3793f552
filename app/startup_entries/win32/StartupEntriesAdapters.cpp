#include "startup_entries/win32/StartupEntriesAdapters.h"

#include <windows.h>

namespace tidewell::win32 {

bool StartupEntriesAdapters::AnotherProgramActive() {
    HWND active = GetForegroundWindow();
    if (active == nullptr) {
        return false;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(active, &process);
    return process != 0 && process != GetCurrentProcessId();
}

} // namespace tidewell::win32
