#include "controls/win32/Win32SystemHelperControl.h"

#include "ports/EventLoop.h"
#include "win32common/Handles.h"

#include <windows.h>
#include <shellapi.h>

namespace tidewell::win32 {

namespace {

// For this session only (no SPIF_UPDATEINIFILE): should the program die during a run, the user's
// stored setting is still the one they chose.
bool SetScreenSaverActive(bool active) {
    return SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr,
                                 SPIF_SENDCHANGE) != FALSE;
}

} // namespace

bool Win32SystemHelperControl::EnableShutdownPrivilege() {
    win32common::UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return false;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        return false;
    }
    // AdjustTokenPrivileges succeeds with ERROR_NOT_ALL_ASSIGNED when the token lacks it.
    return AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) &&
           GetLastError() == ERROR_SUCCESS;
}

void Win32SystemHelperControl::DisableScreenSaver() {
    BOOL active = FALSE;
    // A second call before EnableScreenSaver keeps the state found by the first.
    if (!foundActive_ && SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) {
        foundActive_ = active != FALSE;
    }
    SetScreenSaverActive(false);
}

void Win32SystemHelperControl::EnableScreenSaver() {
    // Puts back what DisableScreenSaver found: a screen saver the user had switched off stays off.
    const bool active = foundActive_.value_or(true);
    if (SetScreenSaverActive(active)) {
        foundActive_.reset();
    }
}

void Win32SystemHelperControl::EmptyRecycleBin() {
    // S_OK, or E_UNEXPECTED from some versions when the bin is already empty: either way the bin
    // is empty now as far as this call can make it.
    SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

void Win32SystemHelperControl::RestartWindows() {
    if (!EnableShutdownPrivilege()) {
        return;
    }
    ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED);
}

void Win32SystemHelperControl::OpenInternetOptions() {
    // Its own process, so the call returns at once.
    ShellExecuteW(nullptr, L"open", L"control.exe", L"inetcpl.cpl", nullptr, SW_SHOWNORMAL);
}

} // namespace tidewell::win32
