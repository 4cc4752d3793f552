#pragma once

#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

// Drives the windows of another process the way a user would see them, for the GUI tests and the
// scripts. Every wait is bounded.
namespace uidriver {

using Milliseconds = std::chrono::milliseconds;

// The tests' one poll: asks `condition` every 20 ms, dispatching this thread's messages meanwhile
// (windows of the test's own), until it holds or `timeout` has passed; whether it held.
template <typename Condition>
bool Eventually(Condition condition, Milliseconds timeout = Milliseconds(5000)) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    while (!condition()) {
        if (GetTickCount64() >= end) {
            return false;
        }
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(20);
    }
    return true;
}

struct TopWindow {
    HWND handle = nullptr;
    DWORD processId = 0;
    std::wstring className;
    std::wstring text;
    bool visible = false;
};

struct ChildControl {
    HWND handle = nullptr;
    int id = 0;
    std::wstring className;
    std::wstring text;
    DWORD style = 0;
    bool enabled = false;
    bool visible = false;
    int checked = 0; // BM_GETCHECK for buttons, 0 otherwise
    RECT rect{};     // in the parent's client coordinates
};

struct ToolTip {
    HWND control = nullptr; // the control the tip belongs to (TTF_IDISHWND), or null
    UINT_PTR id = 0;
    std::wstring text;
};

// Text through WM_GETTEXT, which crosses processes.
std::wstring WindowText(HWND window);
std::wstring ClassName(HWND window);

// Top-level windows; processId 0 means every process.
std::vector<TopWindow> TopLevelWindows(DWORD processId = 0);

// A top-level window with the class and text (empty means any), waiting up to timeout.
std::optional<HWND> WaitForWindow(const std::wstring& className, const std::wstring& text,
                                  Milliseconds timeout, DWORD processId = 0,
                                  bool mustBeVisible = false);

// Waits until the window is gone.
bool WaitUntilGone(HWND window, Milliseconds timeout);

std::vector<ChildControl> Children(HWND parent);
std::optional<ChildControl> ChildById(HWND parent, int id);
std::optional<ChildControl> ChildByText(HWND parent, const std::wstring& text);

// A message box (dialog class #32770) with the title; it counts once its text control exists.
std::optional<HWND> WaitForMessageBox(const std::wstring& title, Milliseconds timeout,
                                      DWORD processId = 0);
std::wstring MessageBoxText(HWND box);
// Presses the button with the command id (IDOK, IDYES, ...) and waits for the box to go.
bool PressMessageBoxButton(HWND box, int commandId, Milliseconds timeout);

// A click on a button control, posted so a modal box it opens does not block the caller.
bool ClickControl(HWND control);

// The tips of every tool of the tooltip windows owned by the process (read from its memory).
std::vector<ToolTip> ToolTipsOfProcess(DWORD processId);

// The icons of Wine's stand-alone notification area, with their tips.
struct TrayIcon {
    HWND window = nullptr;
    std::wstring tip;
};
std::vector<TrayIcon> TrayIcons();
// A right or left click on a tray icon window, as mouse messages.
bool ClickTrayIcon(HWND iconWindow, bool rightButton);

// Real input through SendInput, as the user's keyboard and mouse make it (to the window under the
// mouse, the active window for keys). Keys pressed together go in one input: under Wine a second,
// separate key press lost the first one's state.
bool PressKeys(std::initializer_list<WORD> keys);
bool ReleaseKeys(std::initializer_list<WORD> keys);
bool MoveMouseTo(POINT screen);
// Moves there, then presses and releases the left button.
bool LeftClickAt(POINT screen);

// The items of a window's system menu: command id, state flags (MF_GRAYED, ...) and text.
struct MenuItem {
    UINT id = 0;
    UINT state = 0;
    std::wstring text;
};
std::vector<MenuItem> SystemMenuItems(HWND window);

std::string ToUtf8(const std::wstring& text);
std::wstring FromUtf8(const std::string& text);

} // namespace uidriver
