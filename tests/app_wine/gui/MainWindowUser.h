#pragma once

// What the GUI tests share: a user at the main window of one running program.
#include "InstalledProgram.h"
#include "WindowUser.h"

#include "Version.h"

#include <gtest/gtest.h>

#include <string>

namespace gui {

inline const std::wstring kTm = L"\x2122";

inline std::wstring MainTitle() {
    return L"Tidewell!" + kTm + L" Version " + std::to_wstring(TIDEWELL_VERSION_MAJOR) + L"." +
           std::to_wstring(TIDEWELL_VERSION_MINOR) + std::to_wstring(TIDEWELL_VERSION_PATCH);
}

// The user at the main window of one running program (the GUI tests' one user: tools/uidriver's
// WindowUser, whose boxes these tests check with GoogleTest).
class User : public uidriver::WindowUser {
public:
    User(const InstalledProgram& program, HWND main) : WindowUser(program.Id(), main) {}

    // Waits for the box, checks its text and presses the button.
    void Answer(const std::wstring& title, const std::wstring& text, int button,
                std::chrono::milliseconds wait = 15s) const {
        const auto box = uidriver::WaitForMessageBox(title, wait, ProcessId());
        ASSERT_TRUE(box.has_value()) << "no box " << uidriver::ToUtf8(title);
        EXPECT_EQ(uidriver::MessageBoxText(*box), text) << uidriver::ToUtf8(title);
        EXPECT_TRUE(uidriver::PressMessageBoxButton(*box, button, 5s));
    }
    // Waits for the box and presses the button, whatever it says.
    void Answer(const std::wstring& title, int button) const {
        const auto box = uidriver::WaitForMessageBox(title, 15s, ProcessId());
        ASSERT_TRUE(box.has_value()) << "no box " << uidriver::ToUtf8(title);
        EXPECT_TRUE(uidriver::PressMessageBoxButton(*box, button, 5s));
    }
    bool Topmost() const { return (GetWindowLongPtrW(Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
};

using uidriver::Eventually;
// In tries 50 ms apart, as these tests count.
template <typename Condition> bool Eventually(Condition condition, int tries) {
    return uidriver::Eventually(condition, uidriver::Milliseconds(50 * tries));
}

inline std::optional<uidriver::TrayIcon> TrayIconWithTip(const std::wstring& tip) {
    std::optional<uidriver::TrayIcon> found;
    Eventually([&] {
        for (const auto& icon : uidriver::TrayIcons()) {
            if (icon.tip == tip) {
                found = icon;
            }
        }
        return found.has_value();
    });
    return found;
}

inline void PrepareLaterStart(const char* keepOnTop) {
    DeleteSettingsKey();
    DeleteValue(kRunKey, "PC Maintenance");
    SetSetting("NextRun", "NONE");
    SetSetting("StartInTray", "No");
    SetSetting("Keep On Top", keepOnTop);
}

} // namespace gui
