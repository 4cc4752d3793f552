// The main window's reactions: option groups, warnings, reminder, tray, Exit and the close
// confirmation, through the ordered message-box transcript.
#include "TestApp.h"
#include "fakes/RecordingObserver.h"
#include "reminder/frmRemind.h"
#include "ui/Runtime.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using testing::kMainHandle;
using testing::TestApp;

const std::string kCautionUser =
    "Please Exercise CAUTION When Using This Option Of Tidewell!™\r\nIt Can Render Your System "
    "Inoperable If You Delete Necessary Components!\r\n\r\n                                  Do "
    "You Want To Continue?";
const std::string kCautionLocal =
    "Please Exercise CAUTION When Using This Option Of Tidewell!™ \r\nIt Can Render Your System "
    "Inoperable If You Delete Necessary Components!\r\n\r\n                                  Do "
    "You Want To Continue?";
const std::string kTrayStart = "This Will Start Maintenance!\r\nAre You Sure You Want To "
                               "Initiate?\r\nIf You're Trying To Show The Program,\r\nPlease "
                               "[Right-Click] The Icon!";
const std::string kStopAll = "This Will Stop All Maintenance Tasks And Close The Program.\r\n\r\n"
                             "           Are You Sure This Is What You Want To Do?";
constexpr unsigned kYesNoExclamation = 0x4 | 0x30;

class MainWindowTest : public ::testing::Test, public TestApp {
protected:
    MainWindowTest() {
        SetSetting("Keep On Top", "Yes");
        main = std::make_unique<frmMaintenance>(ports, mainView);
        mainView.Bind(*main);
        main->Form_Load();
        main->Show();
        log.Clear();
    }
    frmMaintenance& form() { return *main; }
    std::vector<bool> Enabled(std::initializer_list<ui::CheckBox*> boxes) {
        std::vector<bool> states;
        for (ui::CheckBox* box : boxes) {
            states.push_back(box->Enabled());
        }
        return states;
    }
};

TEST_F(MainWindowTest, OptionGroupsEnableTheirBoxesInOrderAndNeverChangeAChecks) {
    frmMaintenance& f = form();
    for (ui::CheckBox* box : {&f.chkScandisk, &f.chkCurrentUser, &f.chkTEMP, &f.chkCleanup}) {
        box->SetEnabled(true);
    }
    f.chkScandisk.SetValue(1); // enables Defrag
    f.chkDefrag.SetValue(1);
    f.chkAllSpaceOptions.SetValue(1);
    f.chkTEMP.SetValue(1);
    fakes::RecordingObserver seen;
    for (ui::Control* control : f.Controls()) {
        control->SetObserver(&seen);
    }

    f.optSpace.SetValue(true);
    EXPECT_EQ(Enabled({&f.chkScandisk, &f.chkCurrentUser, &f.chkLocalMachine, &f.chkDefrag,
                       &f.chkAllSpaceOptions}),
              std::vector<bool>(5, false));
    EXPECT_EQ(Enabled({&f.chkCleanup, &f.chkCacheHistory, &f.chkAllSpeedOptions, &f.chkTEMP}),
              std::vector<bool>(4, true));
    // Disabled boxes keep their checks.
    EXPECT_EQ(f.chkScandisk.Value() + f.chkDefrag.Value() + f.chkAllSpaceOptions.Value(), 3);
    EXPECT_EQ(seen.changes,
              (std::vector<std::string>{"optSpace:Value", "chkScandisk:Enabled",
                                        "chkCurrentUser:Enabled", "chkLocalMachine:Enabled",
                                        "chkDefrag:Enabled", "chkAllSpaceOptions:Enabled"}));

    seen.changes.clear();
    f.optPerformance.SetValue(true);
    EXPECT_EQ(Enabled({&f.chkCleanup, &f.chkCacheHistory, &f.chkAllSpeedOptions, &f.chkTEMP}),
              std::vector<bool>(4, false));
    EXPECT_EQ(Enabled({&f.chkScandisk, &f.chkCurrentUser, &f.chkLocalMachine, &f.chkAllSpaceOptions,
                       &f.chkDefrag}),
              std::vector<bool>(5, true))
        << "Defrag comes back because ScanDisk is checked";
    EXPECT_EQ(f.chkTEMP.Value(), 1);
    EXPECT_EQ(seen.changes.front(), "optSpace:Value");
    EXPECT_EQ(seen.changes.back(), "chkDefrag:Enabled");
    EXPECT_TRUE(messageBox.Transcript().empty());
    for (ui::Control* control : f.Controls()) {
        control->SetObserver(nullptr);
    }
}

