#pragma once

#include "ports/EventLoop.h"

#include <windows.h>

namespace tidewell::win32 {

// Translates and dispatches one message, giving the program's windows their keyboard navigation
// (Tab, mnemonics) as dialogs have it.
void DispatchWindowMessage(MSG& message);

// "Let pending window events run": sleeps until a message arrives or the wait is over, then
// dispatches everything that is queued. Once WM_QUIT has been seen the program is quitting for
// good: every later call returns false at once, and the quit is posted again for the outer loop.
class Win32EventLoop final : public EventLoop {
public:
    bool DoEvents(int maxWaitMilliseconds = 0) override;
    bool Quitting() const override;
    long long NowMilliseconds() const override;

private:
    void SeeQuit(WPARAM exitCode) const;

    mutable bool quitting_ = false;
};

// The program's outer loop; returns the WM_QUIT exit code.
int RunMessageLoop();

} // namespace tidewell::win32
