#include "events/ChangeNotifier.h"

#include "win32common/Result.h"

namespace registry {

using win32common::LastErrorOr;

DWORD ChangeNotifier::Start(HKEY key, RegistryKeyWindow::ChangeHandler handler, void* context,
                            Step* failedStep) {
    Stop();
    DWORD error = RegistryKeyWindow::Attach(handler, context, window_);
    if (error != ERROR_SUCCESS) {
        *failedStep = Step::Window;
        return error;
    }
    SetLastError(ERROR_SUCCESS);
    event_ = win32common::UniqueKernelHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event_) {
        *failedStep = Step::Event;
        error = LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        Undo();
        return error;
    }
    key_ = key;
    // Asked here, on the key's thread, before Advise returns: a change made right after the
    // connection is heard.
    if (RegNotifyChangeKeyValue(key_, TRUE, kFilter, event_.get(), TRUE) != ERROR_SUCCESS) {
        Undo();
        return ERROR_SUCCESS;
    }
    // The callback only posts a message, so it runs in the pool's wait thread.
    if (!RegisterWaitForSingleObject(&wait_, event_.get(), &ChangeNotifier::Signalled, this,
                                     INFINITE, WT_EXECUTEINWAITTHREAD)) {
        wait_ = nullptr;
        *failedStep = Step::Thread;
        error = LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        Undo();
        return error;
    }
    return ERROR_SUCCESS;
}

void ChangeNotifier::Stop() {
    Undo();
}

void ChangeNotifier::Undo() {
    if (wait_) {
        // Waits for a callback under way: afterwards nothing posts for this key any more.
        UnregisterWaitEx(wait_, INVALID_HANDLE_VALUE);
        wait_ = nullptr;
    }
    event_.reset();
    RegistryKeyWindow::Detach(window_);
    key_ = nullptr;
}

void ChangeNotifier::Rearm() {
    // A key that is gone still reports its last change; a failed request just ends the events.
    if (wait_)
        RegNotifyChangeKeyValue(key_, TRUE, kFilter, event_.get(), TRUE);
}

void CALLBACK ChangeNotifier::Signalled(void* self, BOOLEAN) {
    RegistryKeyWindow::PostChange(static_cast<ChangeNotifier*>(self)->window_);
}

} // namespace registry