TEST_F(MainWindowTest, DefragFollowsScanDiskAndIsClearedWithIt) {
    frmMaintenance& f = form();
    f.optPerformance.SetValue(true);
    EXPECT_FALSE(f.chkDefrag.Enabled());
    f.chkScandisk.SetValue(1);
    EXPECT_TRUE(f.chkDefrag.Enabled());
    f.chkDefrag.SetValue(1);
    f.chkScandisk.SetValue(0);
    EXPECT_FALSE(f.chkDefrag.Enabled());
    EXPECT_EQ(f.chkDefrag.Value(), 0);
    f.optPerformance.SetValue(false);
    f.optPerformance.SetValue(true);
    EXPECT_FALSE(f.chkDefrag.Enabled());
}

TEST_F(MainWindowTest, RunEntryBoxesWarnOnCheckingAndNoUnchecksWithoutASecondWarning) {
    frmMaintenance& f = form();
    messageBox.Expect(kCautionUser, kYesNoExclamation, "CAUTION!", answer::kYes);
    messageBox.Expect(kCautionLocal, kYesNoExclamation, "CAUTION!", answer::kNo);
    f.chkCurrentUser.SetValue(1);
    f.chkLocalMachine.SetValue(1);
    EXPECT_EQ(f.chkCurrentUser.Value(), 1);
    EXPECT_EQ(f.chkLocalMachine.Value(), 0);
    f.chkCurrentUser.SetValue(0); // unchecking asks nothing
    EXPECT_EQ(messageBox.Transcript().size(), 2u);
    EXPECT_TRUE(registry.Writes().empty());
}

TEST_F(MainWindowTest, ReminderReleasesKeepOnTopWhileOpenAndRestoresItAfter) {
    frmMaintenance& f = form();
    clock.Set({2026, 12, 30});
    messageBox.Expect(std::string(frmRemind::kPriorNoteText), 0x30, "Prior Reminder Setting Note!");
    messageBox.Expect(std::string(frmRemind::kDateIssuesText), 0x40, "Date Issues");
    messageBox.Expect(std::string(frmRemind::kConfirmText) + "1/2/2027", 0x40, "Maintenance Date");
    std::string statusWhileOpen;
    bool mainEnabledWhileOpen = true;
    events.At(1000, [&] {
        fakes::FakeWindowView* dialog = formsPort.Find("Set Reminders");
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(dialog->Visible());
        statusWhileOpen = f.StatusBar1.PanelText();
        mainEnabledWhileOpen = mainView.Enabled();
        auto& remind = dynamic_cast<frmRemind&>(*dialog->Core());
        EXPECT_EQ(remind.Label1.Caption(), "Today's Date: 12/30/2026");
        remind.optThreeDays.SetValue(true);
        remind.cmdOK.Click();
    });

    f.cmdReminder.Click();

    EXPECT_EQ(statusWhileOpen, "Setting Reminders. . .");
    EXPECT_FALSE(mainEnabledWhileOpen);
    EXPECT_TRUE(mainView.Enabled());
    EXPECT_EQ(f.StatusBar1.PanelText(), std::string(frmMaintenance::kReadyText));
    EXPECT_EQ(f.chkOnTop.Value(), 1);
    EXPECT_EQ(library.TopmostWrites(), (std::vector<WindowHandle>{0, kMainHandle}));
    EXPECT_EQ(Setting("Keep On Top"), "Yes");
    EXPECT_EQ(Setting("NextRun"), "1/2/2027");
    // The box follows the entry the reminder switched on.
    EXPECT_EQ(f.chkStartWithWindows.Value(), 1);
    EXPECT_EQ(StartupEntry(), "\"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\"");
    EXPECT_LT(log.IndexOf("library:TopmostWindow=0"), log.IndexOf("view:Set Reminders.Show"));
    EXPECT_EQ(formsPort.Find("Set Reminders"), nullptr);
}

TEST_F(MainWindowTest, MinimiseToTrayThenRightClickBringsTheWindowBack) {
    frmMaintenance& f = form();
    f.cmdMin2Tray.Click();
    EXPECT_FALSE(mainView.Visible());
    EXPECT_LT(log.IndexOf("view:main.Minimize"), log.IndexOf("view:main.Hide"));
    EXPECT_TRUE(mainTray.ShowIcon());
    EXPECT_EQ(mainTray.IconNumber(), 1);
    EXPECT_EQ(mainTray.TipText(), "Right Click To Show,  Left Click To Start Maintenance.");

    f.SysTray_TrayClick(2);
    EXPECT_TRUE(mainView.Visible());
    EXPECT_FALSE(mainTray.ShowIcon());
    EXPECT_EQ(log.WithPrefix("view:main.").back(), "view:main.ShowNormal");
    EXPECT_TRUE(log.Contains("view:main.Activate"));
}

