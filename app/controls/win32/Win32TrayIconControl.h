#pragma once

#include "controls/TrayIconControl.h"
#include "win32common/Handles.h"

#include <windows.h>
#include <shellapi.h>

namespace tidewell::win32 {

// One window's icon in the notification area (Shell_NotifyIconW). The window receives
// callbackMessage with the mouse message in lParam, removes the icon when it is destroyed
// (RemoveIcon) and re-adds it when the shell restarts (Restore).
class Win32TrayIconControl final : public TrayIconControl {
public:
    static constexpr UINT kIconId = 1;

    Win32TrayIconControl(HWND owner, UINT callbackMessage);
    Win32TrayIconControl(const Win32TrayIconControl&) = delete;
    Win32TrayIconControl& operator=(const Win32TrayIconControl&) = delete;
    ~Win32TrayIconControl() override;

    void SetShowIcon(bool show) override;
    bool ShowIcon() const override { return shown_; }
    void SetTipText(std::string_view tip) override;
    std::string TipText() const override { return tip_; }
    void SetIconNumber(std::int16_t number) override;
    std::int16_t IconNumber() const override { return number_; }

    void RemoveIcon();
    void Restore();

private:
    NOTIFYICONDATAW Data(UINT flags) const;
    void LoadPicture();
    void Update();

    HWND owner_;
    UINT callbackMessage_;
    bool shown_ = false;
    bool added_ = false;
    std::string tip_;
    std::int16_t number_ = kTrayIconIdle;
    win32common::UniqueIcon picture_;
};

} // namespace tidewell::win32
