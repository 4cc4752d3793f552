#include "events/ChangeNotifier.h"

namespace registry {

DWORD ChangeNotifier::LastErrorOr(DWORD fallback) {
    DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}

DWORD ChangeNotifier::Start(HKEY key, RegistryKeyWindow::ChangeHandler handler, void* context,
                            Step* failedStep) {
    Stop();
    SetLastError(ERROR_SUCCESS);
    if (!window_.Create(handler, context)) {
        *failedStep = Step::Window;
        DWORD error = LastErrorOr(ERROR_CANNOT_MAKE);
        window_.Destroy();
        return error;
    }
    event_ = UniqueKernelHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event_) {
        *failedStep = Step::Event;
        DWORD error = LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        window_.Destroy();
        return error;
    }
    UniqueKernelHandle armed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!armed) {
        *failedStep = Step::Event;
        DWORD error = LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        event_.reset();
        window_.Destroy();
        return error;
    }
    key_ = key;
    armedSignal_ = armed.get();
    running_ = true;
    thread_ =
        UniqueKernelHandle(CreateThread(nullptr, 0, &ChangeNotifier::Watch, this, 0, nullptr));
    if (!thread_) {
        *failedStep = Step::Thread;
        DWORD error = LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        running_ = false;
        armedSignal_ = nullptr;
        event_.reset();
        window_.Destroy();
        return error;
    }
    // A change made right after the connection must not slip by before the worker has asked
    // for it: wait for the first request (or for the worker's end, should that request fail).
    HANDLE waits[] = {armed.get(), thread_.get()};
    WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    armedSignal_ = nullptr;
    return ERROR_SUCCESS;
}

void ChangeNotifier::Stop() {
    // The flag goes first, so that the worker's wait, ended by the event, ends the worker.
    running_ = false;
    if (thread_) {
        SetEvent(event_.get());
        WaitForSingleObject(thread_.get(), INFINITE);
        thread_.reset();
    }
    event_.reset();
    window_.Destroy();
}

DWORD WINAPI ChangeNotifier::Watch(void* param) {
    auto* self = static_cast<ChangeNotifier*>(param);
    HWND window = self->window_.Get();
    LONG result = self->Arm();
    SetEvent(self->armedSignal_);
    for (;;) {
        if (result != ERROR_SUCCESS) {
            return 0x80070000u | (static_cast<DWORD>(result) & 0xFFFF);
        }
        // Asking for a notification resets the event: a stop that signalled it just before
        // would be lost, and the wait below would never end. So look at the flag once more.
        if (!self->running_) {
            return 0;
        }
        if (WaitForSingleObject(self->event_.get(), INFINITE) != WAIT_OBJECT_0) {
            return 0x80070000u | (GetLastError() & 0xFFFF);
        }
        if (!self->running_) {
            return 0;
        }
        // Ask for the next change before handing this one over: a sink that reacts by writing
        // into the key must be heard. A key that is gone still reports its last change.
        result = self->Arm();
        // A full queue loses this change only; the next one is posted again.
        PostMessageW(window, RegistryKeyWindow::ChangeMessage, 0, 0);
    }
}

LONG ChangeNotifier::Arm() {
    return RegNotifyChangeKeyValue(key_, TRUE, kFilter, event_.get(), TRUE);
}

} // namespace registry
