#pragma once

#include "ui/win32/Win32FormView.h"
#include "win32/ApplicationWindow.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>

namespace tidewell::test {

// Dispatches this thread's messages until done() or the timeout; true when done.
inline bool PumpUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds timeout = std::chrono::milliseconds(3000)) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout.count());
    for (;;) {
        MSG message{};
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) {
            return true;
        }
        if (GetTickCount64() >= end) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

// Lets whatever is queued run for a while.
inline void PumpFor(std::chrono::milliseconds duration) {
    PumpUntil([] { return false; }, duration);
}

// An application window with a title no other process uses, and the form count of the program.
struct TestApplication {
    TestApplication() {
        title = "TidewellTest " + std::to_string(GetCurrentProcessId());
        created = window.Create(GetModuleHandleW(nullptr), title);
    }
    win32::ApplicationWindow window;
    // As in the program: the last form's end quits, and the forms keep the window below them.
    win32::OpenForms forms{[] { PostQuitMessage(0); }};
    win32::FormHooks hooks{forms, [this](HWND form) { window.PlaceBelow(form); }};
    std::string title;
    bool created = false;
};

} // namespace tidewell::test
