#pragma once

namespace tidewell {

// "Let pending window events run": every wait of the core is built on this (see ui/Runtime.h),
// so timers, clicks and tray messages are handled while the core waits.
class EventLoop {
public:
    virtual ~EventLoop() = default;
    // Waits at most `maxWaitMilliseconds` for an event to arrive, then runs every pending one.
    // Returns false once the program is quitting (WM_QUIT seen; it stays seen for the outer loop
    // and for every later call): every wait then gives up.
    virtual bool DoEvents(int maxWaitMilliseconds = 0) = 0;
    // True once the program is quitting, without running any event.
    virtual bool Quitting() const = 0;
    // A monotonic clock in milliseconds, the time base of every wait.
    virtual long long NowMilliseconds() const = 0;
};

} // namespace tidewell
