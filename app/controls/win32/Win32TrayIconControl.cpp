#include "controls/win32/Win32TrayIconControl.h"

#include "resources/ResourceIds.h"
#include "win32common/Text.h"

#include <shellapi.h>

#include <cwchar>

namespace tidewell::win32 {

namespace {

int ResourceOfPicture(std::int16_t number) {
    switch (number) {
    case kTrayIconWorking:
        return IDI_TRAY_WORKING;
    case kTrayIconDone:
        return IDI_TRAY_DONE;
    default:
        return IDI_TRAY_IDLE;
    }
}

} // namespace

Win32TrayIconControl::Win32TrayIconControl(HWND owner, UINT callbackMessage)
    : owner_(owner), callbackMessage_(callbackMessage) {
    LoadPicture();
}

Win32TrayIconControl::~Win32TrayIconControl() {
    RemoveIcon();
}

NOTIFYICONDATAW Win32TrayIconControl::Data(UINT flags) const {
    NOTIFYICONDATAW data{};
    data.cbSize = sizeof(data);
    data.hWnd = owner_;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = callbackMessage_;
    data.hIcon =
        picture_ ? picture_.get() : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    // The shell keeps at most 127 characters of a tip.
    const std::wstring tip = win32common::Utf8ToWide(tip_);
    wcsncpy(data.szTip, tip.c_str(), std::size(data.szTip) - 1);
    return data;
}

void Win32TrayIconControl::LoadPicture() {
    HINSTANCE module = GetModuleHandleW(nullptr);
    picture_.reset(static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(ResourceOfPicture(number_)), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
}

void Win32TrayIconControl::Update() {
    if (!shown_ || owner_ == nullptr || !IsWindow(owner_)) {
        return;
    }
    NOTIFYICONDATAW data = Data(NIF_ICON | NIF_TIP | NIF_MESSAGE);
    if (added_) {
        Shell_NotifyIconW(NIM_MODIFY, &data);
    } else {
        added_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    }
}

void Win32TrayIconControl::SetShowIcon(bool show) {
    if (show == shown_) {
        return;
    }
    if (show) {
        shown_ = true;
        Update();
    } else {
        RemoveIcon();
    }
}

void Win32TrayIconControl::SetTipText(std::string_view tip) {
    tip_ = std::string(tip);
    Update();
}

void Win32TrayIconControl::SetIconNumber(std::int16_t number) {
    number_ = number;
    LoadPicture();
    Update();
}

void Win32TrayIconControl::RemoveIcon() {
    if (added_) {
        NOTIFYICONDATAW data = Data(0);
        Shell_NotifyIconW(NIM_DELETE, &data);
        added_ = false;
    }
    shown_ = false;
}

void Win32TrayIconControl::Restore() {
    added_ = false;
    Update();
}

} // namespace tidewell::win32
