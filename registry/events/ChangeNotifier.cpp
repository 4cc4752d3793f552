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
    event_ = Handle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event_) {
        *failedStep = Step::Event;
        DWORD error = LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        window_.Destroy();
        return error;
    }
    key_ = key;
    running_ = true;
    thread_ = Handle(CreateThread(nullptr, 0, &ChangeNotifier::Watch, this, 0, nullptr));
    if (!thread_) {
        *failedStep = Step::Thread;
        DWORD error = LastErrorOr(ERROR_NOT_ENOUGH_MEMORY);
        running_ = false;
        event_.Reset();
        window_.Destroy();
        return error;
    }
    return ERROR_SUCCESS;
}

void ChangeNotifier::Stop() {
    // The flag goes first, so that the worker's wait, ended by the event, ends the worker.
    running_ = false;
    if (thread_) {
        SetEvent(event_.Get());
        WaitForSingleObject(thread_.Get(), INFINITE);
        thread_.Reset();
    }
    event_.Reset();
    window_.Destroy();
}

DWORD WINAPI ChangeNotifier::Watch(void* param) {
    auto* self = static_cast<ChangeNotifier*>(param);
    HWND window = self->window_.Get();
    for (;;) {
        LONG result = RegNotifyChangeKeyValue(self->key_, TRUE, kFilter, self->event_.Get(), TRUE);
        if (result != ERROR_SUCCESS) {
            return 0x80070000u | (static_cast<DWORD>(result) & 0xFFFF);
        }
        if (WaitForSingleObject(self->event_.Get(), INFINITE) != WAIT_OBJECT_0) {
            return 0x80070000u | (GetLastError() & 0xFFFF);
        }
        if (!self->running_) {
            return 0;
        }
        // A full queue loses this change only; the next one is posted again.
        PostMessageW(window, RegistryKeyWindow::ChangeMessage, 0, 0);
    }
}

} // namespace registry
