#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tidewell {

// Mouse buttons of the tray click.
inline constexpr std::int16_t kTrayLeftButton = 1;
inline constexpr std::int16_t kTrayRightButton = 2;

// Tray icons of the window's image list ImageList1.
inline constexpr std::int16_t kTrayIconIdle = 1;
inline constexpr std::int16_t kTrayIconWorking = 2;
inline constexpr std::int16_t kTrayIconDone = 3;

// The tray-icon control (SysTray) of one window. Its click event is not part of this interface:
// the window's view receives the tray callback message and calls the core's SysTray_TrayClick
// with the button (kTrayLeftButton / kTrayRightButton).
class TrayIconControl {
public:
    virtual ~TrayIconControl() = default;
    // The icon is in the notification area while true; unloading the window removes it.
    virtual void SetShowIcon(bool show) = 0;
    virtual bool ShowIcon() const = 0;
    virtual void SetTipText(std::string_view tip) = 0;
    virtual std::string TipText() const = 0;
    virtual void SetIconNumber(std::int16_t number) = 0;
    virtual std::int16_t IconNumber() const = 0;
};

} // namespace tidewell
