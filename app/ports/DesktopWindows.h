#pragma once

#include "ports/WindowHandle.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell {

// The application title every instance starts with; the hidden application window (class
// "ThunderRT6Main") carries it as its window text.
inline constexpr std::string_view kApplicationTitle = "Tidewell";
inline constexpr std::string_view kApplicationWindowClass = "ThunderRT6Main";

// Top-level windows of the desktop, as the single-instance search and the main window need them.
class DesktopWindowsPort {
public:
    virtual ~DesktopWindowsPort() = default;

    virtual std::string ApplicationTitle() const = 0;
    // Also retitles this process's hidden application window, before returning.
    virtual void SetApplicationTitle(std::string_view title) = 0;

    // A top-level window with exactly this class and text, or 0 (FindWindowA).
    virtual WindowHandle FindTopLevelWindow(std::string_view className,
                                            std::string_view text) const = 0;
    // The window just above `window` in the Z-order, or 0 (GetWindow GW_HWNDPREV).
    virtual WindowHandle PreviousInZOrder(WindowHandle window) const = 0;
    virtual bool IsMinimised(WindowHandle window) const = 0;
    virtual void RestoreMinimised(WindowHandle window) = 0;  // OpenIcon
    virtual void BringToForeground(WindowHandle window) = 0; // SetForegroundWindow

    // Greys the system-menu item at `position` of `window` and gives it `text` and the command id
    // -9, so it no longer sends its command (GetSystemMenu, GetMenuItemID, ModifyMenuA with
    // MF_BYCOMMAND | MF_STRING | MF_GRAYED).
    virtual void DisableCloseCommand(WindowHandle window, std::int16_t position,
                                     std::string_view text) = 0;
};

} // namespace tidewell
