// The tray-icon control in Wine's notification area, clicked like a user does.
#include "WindowTestSupport.h"

#include "ports/win32/Win32EventLoop.h"
#include "ui/FormCore.h"
#include "ui/Runtime.h"

#include "UiAutomation.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;
using tidewell::test::PumpUntil;
using tidewell::test::TestApplication;
using tidewell::win32::Win32FormView;

std::optional<uidriver::TrayIcon> IconWithTip(const std::wstring& tip) {
    for (const auto& icon : uidriver::TrayIcons()) {
        if (icon.tip == tip) {
            return icon;
        }
    }
    return std::nullopt;
}

// A core that records its tray clicks.
class TrayCore final : public tidewell::ui::FormCore {
public:
    using FormCore::FormCore;
    std::vector<tidewell::ui::Control*> Controls() override { return {}; }
    void SysTray_TrayClick(std::int16_t button) override { clicks.push_back(button); }
    std::vector<std::int16_t> clicks;
};

TEST(TrayIcon, ShowsWithItsTipDeliversClicksAndGoesAway) {
    TestApplication app;
    ASSERT_TRUE(app.created);
    Win32FormView view(app.hooks);
    ASSERT_TRUE(view.Create(GetModuleHandleW(nullptr), "Tidewell!", 4800, 1440));
    tidewell::win32::Win32EventLoop events;
    tidewell::ui::Runtime runtime(events);
    TrayCore core(view, runtime);
    view.Bind(core);
    std::vector<std::int16_t>& clicks = core.clicks;
    auto& tray = view.Tray();
    const std::wstring tip =
        L"Right Click To Show Tidewell!\x2122 " + std::to_wstring(GetCurrentProcessId());

    tray.SetIconNumber(1);
    tray.SetTipText(uidriver::ToUtf8(tip));
    EXPECT_TRUE(IconWithTip(tip) == std::nullopt) << "not shown yet";
    tray.SetShowIcon(true);
    EXPECT_TRUE(tray.ShowIcon());
    std::optional<uidriver::TrayIcon> icon;
    ASSERT_TRUE(PumpUntil([&] { return (icon = IconWithTip(tip)).has_value(); }, 10000ms));

    ASSERT_TRUE(uidriver::ClickTrayIcon(icon->window, true));
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 1; }));
    ASSERT_TRUE(uidriver::ClickTrayIcon(icon->window, false));
    ASSERT_TRUE(PumpUntil([&] { return clicks.size() == 2; }));
    EXPECT_EQ(clicks, (std::vector<std::int16_t>{2, 1}));

    // A new tip and picture replace the old ones in place.
    tray.SetIconNumber(3);
    tray.SetTipText("Maintenance Complete!");
    EXPECT_TRUE(PumpUntil([&] { return IconWithTip(L"Maintenance Complete!").has_value(); }));
    EXPECT_EQ(tray.IconNumber(), 3);

    tray.SetShowIcon(false);
    EXPECT_FALSE(tray.ShowIcon());
    EXPECT_TRUE(PumpUntil([&] { return !IconWithTip(L"Maintenance Complete!").has_value(); }));

    // An over-long tip is cut to what the shell keeps; unloading the window removes the icon.
    const std::string longTip(400, 'x');
    tray.SetTipText(longTip);
    tray.SetShowIcon(true);
    EXPECT_EQ(tray.TipText(), longTip);
    EXPECT_TRUE(PumpUntil([&] { return IconWithTip(std::wstring(127, L'x')).has_value(); }));
    view.Destroy();
    EXPECT_TRUE(PumpUntil([&] { return !IconWithTip(std::wstring(127, L'x')).has_value(); }));
}

} // namespace
