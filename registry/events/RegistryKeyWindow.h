#pragma once

#include <windows.h>

#include <cstdint>

namespace registry {

// The hidden window through which changes seen elsewhere reach the thread that watches a key:
// one window per client thread, shared by all of that thread's watched keys. A watcher attaches
// to its thread's window (made on first need); anybody may post a change for an attachment; the
// window's message processing calls the attachment's handler on that thread, unless it has been
// detached meanwhile. A window without attachments closes at its thread's next message
// processing (or when DllCanUnloadNow asks on its thread), so that keys connected one after
// another reuse it; while it exists it holds a lock on the module.
class RegistryKeyWindow {
public:
    static constexpr UINT ChangeMessage = WM_USER + 101;
    using ChangeHandler = void (*)(void* context);

    struct Attachment {
        HWND window = nullptr;
        std::uintptr_t id = 0;
        explicit operator bool() const { return window != nullptr; }
    };

    // On the calling thread; ERROR_SUCCESS, or the error with which the window could not be made.
    static DWORD Attach(ChangeHandler handler, void* context, Attachment& attachment);
    // On the attaching thread; changes still queued for the attachment find nobody.
    static void Detach(Attachment& attachment);
    // From any thread.
    static void PostChange(const Attachment& attachment);

    // Closes the calling thread's window when no key uses it.
    static void CloseIdleWindowOfThisThread();
    // At the module's unload.
    static void UnregisterWindowClass();
};

} // namespace registry
