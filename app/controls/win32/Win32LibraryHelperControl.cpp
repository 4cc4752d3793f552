#include "controls/win32/Win32LibraryHelperControl.h"

#include <windows.h>
#include <shellapi.h>

namespace tidewell::win32 {

void Win32LibraryHelperControl::SetShowSystemDialog(std::int32_t dialog) {
    const wchar_t* applet = nullptr;
    if (dialog == kSystemPropertiesDialog) {
        applet = L"sysdm.cpl";
    } else if (dialog == kInstallProgramsDialog) {
        applet = L"appwiz.cpl";
    } else {
        return;
    }
    // control.exe starts the applet in its own process, so the write returns at once.
    ShellExecuteW(nullptr, L"open", L"control.exe", applet, nullptr, SW_SHOWNORMAL);
}

std::int64_t Win32LibraryHelperControl::PhysicalMemory() const {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    if (!GlobalMemoryStatusEx(&status)) {
        return 0;
    }
    return static_cast<std::int64_t>(status.ullTotalPhys);
}

void Win32LibraryHelperControl::SetTopmostWindow(WindowHandle window) {
    constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (window == 0) {
        if (topmost_ != 0 && IsWindow(reinterpret_cast<HWND>(topmost_))) {
            SetWindowPos(reinterpret_cast<HWND>(topmost_), HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
        }
        topmost_ = 0;
        return;
    }
    if (topmost_ != 0 && topmost_ != window && IsWindow(reinterpret_cast<HWND>(topmost_))) {
        SetWindowPos(reinterpret_cast<HWND>(topmost_), HWND_NOTOPMOST, 0, 0, 0, 0, kKeepPlace);
    }
    if (SetWindowPos(reinterpret_cast<HWND>(window), HWND_TOPMOST, 0, 0, 0, 0, kKeepPlace)) {
        topmost_ = window;
    }
}

} // namespace tidewell::win32
