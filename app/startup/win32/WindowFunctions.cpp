#include "startup/win32/WindowFunctions.h"

#include "win32common/Text.h"

#include <string>

namespace tidewell::win32 {

HWND FindTopLevelWindow(std::string_view className, std::string_view text) {
    const std::string classAnsi = win32common::Utf8ToAnsi(className);
    const std::string textAnsi = win32common::Utf8ToAnsi(text);
    return FindWindowA(classAnsi.c_str(), textAnsi.c_str());
}

HWND WindowAbove(HWND window) {
    if (window == nullptr) {
        return nullptr;
    }
    return GetWindow(window, GW_HWNDPREV);
}

void RestoreOtherInstanceWindow(HWND window) {
    constexpr UINT kTimeoutMilliseconds = 5000;
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_ABORTIFHUNG,
                        kTimeoutMilliseconds, &result);
}

bool AllowHandOverFromLowerRights(HWND window) {
    return ChangeWindowMessageFilterEx(window, WM_SYSCOMMAND, MSGFLT_ALLOW, nullptr) != FALSE;
}

bool DisableCloseCommand(HWND window, int position, std::string_view text) {
    HMENU systemMenu = GetSystemMenu(window, FALSE);
    if (systemMenu == nullptr) {
        return false;
    }
    const UINT command = GetMenuItemID(systemMenu, position);
    if (command == static_cast<UINT>(-1)) {
        return false;
    }
    const std::string textAnsi = win32common::Utf8ToAnsi(text);
    constexpr UINT_PTR kNoCommand = 0xFFFFFFF7u; // -9 as an unsigned 32-bit identifier
    if (!ModifyMenuA(systemMenu, command, MF_BYCOMMAND | MF_STRING | MF_GRAYED, kNoCommand,
                     textAnsi.c_str())) {
        return false;
    }
    // The caption's buttons are drawn from the menu state only when the frame is repainted.
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return true;
}

} // namespace tidewell::win32
