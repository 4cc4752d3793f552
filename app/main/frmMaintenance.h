#pragma once

#include "help/ContextHelp.h"
#include "settings/Settings.h"
#include "ports/AppPorts.h"
#include "ui/FormCore.h"
#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/OptionButton.h"
#include "ui/ProgressBar.h"
#include "ui/StatusBar.h"
#include "ui/Timer.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

class TrayIconControl;

// The main window's core. Construction is the window's creation (design state, then the creation
// step); Form_Load is the load; the handlers are public so the view and tests can call them.
class frmMaintenance : public ui::FormCore {
public:
    static constexpr std::string_view kDesignCaption = "Tidewell!™ Version";
    static constexpr std::string_view kCaption = kDesignCaption;
    static constexpr std::string_view kReadyText =
        "Ready.  Press <SHIFT> Over An Element For Context-Sensitive Help.";
    static constexpr int kClientWidth = 8400;  // twips
    static constexpr int kClientHeight = 5190; // twips, status bar included

    static constexpr std::string_view kSettingRemindersText = "Setting Reminders. . .";
    static constexpr std::string_view kTrayTip =
        "Right Click To Show,  Left Click To Start Maintenance.";

    frmMaintenance(const AppPorts& ports, WindowView& view);

    const std::string& Caption() const { return caption_; }
    std::vector<ui::Control*> Controls() override;

    void Form_Load() override;
    bool Form_QueryUnload(ui::UnloadMode mode) override;
    void SysTray_TrayClick(std::int16_t button) override;

    void optSpace_Click();
    void optPerformance_Click();
    void chkScandisk_Click();
    void chkCurrentUser_Click();
    void chkLocalMachine_Click();
    void chkOnTop_Click();
    void chkStartWithWindows_Click();
    void cmdStart_Click();
    void cmdReminder_Click();
    void cmdMin2Tray_Click();
    void cmdExit_Click();
    void cmdHelp_Click();

    // What the Start button runs (the maintenance run); nothing until one is given.
    void OnStart(std::function<void()> run) { onStart_ = std::move(run); }

    ui::OptionButton optSpace;
    ui::OptionButton optPerformance;
    ui::Frame Frame2; // "Fix Problems": the disk-space tasks
    ui::CheckBox chkCleanup;
    ui::CheckBox chkCacheHistory;
    ui::CheckBox chkAllSpeedOptions;
    ui::CheckBox chkTEMP;
    ui::Frame Frame1; // "Speed It All Up": the performance tasks
    ui::CheckBox chkScandisk;
    ui::CheckBox chkDefrag;
    ui::CheckBox chkCurrentUser;
    ui::CheckBox chkLocalMachine;
    ui::CheckBox chkAllSpaceOptions;
    ui::CheckBox chkOrphanEntries;
    ui::CheckBox chkOnTop;
    ui::CheckBox chkStartWithWindows;
    ui::CheckBox chkStartInTray;
    ui::Label Label1;
    ui::ProgressBar ProgressBar1;
    ui::CommandButton cmdStart;
    ui::CommandButton cmdReminder;
    ui::CommandButton cmdMin2Tray;
    ui::CommandButton cmdHelp;
    ui::CommandButton cmdExit;
    ui::StatusBar StatusBar1;
    ui::Timer MyTimer; // the run's timer; disabled at load

private:
    void CautionRunEntries(ui::CheckBox& box, std::string_view firstLine);

    AppPorts ports_;
    TrayIconControl& sysTray_;
    Settings settings_;
    std::string caption_;
    std::function<void()> onStart_;
    help::ContextHelp contextHelp_;
};

} // namespace tidewell
