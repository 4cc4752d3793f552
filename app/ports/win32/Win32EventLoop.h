#pragma once

#include "ports/EventLoop.h"

#include <windows.h>

namespace tidewell::win32 {

// Translates and dispatches one message, giving the program's windows their keyboard navigation
// (Tab, mnemonics) as dialogs have it.
void DispatchWindowMessage(MSG& message);

// "Let pending window events run": waits briefly for the next message instead of spinning, then
// dispatches everything that is queued.
class Win32EventLoop final : public EventLoop {
public:
    explicit Win32EventLoop(DWORD waitMilliseconds = 10) : waitMilliseconds_(waitMilliseconds) {}
    bool DoEvents() override;

private:
    DWORD waitMilliseconds_;
};

// The program's outer loop; returns the WM_QUIT exit code.
int RunMessageLoop();

} // namespace tidewell::win32
