#include "startup_entries/win32/Win32InputBox.h"

#include "startup_entries/win32/InputBoxResources.h"
#include "win32common/Text.h"

#include <windows.h>

#include <string>

namespace tidewell::win32 {

namespace {

struct InputBoxState {
    std::wstring prompt;
    std::wstring title;
    std::wstring defaultText;
    HWND owner;
    std::wstring answer;
};

// At the owner's top-left corner as it is now (centred without an owner), moved back inside the
// work area of the monitor it lands on.
void Place(HWND dialog, HWND owner) {
    RECT bounds{};
    if (!GetWindowRect(dialog, &bounds)) {
        return;
    }
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    RECT ownerBounds{};
    int left = 0;
    int top = 0;
    if (owner != nullptr && GetWindowRect(owner, &ownerBounds)) {
        left = ownerBounds.left;
        top = ownerBounds.top;
    } else {
        left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    const POINT corner{left, top};
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromPoint(corner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& area = monitor.rcWork;
        if (left + width > area.right) {
            left = area.right - width;
        }
        if (top + height > area.bottom) {
            top = area.bottom - height;
        }
        if (left < area.left) {
            left = area.left;
        }
        if (top < area.top) {
            top = area.top;
        }
    }
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring ControlText(HWND control) {
    const int length = GetWindowTextLengthW(control);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(control, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

INT_PTR CALLBACK InputBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    try {
        switch (message) {
        case WM_INITDIALOG: {
            auto* state = reinterpret_cast<InputBoxState*>(lParam);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            SetWindowTextW(dialog, state->title.c_str());
            SetDlgItemTextW(dialog, IDC_INPUT_BOX_PROMPT, state->prompt.c_str());
            HWND edit = GetDlgItem(dialog, IDC_INPUT_BOX_TEXT);
            SetWindowTextW(edit, state->defaultText.c_str());
            Place(dialog, state->owner);
            SetForegroundWindow(dialog);
            // The default text comes selected, so typing replaces it.
            SendMessageW(edit, EM_SETSEL, 0, -1);
            SetFocus(edit);
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                auto* state =
                    reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
                if (state == nullptr) {
                    EndDialog(dialog, IDCANCEL);
                    return TRUE;
                }
                state->answer = ControlText(GetDlgItem(dialog, IDC_INPUT_BOX_TEXT));
                EndDialog(dialog, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, IDCANCEL);
                return TRUE;
            }
            break;
        default:
            break;
        }
    } catch (...) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

std::string Win32InputBox::Show(std::string_view prompt, std::string_view title,
                                std::string_view defaultText, WindowHandle owner) {
    HWND ownerWindow = reinterpret_cast<HWND>(owner);
    if (ownerWindow != nullptr && !IsWindow(ownerWindow)) {
        ownerWindow = nullptr;
    }
    InputBoxState state{win32common::Utf8ToWide(prompt),
                        win32common::Utf8ToWide(title),
                        win32common::Utf8ToWide(defaultText),
                        ownerWindow,
                        {}};
    const INT_PTR result =
        DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_INPUT_BOX), ownerWindow,
                        InputBoxProc, reinterpret_cast<LPARAM>(&state));
    // -1: the template could not be loaded; the box counts as cancelled.
    return result == IDOK ? win32common::WideToUtf8(state.answer) : std::string();
}

} // namespace tidewell::win32
