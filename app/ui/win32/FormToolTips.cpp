#include "ui/win32/FormToolTips.h"

#include "win32common/Text.h"

#include <commctrl.h>

#include <string>

namespace tidewell::win32 {

namespace {

constexpr int kToolTipWidth = 360;

} // namespace

bool FormToolTips::Create() {
    if (instance_ == nullptr) {
        return false;
    }
    // Unowned: Wine does not make a window topmost while it owns a topmost popup.
    window_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                  WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                  instance_, nullptr));
    if (window_) {
        SendMessageW(window_.get(), TTM_SETMAXTIPWIDTH, 0, kToolTipWidth);
    }
    return static_cast<bool>(window_);
}

void FormToolTips::Apply(HWND form, HWND control, std::string_view text, bool replace) {
    if (control == nullptr || (!window_ && (text.empty() || !Create()))) {
        return;
    }
    std::wstring wide = win32common::Utf8ToWide(text);
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = form;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = wide.data();
    if (replace) {
        // A control that had no tip before has no tool yet.
        SendMessageW(window_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    if (!wide.empty()) {
        SendMessageW(window_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

} // namespace tidewell::win32
