#pragma once

// A user at one window of a running program, for the tests that drive windows: its controls by
// caption or class, what its list boxes, status bar and progress bar show, and the program's
// message boxes and input boxes. Every wait is bounded; failures come back as false or nothing, for
// the caller to report, and are noted in words (Failures) for a caller on a second thread that
// reports after it ends.
#include "UiAutomation.h"

#include <commctrl.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace uidriver {

class WindowUser {
public:
    WindowUser(DWORD processId, HWND window) : processId_(processId), window_(window) {}
    // A user whose window is still to come (AtWindow).
    explicit WindowUser(DWORD processId) : WindowUser(processId, nullptr) {}

    HWND Window() const { return window_; }
    DWORD ProcessId() const { return processId_; }

    HWND Control(const std::wstring& caption) const {
        const auto child = ChildByText(window_, caption);
        return child ? child->handle : nullptr;
    }
    // The window's `which`-th child of the class (case-insensitive), in z-order.
    HWND OfClass(const wchar_t* className, int which = 0) const {
        for (const auto& child : Children(window_)) {
            if (_wcsicmp(child.className.c_str(), className) == 0 && which-- == 0) {
                return child.handle;
            }
        }
        return nullptr;
    }
    // Waits for the program's visible top-level window with the title; the user works at it then.
    bool AtWindow(const std::wstring& title, Milliseconds wait) {
        const auto found = WaitForWindow(L"", title, wait, processId_, true);
        window_ = found.value_or(nullptr);
        return found || Fail(L"no window " + title);
    }
    bool Click(const std::wstring& caption) const {
        return ClickControl(Control(caption)) || Fail(L"no button " + caption);
    }
    int Checked(const std::wstring& caption) const {
        return static_cast<int>(SendMessageW(Control(caption), BM_GETCHECK, 0, 0));
    }
    bool Enabled(const std::wstring& caption) const {
        return IsWindowEnabled(Control(caption)) != FALSE;
    }

    // The status bar answers WM_GETTEXT with its first panel.
    std::wstring Status() const { return WindowText(OfClass(STATUSCLASSNAMEW)); }
    // The progress bar's position and upper bound.
    std::pair<int, int> Progress() const {
        HWND bar = OfClass(PROGRESS_CLASSW);
        return {static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)),
                static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0))};
    }
    // The items of a list box, in order.
    static std::vector<std::wstring> ListItems(HWND list) {
        std::vector<std::wstring> items;
        const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring item(length > 0 ? static_cast<std::size_t>(length) : 0, L'\0');
            if (length > 0) {
                SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                             reinterpret_cast<LPARAM>(item.data()));
            }
            items.push_back(std::move(item));
        }
        return items;
    }

    // Selects the item (-1: none) as a click would: the list's parent hears of the change.
    static void Select(HWND list, int index) {
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(list));
    }
    // Waits until the list box holds at least `count` items.
    bool WaitForItems(HWND list, int count, Milliseconds wait) const {
        return Eventually([&] { return SendMessageW(list, LB_GETCOUNT, 0, 0) >= count; }, wait) ||
               Fail(L"list not filled");
    }

    // A visible dialog (message box, input box) of the program is open.
    bool BoxOpen() const {
        for (const auto& window : TopLevelWindows(processId_)) {
            if (window.className == L"#32770" && window.visible) {
                return true;
            }
        }
        return false;
    }
    // No box of the program appears within the time.
    bool NoBoxWithin(Milliseconds time) const {
        const auto deadline = GetTickCount64() + static_cast<ULONGLONG>(time.count());
        while (GetTickCount64() < deadline) {
            if (BoxOpen()) {
                return false;
            }
            Sleep(50);
        }
        return true;
    }
    // Waits for the message box with the title and presses the button: the box's text, or nothing
    // when no box came or it stayed.
    std::optional<std::wstring> Answer(const std::wstring& title, int button,
                                       Milliseconds wait) const {
        const auto box = WaitForMessageBox(title, wait, processId_);
        if (!box) {
            Fail(L"no box " + title);
            return std::nullopt;
        }
        std::wstring text = MessageBoxText(*box);
        if (!PressMessageBoxButton(*box, button, Milliseconds(5000))) {
            Fail(L"box stays " + title);
            return std::nullopt;
        }
        return text;
    }
    // Types the text into the input box with the title and presses OK; whether the box went.
    bool Type(const std::wstring& title, const std::wstring& text, Milliseconds wait) const {
        const auto box = WaitForWindow(L"#32770", title, wait, processId_, true);
        if (!box) {
            return Fail(L"no input box " + title);
        }
        HWND edit = FindWindowExW(*box, nullptr, L"Edit", nullptr);
        const auto ok = ChildByText(*box, L"OK");
        if (!edit || !ok) {
            return Fail(L"input box parts " + title);
        }
        SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        ClickControl(ok->handle);
        return WaitUntilGone(*box, Milliseconds(5000)) || Fail(L"input box stays " + title);
    }
    // Presses Cancel in the input box with the title; whether the box went.
    bool Cancel(const std::wstring& title, Milliseconds wait) const {
        const auto box = WaitForWindow(L"#32770", title, wait, processId_, true);
        const auto cancel = box ? ChildByText(*box, L"Cancel") : std::nullopt;
        if (!cancel) {
            return Fail(L"no input box to cancel " + title);
        }
        ClickControl(cancel->handle);
        return WaitUntilGone(*box, Milliseconds(5000)) || Fail(L"input box stays " + title);
    }

    // Notes a failure of the caller's own beside the user's; always false.
    bool Fail(std::wstring what) const {
        failures_.push_back(std::move(what));
        return false;
    }
    const std::vector<std::wstring>& Failures() const { return failures_; }

private:
    DWORD processId_;
    HWND window_;
    // A note, not the user's state: kept by the const acts too.
    mutable std::vector<std::wstring> failures_;
};

} // namespace uidriver
