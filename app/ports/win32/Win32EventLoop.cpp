#include "ports/win32/Win32EventLoop.h"

namespace tidewell::win32 {

namespace {

// Windows whose class marks them as the program's forms get dialog-style navigation.
bool IsDialogNavigable(HWND root) {
    return root != nullptr && (GetWindowLongPtrW(root, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
}

} // namespace

void DispatchWindowMessage(MSG& message) {
    if (message.hwnd != nullptr && message.message >= WM_KEYFIRST &&
        message.message <= WM_KEYLAST) {
        HWND root = GetAncestor(message.hwnd, GA_ROOT);
        if (IsDialogNavigable(root) && IsDialogMessageW(root, &message)) {
            return;
        }
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32EventLoop::SeeQuit(WPARAM exitCode) const {
    quitting_ = true;
    // The outer loop must see it as well.
    PostQuitMessage(static_cast<int>(exitCode));
}

bool Win32EventLoop::Quitting() const {
    if (quitting_) {
        return true;
    }
    // A modal loop of the system (a message box) may have taken WM_QUIT and posted it again.
    MSG message{};
    if (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        SeeQuit(message.wParam);
    }
    return quitting_;
}

bool Win32EventLoop::DoEvents(int maxWaitMilliseconds) {
    if (Quitting()) {
        return false;
    }
    if (maxWaitMilliseconds > 0) {
        MsgWaitForMultipleObjectsEx(0, nullptr, static_cast<DWORD>(maxWaitMilliseconds),
                                    QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            SeeQuit(message.wParam);
            return false;
        }
        DispatchWindowMessage(message);
    }
    return true;
}

long long Win32EventLoop::NowMilliseconds() const {
    return static_cast<long long>(GetTickCount64());
}

int RunMessageLoop() {
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1) {
            break;
        }
        DispatchWindowMessage(message);
    }
    return static_cast<int>(message.wParam);
}

} // namespace tidewell::win32
