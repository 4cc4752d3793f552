#pragma once

#include "com/Win32Common.h"
#include "events/RegistryKeyWindow.h"

#include <windows.h>

#include <atomic>

namespace registry {

// Watches one key (its whole subtree) on a worker thread and hands every change to the
// thread that called Start, through RegistryKeyWindow. The worker touches only the key
// handle, the event and the running flag.
class ChangeNotifier {
public:
    enum class Step { Window, Event, Thread };

    ChangeNotifier() = default;
    ChangeNotifier(const ChangeNotifier&) = delete;
    ChangeNotifier& operator=(const ChangeNotifier&) = delete;
    ~ChangeNotifier() { Stop(); }

    // 0 when running; otherwise the failing step and its Win32 error, with everything undone.
    DWORD Start(HKEY key, RegistryKeyWindow::ChangeHandler handler, void* context,
                Step* failedStep);
    void Stop();
    bool Running() const { return window_.Get() != nullptr; }
    HWND Window() const { return window_.Get(); }

    static constexpr DWORD kFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                                     REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY;

private:
    static DWORD WINAPI Watch(void* self);
    LONG Arm();
    static DWORD LastErrorOr(DWORD fallback);

    RegistryKeyWindow window_;
    UniqueKernelHandle event_;
    UniqueKernelHandle thread_;
    std::atomic<bool> running_{false};
    HKEY key_ = nullptr;
    // Set by the worker once, after its first request; only Start owns the event.
    HANDLE armedSignal_ = nullptr;
};

} // namespace registry
