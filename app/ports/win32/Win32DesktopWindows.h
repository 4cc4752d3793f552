#pragma once

#include "ports/DesktopWindows.h"

namespace tidewell::win32 {

class ApplicationWindow;

// Top-level windows through user32; the application title lives in this process's hidden
// application window.
class Win32DesktopWindows final : public DesktopWindowsPort {
public:
    explicit Win32DesktopWindows(ApplicationWindow& applicationWindow)
        : applicationWindow_(applicationWindow) {}

    std::string ApplicationTitle() const override;
    void SetApplicationTitle(std::string_view title) override;
    WindowHandle FindTopLevelWindow(std::string_view className,
                                    std::string_view text) const override;
    WindowHandle PreviousInZOrder(WindowHandle window) const override;
    bool IsMinimised(WindowHandle window) const override;
    void RestoreMinimised(WindowHandle window) override;
    void BringToForeground(WindowHandle window) override;
    void DisableCloseCommand(WindowHandle window, std::int16_t position,
                             std::string_view text) override;

private:
    ApplicationWindow& applicationWindow_;
};

} // namespace tidewell::win32
