#include "UiAutomation.h"

#include <commctrl.h>

namespace uidriver {

namespace {

// Without a notification area on the X display, Wine's X11 driver shows its own window with
// one child window per icon and a tooltip window per icon, all in the explorer process.
constexpr wchar_t kStandaloneTrayClass[] = L"__winex11_standalone_tray";
constexpr wchar_t kTrayIconClass[] = L"__winex11_tray_icon";

} // namespace

std::vector<TrayIcon> TrayIcons() {
    std::vector<TrayIcon> icons;
    for (const TopWindow& tray : TopLevelWindows()) {
        if (tray.className != kStandaloneTrayClass) {
            continue;
        }
        const std::vector<ToolTip> tips = ToolTipsOfProcess(tray.processId);
        for (const ChildControl& child : Children(tray.handle)) {
            if (child.className != kTrayIconClass || !child.visible) {
                continue;
            }
            TrayIcon icon;
            icon.window = child.handle;
            for (const ToolTip& tip : tips) {
                if (tip.control == child.handle) {
                    icon.tip = tip.text;
                }
            }
            icons.push_back(icon);
        }
    }
    return icons;
}

bool ClickTrayIcon(HWND iconWindow, bool rightButton) {
    if (!IsWindow(iconWindow)) {
        return false;
    }
    // Mouse messages at the icon's centre; the icon window passes them on to its owner.
    RECT client{};
    GetClientRect(iconWindow, &client);
    const LPARAM where = MAKELPARAM(client.right / 2, client.bottom / 2);
    const UINT down = rightButton ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    const UINT up = rightButton ? WM_RBUTTONUP : WM_LBUTTONUP;
    const WPARAM keys = rightButton ? MK_RBUTTON : MK_LBUTTON;
    PostMessageW(iconWindow, WM_MOUSEMOVE, 0, where);
    PostMessageW(iconWindow, down, keys, where);
    return PostMessageW(iconWindow, up, 0, where) != FALSE;
}

} // namespace uidriver