TEST_F(MainWindowTest, TrayLeftClickAsksBeforeStartingAndIsIgnoredDuringARunOrAModalBox) {
    frmMaintenance& f = form();
    int starts = 0;
    f.OnStart([&] { ++starts; });
    messageBox.Expect(kTrayStart, kYesNoExclamation | 0x10000, "Maintenance Starting. . .",
                      answer::kNo);
    messageBox.Expect(kTrayStart, kYesNoExclamation | 0x10000, "Maintenance Starting. . .",
                      answer::kYes);
    f.SysTray_TrayClick(1);
    EXPECT_EQ(starts, 0);
    f.SysTray_TrayClick(1);
    EXPECT_EQ(starts, 1);

    flags.maintenanceRunning = true;
    f.SysTray_TrayClick(1);
    flags.maintenanceRunning = false;
    {
        const auto modal = runtime.EnterModal(); // a box or the reminder is open
        f.SysTray_TrayClick(1);
        f.SysTray_TrayClick(2); // the right click still shows the window
    }
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(messageBox.Transcript().size(), 2u);
    EXPECT_TRUE(log.Contains("view:main.ShowNormal"));
}

TEST_F(MainWindowTest, ExitWritesStartInTrayFirstAndAsksOnceWithoutARun) {
    frmMaintenance& f = form();
    int released = 0;
    shared.OnRelease([&] { ++released; });
    f.chkStartInTray.SetValue(0);
    messageBox.Expect("Are You Sure You Want To Close The Program?", 0x4 | 0x20, "Close Tidewell?",
                      answer::kNo);
    f.cmdExit.Click();
    EXPECT_EQ(Setting("StartInTray"), "No");
    EXPECT_TRUE(f.Loaded());
    EXPECT_FALSE(mainView.Unloaded());
    EXPECT_EQ(released, 0);

    f.chkStartInTray.SetValue(1);
    log.Clear();
    messageBox.Expect("Are You Sure You Want To Close The Program?", 0x4 | 0x20, "Close Tidewell?",
                      answer::kYes);
    f.cmdExit.Click();
    EXPECT_EQ(Setting("StartInTray"), "Yes");
    EXPECT_LT(log.IndexOf("registry:write StartInTray=Yes"), log.IndexOf("box:Close Tidewell?"));
    EXPECT_TRUE(mainView.Unloaded());
    EXPECT_EQ(released, 1);
}

TEST_F(MainWindowTest, ExitDuringARunAsksCautionThenAreYouSureAndNoAtEitherKeepsTheWindow) {
    frmMaintenance& f = form();
    flags.maintenanceRunning = true;
    const std::string running = "There are tasks running!  Are You Sure You Want To Quit?";
    messageBox.Expect(running, kYesNoExclamation, "CAUTION!", answer::kNo);
    messageBox.Expect(running, kYesNoExclamation, "CAUTION!", answer::kYes);
    messageBox.Expect(kStopAll, kYesNoExclamation, "ARE YOU SURE?", answer::kNo);
    f.cmdExit.Click();
    f.cmdExit.Click();
    EXPECT_TRUE(f.Loaded());
    EXPECT_EQ(registry.Writes().size(), 2u) << "StartInTray written in every case";

    // The title bar's close takes the same confirmation.
    messageBox.Expect(kStopAll, kYesNoExclamation, "ARE YOU SURE?", answer::kYes);
    EXPECT_TRUE(f.Unload(ui::UnloadMode::ControlMenu));
    EXPECT_TRUE(mainView.Unloaded());
}

TEST_F(MainWindowTest, ShiftOverAControlAsksItsPopupOwnedByTheMainWindowAndClosingClosesHelp) {
    frmMaintenance& f = form();
    helpSystem.AddFile(process.executableFolder + "\\Tidewell! Help.chm");
    f.chkOnTop.MouseMove(0, 1, 100, 100);
    f.cmdHelp.MouseMove(0, 1, 100, 100);      // no topic
    f.chkOnTop.MouseMove(1, 1 | 2, 100, 100); // SHIFT with CTRL asks nothing
    f.chkDefrag.MouseMove(0, 1, 100, 100);    // disabled: no mouse moves at all
    ASSERT_EQ(htmlHelp.Calls().size(), 1u);
    EXPECT_EQ(htmlHelp.Calls()[0].owner, kMainHandle);
    EXPECT_EQ(htmlHelp.Calls()[0].target,
              process.executableFolder + "\\Tidewell! Help.chm::/Context.txt");

    f.cmdHelp.Click(); // the contents, without an owner, under the hourglass
    ASSERT_EQ(htmlHelp.Calls().size(), 2u);
    EXPECT_EQ(htmlHelp.Calls()[1].owner, 0u);
    EXPECT_LT(log.IndexOf("view:main.Pointer=Hourglass"), log.IndexOf("view:main.Pointer=Default"));

    messageBox.Expect("Are You Sure You Want To Close The Program?", 0x4 | 0x20, "Close Tidewell?",
                      answer::kYes);
    htmlHelp.Clear();
    f.cmdExit.Click();
    ASSERT_FALSE(htmlHelp.Calls().empty()) << "the help viewer is closed";
    EXPECT_FALSE(appHelp.Exists());
    EXPECT_TRUE(mainView.Unloaded());
}

} // namespace
} // namespace tidewell
