#include "controls/win32/Win32SystemHelperControl.h"

#include "ports/EventLoop.h"
#include "win32/Handles.h"

#include <windows.h>
#include <shellapi.h>

namespace tidewell::win32 {

namespace {

void SetScreenSaverActive(bool active) {
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active ? TRUE : FALSE, nullptr, SPIF_SENDCHANGE);
}

// A restart needs the shutdown privilege in the process token.
bool EnableShutdownPrivilege() {
    UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        return false;
    }
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid)) {
        return false;
    }
    return AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr) &&
           GetLastError() == ERROR_SUCCESS;
}

} // namespace

void Win32SystemHelperControl::DisableScreenSaver() {
    SetScreenSaverActive(false);
}

void Win32SystemHelperControl::EnableScreenSaver() {
    SetScreenSaverActive(true);
}

void Win32SystemHelperControl::EmptyRecycleBin() {
    SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
}

void Win32SystemHelperControl::RestartWindows() {
    EnableShutdownPrivilege();
    ExitWindowsEx(EWX_REBOOT, SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_FLAG_PLANNED);
}

void Win32SystemHelperControl::OpenInternetOptions() {
    ShellExecuteW(nullptr, L"open", L"rundll32.exe", L"shell32.dll,Control_RunDLL inetcpl.cpl",
                  nullptr, SW_SHOWNORMAL);
}

} // namespace tidewell::win32
