#pragma once

namespace tidewell {

// "Let pending window events run": the core's waiting loops call this on every pass, so timers,
// clicks and tray messages are handled while the core waits.
class EventLoop {
public:
    virtual ~EventLoop() = default;
    // Runs the events that are pending (the Win32 adapter may wait a few milliseconds for the next
    // one so a waiting loop does not burn a core). Returns false once the application is quitting
    // (WM_QUIT seen, and posted again for the outer loop): every waiting loop then gives up.
    virtual bool DoEvents() = 0;
};

} // namespace tidewell
