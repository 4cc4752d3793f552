#pragma once

#include "main/Settings.h"
#include "ports/AppPorts.h"
#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/OptionButton.h"
#include "ui/ProgressBar.h"
#include "ui/StatusBar.h"
#include "ui/Timer.h"

#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

class TrayIconControl;
class WindowView;

// The main window's core. Construction is the window's creation (design state, then the creation
// step); Form_Load is the load; the handlers are public so the view and tests can call them.
//
// Binding (Win32 view): create the window hidden with a client area of kClientWidth x kClientHeight
// twips, construct this core on it, then for every control of Controls() create the real control
// from Kind/Caption/TipText/Bounds/Enabled/Visible and its value, and SetObserver(view). Check
// boxes, option buttons and command buttons get their WM_COMMAND ids from their index in
// Controls(). Then call Form_Load; FormLoader shows it.
class frmMaintenance {
public:
    static constexpr std::string_view kDesignCaption = "Tidewell!™ Version";
    static constexpr std::string_view kReadyText =
        "Ready.  Press <SHIFT> Over An Element For Context-Sensitive Help.";
    static constexpr int kClientWidth = 8400;  // twips
    static constexpr int kClientHeight = 5190; // twips, status bar included

    frmMaintenance(const AppPorts& ports, WindowView& view, TrayIconControl& sysTray);
    frmMaintenance(const frmMaintenance&) = delete;
    frmMaintenance& operator=(const frmMaintenance&) = delete;

    const std::string& Caption() const { return caption_; }
    // Every control, in creation and tab order.
    std::vector<ui::Control*> Controls();

    void Form_Load();
    void Show();

    void chkOnTop_Click();
    void chkStartWithWindows_Click();

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
    AppPorts ports_;
    WindowView& view_;
    TrayIconControl& sysTray_;
    Settings settings_;
    std::string caption_;
};

} // namespace tidewell
