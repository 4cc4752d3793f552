#include "ports/win32/Win32DesktopWindows.h"

#include "startup/win32/WindowFunctions.h"
#include "win32/ApplicationWindow.h"

namespace tidewell::win32 {

namespace {

HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}
WindowHandle FromHwnd(HWND window) {
    return reinterpret_cast<WindowHandle>(window);
}

} // namespace

std::string Win32DesktopWindows::ApplicationTitle() const {
    return applicationWindow_.Title();
}

void Win32DesktopWindows::SetApplicationTitle(std::string_view title) {
    applicationWindow_.SetTitle(title);
}

WindowHandle Win32DesktopWindows::FindTopLevelWindow(std::string_view className,
                                                     std::string_view text) const {
    return FromHwnd(win32::FindTopLevelWindow(className, text));
}

WindowHandle Win32DesktopWindows::PreviousInZOrder(WindowHandle window) const {
    return FromHwnd(WindowAbove(ToHwnd(window)));
}

bool Win32DesktopWindows::IsMinimised(WindowHandle window) const {
    return window != 0 && IsIconic(ToHwnd(window)) != FALSE;
}

void Win32DesktopWindows::RestoreMinimised(WindowHandle window) {
    if (window != 0) {
        // A message, not OpenIcon, so that the first instance can let it through when it runs
        // with more rights than this start.
        RestoreOtherInstanceWindow(ToHwnd(window));
    }
}

void Win32DesktopWindows::BringToForeground(WindowHandle window) {
    if (window != 0) {
        SetForegroundWindow(ToHwnd(window));
    }
}

void Win32DesktopWindows::DisableCloseCommand(WindowHandle window, std::int16_t position,
                                              std::string_view text) {
    win32::DisableCloseCommand(ToHwnd(window), position, text);
}

} // namespace tidewell::win32
