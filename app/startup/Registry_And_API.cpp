#include "startup/Registry_And_API.h"

#include "ports/DesktopWindows.h"

#include <string>

namespace tidewell {

bool FindPreviousInstance(DesktopWindowsPort& windows) {
    const std::string title = windows.ApplicationTitle();
    windows.SetApplicationTitle(kUnwantedInstanceTitle);

    WindowHandle applicationWindow = 0;
    for (std::string_view className : kPreviousInstanceClasses) {
        applicationWindow = windows.FindTopLevelWindow(className, title);
        if (applicationWindow != 0) {
            break;
        }
    }
    if (applicationWindow == 0) {
        windows.SetApplicationTitle(title);
        return false;
    }

    // An instance between creating its application window and its first visible one has nothing
    // above it yet; it still counts as running.
    const WindowHandle visibleWindow = windows.PreviousInZOrder(applicationWindow);
    if (visibleWindow != 0) {
        if (windows.IsMinimised(visibleWindow)) {
            windows.RestoreMinimised(visibleWindow);
        }
        windows.BringToForeground(visibleWindow);
    }
    return true;
}

} // namespace tidewell
