#pragma once

#include <windows.h>

#include <vector>

namespace tidewell::win32 {

// The modal state of a form: the thread's other enabled top-level windows are disabled on Begin
// and enabled again on the matching End (nested states stack).
class ThreadWindowsDisabler {
public:
    void Begin(HWND except);
    void End();

private:
    std::vector<std::vector<HWND>> disabled_;
};

} // namespace tidewell::win32
