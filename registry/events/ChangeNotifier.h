#pragma once

#include "win32common/Handles.h"
#include "events/RegistryKeyWindow.h"

#include <windows.h>

namespace registry {

// Watches one key (its whole subtree) and hands every change to the thread that called Start,
// without a thread of its own: the key's thread asks for each change (RegNotifyChangeKeyValue
// with an event), one thread-pool wait per watched key turns the event into a message for the
// thread's shared RegistryKeyWindow, and the key's thread asks for the next change before it
// delivers the one that came.
class ChangeNotifier {
public:
    enum class Step { Window, Event, Thread };

    ChangeNotifier() = default;
    ChangeNotifier(const ChangeNotifier&) = delete;
    ChangeNotifier& operator=(const ChangeNotifier&) = delete;
    ~ChangeNotifier() { Stop(); }

    // 0 when running; otherwise the failing step and its Win32 error, with everything undone.
    // A key whose first request fails starts silent: it never reports a change.
    DWORD Start(HKEY key, RegistryKeyWindow::ChangeHandler handler, void* context,
                Step* failedStep);
    void Stop();
    // On the key's thread, when a change has come: asks for the next one.
    void Rearm();

    static constexpr DWORD kFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                                     REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY;

private:
    static void CALLBACK Signalled(void* self, BOOLEAN timedOut);
    void Undo();

    RegistryKeyWindow::Attachment window_;
    win32common::UniqueKernelHandle event_;
    HANDLE wait_ = nullptr;
    HKEY key_ = nullptr;
};

} // namespace registry
