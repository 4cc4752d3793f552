#include "events/RegistryKeyWindow.h"

namespace registry {
namespace {

constexpr wchar_t kWindowClass[] = L"TidewellRegistryKeyWindow";
constexpr wchar_t kWindowTitle[] = L"RegistryKeyWindow";

HINSTANCE ThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&ThisModule), &module);
    return module;
}

} // namespace

bool RegistryKeyWindow::Create(ChangeHandler handler, void* context) {
    Destroy();
    HINSTANCE module = ThisModule();
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = &RegistryKeyWindow::WindowProc;
    windowClass.hInstance = module;
    windowClass.lpszClassName = kWindowClass;
    // Keys on several threads share the class: a registration that is already there is fine.
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        return false;
    }
    handler_ = handler;
    context_ = context;
    window_ = CreateWindowExW(0, kWindowClass, kWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              module, this);
    return window_ != nullptr;
}

void RegistryKeyWindow::Destroy() {
    HWND window = window_;
    if (!window) {
        return;
    }
    window_ = nullptr;
    // Cut the window off first: a change message still queued must find nobody to call.
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    if (!DestroyWindow(window)) {
        // Only the owning thread can destroy it; ask that thread to close it.
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

LRESULT CALLBACK RegistryKeyWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    } else if (message == ChangeMessage) {
        auto* self = reinterpret_cast<RegistryKeyWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && self->handler_) {
            // The handler may end the key, and this object with it: touch nothing afterwards.
            self->handler_(self->context_);
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace registry
