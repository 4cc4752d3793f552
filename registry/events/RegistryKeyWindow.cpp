#include "events/RegistryKeyWindow.h"

#include "com/Module.h"

#include <map>
#include <memory>
#include <new>

namespace registry {
namespace {

constexpr wchar_t kWindowClass[] = L"TidewellRegistryKeyWindow";
constexpr wchar_t kWindowTitle[] = L"RegistryKeyWindow";
constexpr UINT kCloseIfIdleMessage = WM_USER + 102;

struct Receiver {
    RegistryKeyWindow::ChangeHandler handler;
    void* context;
};

// What one thread's window knows; owned by the window, freed with it.
struct ThreadWindow {
    HWND window = nullptr;
    std::map<std::uintptr_t, Receiver> receivers;
    std::uintptr_t lastId = 0;
};

// The thread's window, through a TLS slot taken on first need.
DWORD tlsSlot = TLS_OUT_OF_INDEXES;
INIT_ONCE tlsOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK AllocateSlot(PINIT_ONCE, PVOID, PVOID*) {
    tlsSlot = TlsAlloc();
    return tlsSlot != TLS_OUT_OF_INDEXES;
}

ThreadWindow* CurrentThreadWindow() {
    if (!InitOnceExecuteOnce(&tlsOnce, &AllocateSlot, nullptr, nullptr))
        return nullptr;
    return static_cast<ThreadWindow*>(TlsGetValue(tlsSlot));
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<ThreadWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        break;
    }
    case RegistryKeyWindow::ChangeMessage:
        if (state) {
            auto found = state->receivers.find(static_cast<std::uintptr_t>(lParam));
            if (found != state->receivers.end()) {
                // The handler may detach, or end its key: nothing of the map is used afterwards.
                const Receiver receiver = found->second;
                receiver.handler(receiver.context);
            }
        }
        return 0;
    case kCloseIfIdleMessage:
        if (state && state->receivers.empty())
            DestroyWindow(window);
        return 0;
    case WM_NCDESTROY:
        if (state) {
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            if (CurrentThreadWindow() == state)
                TlsSetValue(tlsSlot, nullptr);
            std::unique_ptr<ThreadWindow> owned(state);
            UnlockModule();
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The calling thread's window, made when it has none; null with the last error set on failure.
ThreadWindow* ThreadWindowForAttach() {
    if (ThreadWindow* existing = CurrentThreadWindow())
        return existing;
    if (tlsSlot == TLS_OUT_OF_INDEXES)
        return nullptr;
    HINSTANCE module = ModuleInstance();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClass;
    // Every thread's window shares the class: a registration that is already there is fine.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return nullptr;
    std::unique_ptr<ThreadWindow> state(new (std::nothrow) ThreadWindow);
    if (!state) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    state->window = CreateWindowExW(0, kWindowClass, kWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                                    nullptr, module, state.get());
    if (!state->window)
        return nullptr;
    // From here the window owns its state and frees it, with this lock, when it ends.
    LockModule();
    TlsSetValue(tlsSlot, state.get());
    return state.release();
}

} // namespace

DWORD RegistryKeyWindow::Attach(ChangeHandler handler, void* context, Attachment& attachment) {
    attachment = {};
    SetLastError(ERROR_SUCCESS);
    ThreadWindow* state = ThreadWindowForAttach();
    if (!state) {
        const DWORD error = GetLastError();
        return error != ERROR_SUCCESS ? error : ERROR_CANNOT_MAKE;
    }
    try {
        const std::uintptr_t id = ++state->lastId;
        state->receivers.emplace(id, Receiver{handler, context});
        attachment = {state->window, id};
        return ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        PostMessageW(state->window, kCloseIfIdleMessage, 0, 0);
        return ERROR_NOT_ENOUGH_MEMORY;
    }
}

void RegistryKeyWindow::Detach(Attachment& attachment) {
    if (!attachment)
        return;
    auto* state =
        reinterpret_cast<ThreadWindow*>(GetWindowLongPtrW(attachment.window, GWLP_USERDATA));
    if (state) {
        state->receivers.erase(attachment.id);
        if (state->receivers.empty())
            PostMessageW(attachment.window, kCloseIfIdleMessage, 0, 0);
    }
    attachment = {};
}

void RegistryKeyWindow::PostChange(const Attachment& attachment) {
    // A full queue loses this change only.
    PostMessageW(attachment.window, ChangeMessage, 0, static_cast<LPARAM>(attachment.id));
}

void RegistryKeyWindow::CloseIdleWindowOfThisThread() {
    ThreadWindow* state = CurrentThreadWindow();
    if (state && state->receivers.empty())
        DestroyWindow(state->window);
}

void RegistryKeyWindow::UnregisterWindowClass() {
    UnregisterClassW(kWindowClass, ModuleInstance());
    if (tlsSlot != TLS_OUT_OF_INDEXES)
        TlsFree(tlsSlot);
}

} // namespace registry
