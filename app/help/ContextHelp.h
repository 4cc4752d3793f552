#pragma once

#include "help/AppHelp.h"
#include "ports/WindowHandle.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {
class MessageBoxPort;
}

namespace tidewell::help {

// The main window's help: SHIFT over one of its controls shows that control's popup from the
// help file's "Context.txt"; the Help button opens the contents. Both go through AppHelp and test
// for the help file at every event, so a file installed or removed while the program runs counts
// at once.
class ContextHelp {
public:
    // Shows (true) or ends (false) the main window's hourglass pointer.
    using SetHourglass = std::function<void(bool hourglass)>;

    struct Topic {
        std::string_view control;
        std::int32_t number;
    };
    static constexpr std::array<Topic, 18> kTopics{{
        {"optPerformance", 1000},
        {"chkScandisk", 2000},
        {"chkCurrentUser", 3000},
        {"chkDefrag", 4000},
        {"chkLocalMachine", 5000},
        {"chkAllSpaceOptions", 6000},
        {"optSpace", 7000},
        {"chkCleanup", 8000},
        {"chkTEMP", 9000},
        {"chkAllSpeedOptions", 11000},
        {"chkCacheHistory", 12000},
        {"chkStartWithWindows", 13000},
        {"cmdMin2Tray", 14000},
        {"cmdReminder", 15000},
        {"cmdExit", 16000},
        {"chkStartInTray", 17000},
        {"chkOnTop", 19000},
        {"cmdStart", 20000},
    }};
    // Mouse-move key state: SHIFT, CTRL and ALT are bits 1, 2 and 4.
    static constexpr int kShiftOnly = 1;
    static constexpr std::string_view kMissingTitle = "Tidewell! Help";
    static constexpr std::string_view kMissingText =
        "Help File Could Not Be Found!\r\nContext-Sensitive Help Is Also Disabled!";

    ContextHelp(AppHelp& appHelp, MessageBoxPort& messageBox, SetHourglass setHourglass);

    // The control's topic number, or nothing for a control without context help.
    static std::optional<std::int32_t> TopicOf(std::string_view controlName);

    // Every mouse-move event of a control of the main window, with the event's key state:
    // SHIFT 1 + CTRL 2 + ALT 4 (from WM_MOUSEMOVE's MK_SHIFT / MK_CONTROL and
    // GetKeyState(VK_MENU)); mouse buttons are not part of it.
    void OnMouseMove(std::string_view controlName, int shift, WindowHandle mainWindow);
    // The Help button's click.
    void cmdHelp_Click();

    // The program's folder + "\Tidewell! Help.chm", built afresh at every use.
    std::string HelpFileName() const;

private:
    bool HelpFileExists() const;

    AppHelp& appHelp_;
    MessageBoxPort& messageBox_;
    SetHourglass setHourglass_;
};

} // namespace tidewell::help
