#pragma once

// What the GUI tests share: a user at the main window of one running program.
#include "InstalledProgram.h"

#include "Version.h"

#include <gtest/gtest.h>

#include <string>

namespace gui {

inline const std::wstring kTm = L"\x2122";

inline std::wstring MainTitle() {
    return L"Tidewell!" + kTm + L" Version " + std::to_wstring(TIDEWELL_VERSION_MAJOR) + L"." +
           std::to_wstring(TIDEWELL_VERSION_MINOR) + std::to_wstring(TIDEWELL_VERSION_PATCH);
}

// A user at the main window of one running program.
class User {
public:
    User(const InstalledProgram& program, HWND main) : program_(program), main_(main) {}

    HWND Control(const std::wstring& caption) const {
        const auto child = uidriver::ChildByText(main_, caption);
        return child ? child->handle : nullptr;
    }
    bool Click(const std::wstring& caption) const {
        return uidriver::ClickControl(Control(caption));
    }
    int Checked(const std::wstring& caption) const {
        return static_cast<int>(SendMessageW(Control(caption), BM_GETCHECK, 0, 0));
    }
    bool Enabled(const std::wstring& caption) const {
        return IsWindowEnabled(Control(caption)) != FALSE;
    }
    // Waits for the box, checks its text and presses the button.
    void Answer(const std::wstring& title, const std::wstring& text, int button) const {
        const auto box = uidriver::WaitForMessageBox(title, 10s, program_.Id());
        ASSERT_TRUE(box.has_value()) << "no box " << uidriver::ToUtf8(title);
        EXPECT_EQ(uidriver::MessageBoxText(*box), text) << uidriver::ToUtf8(title);
        EXPECT_TRUE(uidriver::PressMessageBoxButton(*box, button, 5s));
    }
    // No box of this program appears within the time.
    bool NoBoxWithin(std::chrono::milliseconds time) const {
        const auto deadline = GetTickCount64() + static_cast<ULONGLONG>(time.count());
        while (GetTickCount64() < deadline) {
            for (const auto& window : uidriver::TopLevelWindows(program_.Id())) {
                if (window.className == L"#32770" && window.visible) {
                    return false;
                }
            }
            Sleep(50);
        }
        return true;
    }
    bool Topmost() const { return (GetWindowLongPtrW(main_, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

private:
    const InstalledProgram& program_;
    HWND main_;
};

template <typename Condition> bool Eventually(Condition condition, int tries = 100) {
    for (int i = 0; i < tries; ++i) {
        if (condition()) {
            return true;
        }
        Sleep(50);
    }
    return condition();
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
