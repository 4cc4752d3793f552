#pragma once

#include <windows.h>

namespace registry {

// The hidden window through which a key's notification worker hands a change over to the
// thread that owns the key: the worker posts ChangeMessage, the key's message processing
// delivers it. The window belongs to the thread that created it.
class RegistryKeyWindow {
public:
    static constexpr UINT ChangeMessage = WM_USER + 101;
    using ChangeHandler = void (*)(void* context);

    RegistryKeyWindow() = default;
    RegistryKeyWindow(const RegistryKeyWindow&) = delete;
    RegistryKeyWindow& operator=(const RegistryKeyWindow&) = delete;
    ~RegistryKeyWindow() { Destroy(); }

    // False with the thread's last error set when the window cannot be made.
    bool Create(ChangeHandler handler, void* context);
    void Destroy();
    HWND Get() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    ChangeHandler handler_ = nullptr;
    void* context_ = nullptr;
};

} // namespace registry
