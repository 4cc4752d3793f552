#include "win32/ApplicationWindow.h"

#include "win32common/Text.h"

namespace tidewell::win32 {

namespace {

LRESULT CALLBACK ApplicationWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Nobody may close the application window directly: it ends with the process.
    if (message == WM_CLOSE) {
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool RegisterApplicationClass(HINSTANCE instance) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, ApplicationWindow::kClassName, &existing)) {
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ApplicationWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ApplicationWindow::kClassName;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    return RegisterClassExW(&windowClass) != 0;
}

} // namespace

bool ApplicationWindow::Create(HINSTANCE instance, std::string_view title) {
    if (!RegisterApplicationClass(instance)) {
        return false;
    }
    title_ = std::string(title);
    const std::wstring text = win32common::Utf8ToWide(title);
    window_.reset(CreateWindowExW(0, kClassName, text.c_str(), WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0,
                                  0, nullptr, nullptr, instance, nullptr));
    return static_cast<bool>(window_);
}

bool ApplicationWindow::SetTitle(std::string_view title) {
    title_ = std::string(title);
    if (!window_) {
        return false;
    }
    return SetWindowTextW(window_.get(), win32common::Utf8ToWide(title).c_str()) != FALSE;
}

void ApplicationWindow::PlaceBelow(HWND visible) const {
    if (!window_ || visible == nullptr) {
        return;
    }
    constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;
    // A topmost visible window lives in the topmost band: the application window follows it there
    // and back, or another window could come between them.
    const bool visibleTopmost = (GetWindowLongPtrW(visible, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    const bool selfTopmost = (GetWindowLongPtrW(window_.get(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (visibleTopmost != selfTopmost) {
        SetWindowPos(window_.get(), visibleTopmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     kKeepPlace);
    }
    if (GetWindow(window_.get(), GW_HWNDPREV) != visible) {
        SetWindowPos(window_.get(), visible, 0, 0, 0, 0, kKeepPlace);
    }
}

} // namespace tidewell::win32
