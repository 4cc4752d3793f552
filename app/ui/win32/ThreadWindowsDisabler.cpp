#include "ui/win32/ThreadWindowsDisabler.h"

#include <utility>

namespace tidewell::win32 {

namespace {

struct ThreadWindows {
    HWND except;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectEnabledWindow(HWND window, LPARAM state) {
    auto* windows = reinterpret_cast<ThreadWindows*>(state);
    if (window != windows->except && IsWindowEnabled(window) &&
        (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) == 0) {
        windows->found.push_back(window);
    }
    return TRUE;
}

} // namespace

void ThreadWindowsDisabler::Begin(HWND except) {
    ThreadWindows windows{except, {}};
    EnumThreadWindows(GetCurrentThreadId(), &CollectEnabledWindow,
                      reinterpret_cast<LPARAM>(&windows));
    for (HWND other : windows.found) {
        EnableWindow(other, FALSE);
    }
    disabled_.push_back(std::move(windows.found));
}

void ThreadWindowsDisabler::End() {
    if (disabled_.empty()) {
        return;
    }
    for (HWND other : disabled_.back()) {
        if (IsWindow(other)) {
            EnableWindow(other, TRUE);
        }
    }
    disabled_.pop_back();
}

} // namespace tidewell::win32
