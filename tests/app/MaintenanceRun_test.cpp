// The maintenance run on the virtual clock: validation, preparation, the disk-space and
// performance tasks, launch failures and their routing, FinishRun, the restart question and a
// quit mid-run.
#include "TestApp.h"
#include "fakes/FakeInputBox.h"
#include "fakes/FakeRegistryLibrary.h"
#include "fakes/FakeRunPorts.h"
#include "fakes/FakeTextFiles.h"
#include "run/MaintenanceRun.h"
#include "run/RunLog.h"
#include "startup_entries/EditorTexts.h"
#include "startup_entries/StartupEntriesPorts.h"
#include "startup_entries/frmRegistry.h"
#include "ui/Runtime.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using testing::TestApp;

constexpr unsigned kOkExclamation = 0x30;
constexpr unsigned kOkInformation = 0x40;
constexpr unsigned kOkCancelInformation = 0x41;
constexpr unsigned kYesNoExclamation = 0x34;
constexpr unsigned kYesNoQuestion = 0x24;
constexpr unsigned kYesNoInformation = 0x44;

const std::string kPriority = "Would You Like To Change The Processor Priority Of Maintenance?\r\n"
                              "                 This Can Speed Up Your Maintenance Tasks.\r\n\r\n"
                              "                  If You're Unsure About This, Just Click No!";
const std::string kNotice = "Your Screen Saver Will Be Disabled During This Session!";
const std::string kRecycle =
    "Your Recycle Bin Will Be Emptied Now!\r\nClick Cancel To NOT Empty The Recycle Bin.";
const std::string kCleanupStart = "Disk Cleanup Will Now Commence!  Click OK To Continue\r\n"
                                  "Please Refrain From Using Your PC Until Cleanup Is Done!";
const std::string kCleanupDone = "Please Click OK When You Have Finished Disk Cleanup!";
const std::string kInternet =
    "Tidewell! doesn't delete your internet cookies!\r\nTo delete the Cookies, and other "
    "leftovers, click 'Delete Files', and then 'Clear History'.\r\nTo Continue With Tidewell! "
    "Click OK.";
const std::string kCouldNotStart = "Maintenance could not start the program.  It may not be "
                                   "installed.\r\nWould you like to check/install it now?";
const std::string kStartOver = "Click OK to start over or cancel to skip this task";
const std::string kRestart =
    "Maintenance Has Been Completed!  Your Screen Saver Is Re-Enabled.\r\nSome Of The "
    "Maintenance Procedure Require A Restart.  Do You want To Restart Now?";
const std::string kDone = "Done.  Please Wait While Cleanup Is Completed . .";
const std::string kTemp = "C:\\Users\\me\\Temp";
const std::string kCleanmgr = "c:\\windows\\cleanmgr.exe";
const std::string kScanDiskOptions = "c:\\windows\\scandskw.exe";
const std::string kScan = "C:\\windows\\scandskw.exe c:/n";
const std::string kDefrag = "C:\\windows\\defrag c:";
constexpr unsigned kOkStop = 0x10;
constexpr unsigned kOkQuestion = 0x20;
const std::string kRunScanDisk = "Maintenance will now run scandisk for best performance. . .";
const std::string kDefragText =
    "Your Hard Disk Will Now Be Defragmented!\r\n\r\nThis Process May Take Between 40 Minutes "
    "And 3 Hours\r\nDepending On The Size Of Your Hard Disk, And How Many Programs You Have "
    "Running.";
const std::string kDefragDone =
    "Maintenance cannot monitor this program automatically!\r\n\r\nWhen the program is "
    "finished, you must click OK for maintenance to continue!";

// Status texts and progress values, each with the virtual time it was shown at.
class Timeline : public ui::ControlObserver {
public:
    Timeline(fakes::EventLog& log, fakes::FakeEventLoop& events) : log_(log), events_(events) {}
    void ControlChanged(ui::Control& control, ui::Change change) override {
        if (auto* status = dynamic_cast<ui::StatusBar*>(&control)) {
            log_.Add("status:" + status->PanelText());
            times_.push_back({status->PanelText(), events_.NowMilliseconds()});
        } else if (auto* bar = dynamic_cast<ui::ProgressBar*>(&control)) {
            if (change == ui::Change::Value || change == ui::Change::Range) {
                log_.Add("bar:" + std::to_string(bar->Value()) + "/" + std::to_string(bar->Max()));
            }
        }
    }
    // When the status first showed `text`.
    long long At(const std::string& text) const {
        for (const auto& [shown, at] : times_) {
            if (shown == text) {
                return at;
            }
        }
        ADD_FAILURE() << "status never shown: " << text;
        return -1;
    }

private:
    fakes::EventLog& log_;
    fakes::FakeEventLoop& events_;
    std::vector<std::pair<std::string, long long>> times_;
};

class RunTest : public ::testing::Test, public TestApp {
protected:
    RunTest() {
        system.LogTo(&log);
        forms.ShowMaintenanceWindow();
        events.Watch(main->MyTimer);
        run = std::make_unique<MaintenanceRun>(*main, ports,
                                               RunPorts{programs, files, priority, entryPorts});
        main->OnStart([this] { run->Start(); });
        main->StatusBar1.SetObserver(&timeline);
        main->ProgressBar1.SetObserver(&timeline);
        files.AddFolder("C:\\WINDOWS");
        files.AddFolder("C:\\Users");
        files.AddFolder("C:\\Users\\me");
        files.AddFolder(kTemp);
        // A machine configured once already, unless a test says otherwise.
        SetSetting("PC Optimized", "Yes");
        log.Clear();
    }

    frmMaintenance& f() { return *main; }
    void ChooseSpace(std::initializer_list<ui::CheckBox*> boxes) {
        f().optSpace.SetValue(true);
        for (ui::CheckBox* box : boxes) {
            box->SetValue(1);
        }
        log.Clear();
    }
    void ExpectPreparation(int priorityAnswer = answer::kNo) {
        messageBox.Expect(kPriority, kYesNoExclamation, "Change Priority?", priorityAnswer);
        messageBox.Expect(kNotice, kOkInformation, "Notice!");
    }
    void ExpectRecycleBin(int answer = answer::kCancel) {
        messageBox.Expect(kRecycle, kOkCancelInformation, "Emptying Recycle Bin. . .", answer);
    }
    void ExpectRestart(int answer = answer::kNo) {
        messageBox.Expect(kRestart, kYesNoInformation, "Restart?", answer);
    }
    void ExpectInternetOptions() {
        messageBox.Expect(kInternet, kOkInformation, "Internet Options Applet. . .");
    }
    void ExpectLaunchFailure(int install, int startOver = answer::kOk) {
        messageBox.Expect(kCouldNotStart, kYesNoQuestion, "Couldn't Start Program", install);
        if (install == answer::kNo) {
            messageBox.Expect(kStartOver, kOkCancelInformation, "Continue or Cancel?", startOver);
        }
    }
    void ExpectInstalled() {
        messageBox.Expect("Click OK When You've Installed The Program", 0, "Program Installed?");
    }
    std::vector<std::string> Entries(const std::string& prefix) const {
        return log.WithPrefix(prefix);
    }
    // Checking a Run-entries box asks its own caution question first; answered Yes.
    void CheckRunEntriesBox(ui::CheckBox& box) {
        messageBox.Expect("Please Exercise CAUTION When Using This Option Of Tidewell!™" +
                              std::string(&box == &f().chkLocalMachine ? " " : "") +
                              "\r\nIt Can Render Your System Inoperable If You Delete Necessary "
                              "Components!\r\n\r\n                                  Do You "
                              "Want To Continue?",
                          kYesNoExclamation, "CAUTION!", answer::kYes);
        box.SetValue(1);
    }
    int StartsOf(std::string_view commandLine) const {
        int count = 0;
        for (const auto& started : programs.Starts()) {
            count += started.commandLine == commandLine ? 1 : 0;
        }
        return count;
    }
    // "&Optimize Performance" in a disk-space run: ScanDisk (configured already) scans at once,
    // Defrag is confirmed, and the editor's caution question is answered No.
    void ExpectWholePerformanceGroup() {
        SetSetting("ScanDisk", "Configured");
        programs.Install(kScan, {0, true});
        programs.Install(kDefrag);
        messageBox.Expect(kRunScanDisk, kOkInformation, "Click OK to continue");
        ExpectDefrag();
        ExpectCaution(answer::kNo);
    }
    void ExpectDefrag() {
        messageBox.Expect(kDefragText, kOkInformation, "Please Be Patient!");
        messageBox.Expect(kDefragDone, kOkQuestion, "Defrag Complete?");
    }
    void ExpectCaution(int reply) {
        messageBox.Expect(std::string(editor_text::kCautionText), kYesNoExclamation, "CAUTION!",
                          reply);
    }

    // Also notes when each batch of keys went out.
    class TimedPrograms : public fakes::FakePrograms {
    public:
        TimedPrograms(std::function<long long()> clock, fakes::EventLog* log)
            : FakePrograms(clock, log), now(std::move(clock)) {}
        bool SendKeys(const std::vector<KeyInput>& keys) override {
            if (refuseKeys || (refuseKeysFrom >= 0 && sends++ >= refuseKeysFrom)) {
                return false;
            }
            sentAt.push_back(now());
            return FakePrograms::SendKeys(keys);
        }
        bool refuseKeys = false;
        int refuseKeysFrom = -1; // refuses every send from this one on (counted from 0)
        int sends = 0;
        std::function<long long()> now;
        std::vector<long long> sentAt;
    };

    TimedPrograms programs{[this] { return events.NowMilliseconds(); }, &log};
    fakes::FakeFiles files{&log};
    fakes::FakeProcessPriority priority{&log};
    fakes::FakeRegistryLibrary registryLibrary{&log};
    RegistryDatabaseHolder holder{registryLibrary, shared};
    fakes::FakeInputBox inputBox{&log};
    fakes::FakeTextFiles textFiles;
    StartupEntriesPorts entryPorts{
        holder, inputBox, textFiles,
        [this](std::string_view keys) { log.Add("editor-keys:" + std::string(keys)); },
        [] { return true; }};
    Timeline timeline{log, events};
    std::unique_ptr<MaintenanceRun> run;
};

TEST_F(RunTest, ValidationMessagesChangeNothing) {
    SetSetting("Keep On Top", "Yes");
    main->chkOnTop.SetValue(1);
    log.Clear();
    messageBox.Expect("You Must Select An Option First!", kOkExclamation, "Oops!");
    f().cmdStart.Click();
    EXPECT_TRUE(f().chkOnTop.Checked());
    EXPECT_TRUE(f().cmdStart.Enabled());
    EXPECT_EQ(log.Entries(), (std::vector<std::string>{"box:Oops!"}));

    f().optPerformance.SetValue(true);
    f().chkCleanup.SetValue(1); // not a performance option
    f().chkCacheHistory.SetValue(1);
    flags.maintenanceRunning = false;
    messageBox.Expect("You must select Performance Options For Maintenance To Start!",
                      kOkExclamation, "Oops!");
    f().cmdStart.Click();

    f().optSpace.SetValue(true);
    f().chkCleanup.SetValue(0);
    f().chkCacheHistory.SetValue(0);
    f().chkScandisk.SetValue(1); // not a disk-space option
    messageBox.Expect("You must select Disk Space Options For Maintenance To Start!",
                      kOkExclamation, "Oops!");
    f().cmdStart.Click();
    EXPECT_FALSE(flags.maintenanceRunning);
    EXPECT_TRUE(system.Calls().empty());
    EXPECT_TRUE(priority.requests.empty());
    EXPECT_TRUE(f().chkOnTop.Enabled());
}

TEST_F(RunTest, PerformanceWithOnlyTempPassesAndFinishesWithTheRestartQuestion) {
    f().optPerformance.SetValue(true);
    f().chkTEMP.SetValue(1);
    log.Clear();
    ExpectPreparation();
    ExpectRestart();
    f().cmdStart.Click();
    // Neither the disk-space group nor (for now) any performance task ran.
    EXPECT_EQ(system.Calls(),
              (std::vector<std::string>{"DisableScreenSaver", "EnableScreenSaver"}));
    EXPECT_TRUE(programs.Starts().empty());
    EXPECT_EQ(f().StatusBar1.PanelText(), "Maintenance Complete!");
}

TEST_F(RunTest, PreparationRunsInOrderAndFinishRunPutsEverythingBack) {
    SetSetting("Keep On Top", "Yes");
    f().chkOnTop.SetValue(1);
    ChooseSpace({&f().chkCacheHistory});
    ExpectPreparation(answer::kYes);
    ExpectRecycleBin(answer::kOk);
    ExpectInternetOptions();
    ExpectRestart(answer::kNo);
    bool runningDuringTasks = false;
    events.At(1, [&] { runningDuringTasks = flags.maintenanceRunning; });
    f().cmdStart.Click();

    const std::vector<std::string> expected{
        "library:TopmostWindow=0",
        "box:Change Priority?",
        "priority:128",
        "mainTray:IconNumber=2",
        "mainTray:TipText=Maintenance routines are being performed. . .",
        "box:Notice!",
        "system:DisableScreenSaver",
        "box:Emptying Recycle Bin. . .",
        "status:Emptying Recycle Bin. . .",
        "system:EmptyRecycleBin",
        "status:Spawning Internet Options Applet. . .",
        "system:OpenInternetOptions",
        "box:Internet Options Applet. . .",
        "priority:32",
        "system:EnableScreenSaver",
        "mainTray:IconNumber=3",
        "status:Maintenance Complete!",
        "library:TopmostWindow=8192",
        "box:Restart?",
    };
    std::vector<std::string> seen;
    for (const std::string& entry : log.Entries()) {
        if (!entry.starts_with("registry:") && !entry.starts_with("bar:")) {
            seen.push_back(entry);
        }
    }
    EXPECT_EQ(seen, expected);
    EXPECT_TRUE(runningDuringTasks);
    EXPECT_FALSE(flags.maintenanceRunning);
    EXPECT_EQ(priority.current, 0x20);
    EXPECT_EQ(Setting("Keep On Top"), "Yes");
    EXPECT_TRUE(f().chkOnTop.Checked());
    EXPECT_TRUE(f().chkOnTop.Enabled());
    EXPECT_TRUE(f().cmdReminder.Enabled());
    // Start, Help and the nine task boxes stay disabled: one run per start of the program.
    for (ui::Control* control : std::initializer_list<ui::Control*>{
             &f().cmdStart, &f().cmdHelp, &f().chkScandisk, &f().chkDefrag, &f().chkCurrentUser,
             &f().chkLocalMachine, &f().chkCleanup, &f().chkCacheHistory, &f().chkAllSpaceOptions,
             &f().chkAllSpeedOptions, &f().chkTEMP}) {
        EXPECT_FALSE(control->Enabled()) << control->Name();
    }
    // Internet Options opens one second after its status.
    EXPECT_EQ(timeline.At("Maintenance Complete!") -
                  timeline.At("Spawning Internet Options Applet. . ."),
              1000);
}

TEST_F(RunTest, NoSecondRunFromTheTrayOrAButtonAfterTheFirst) {
    ChooseSpace({&f().chkCacheHistory});
    ExpectPreparation();
    ExpectRecycleBin();
    ExpectInternetOptions();
    ExpectRestart(answer::kYes);
    f().cmdStart.Click();
    EXPECT_EQ(system.Calls().back(), "RestartWindows");

    // With Start disabled the tray's left click only brings the window back: no question.
    f().cmdMin2Tray.Click();
    f().SysTray_TrayClick(kTrayLeftButton);
    EXPECT_TRUE(main->View().IsVisible());
    f().cmdStart.Click();
    EXPECT_EQ(messageBox.Transcript().size(), 5u);
}

TEST_F(RunTest, TemporaryFolderProgressStatusAndLockedItems) {
    files.AddFile(kTemp + "\\a.tmp");
    files.AddFile(kTemp + "\\b.tmp", true); // locked
    files.AddFile(kTemp + "\\c.tmp");
    for (int i = 1; i <= 12; ++i) {
        const std::string folder = kTemp + "\\d" + (i < 10 ? "0" : "") + std::to_string(i);
        files.AddFolder(folder);
        files.AddFile(folder + "\\x.tmp", i == 5); // d05 holds a locked file
    }
    files.AddFolder("C:\\Outside");
    files.AddFile("C:\\Outside\\keep.txt");
    files.AddFolder(kTemp + "\\link", true);
    ChooseSpace({&f().chkTEMP});
    ExpectPreparation();
    ExpectRecycleBin();
    ExpectRestart();
    f().cmdStart.Click();

    std::vector<std::string> statuses = Entries("status:");
    const std::vector<std::string> fileStatuses(statuses.begin(), statuses.begin() + 4);
    EXPECT_EQ(fileStatuses, (std::vector<std::string>{
                                "status:Deleting File: C:\\Users\\me\\Temp\\a.tmp",
                                "status:Deleting File: C:\\Users\\me\\Temp\\b.tmp",
                                "status:Skipped Locked File : b.tmp",
                                "status:Deleting File: C:\\Users\\me\\Temp\\c.tmp",
                            }));
    EXPECT_NE(log.IndexOf("status:Skipped Locked Folder : d05"), -1);
    EXPECT_NE(log.IndexOf("status:Skipped Locked Folder : link"), -1);
    EXPECT_EQ(statuses[statuses.size() - 2], "status:" + kDone);

    // Files: 1, 2, 3 of 3; folders: 1..9, 0 at the tenth, then 1, 2, 3 (the link is the 13th).
    std::vector<std::string> bars = Entries("bar:");
    bars.erase(bars.begin()); // Max := 3 tells the range first, with the value not yet clamped
    const std::vector<std::string> expectedBars{
        "bar:3/3",  "bar:0/3",  "bar:1/3",  "bar:2/3",  "bar:3/3",   "bar:3/10",
        "bar:0/10", "bar:1/10", "bar:2/10", "bar:3/10", "bar:4/10",  "bar:5/10",
        "bar:6/10", "bar:7/10", "bar:8/10", "bar:9/10", "bar:10/10", "bar:0/10",
        "bar:1/10", "bar:2/10", "bar:3/10", "bar:10/10"};
    EXPECT_EQ(bars, expectedBars);

    // Two seconds per item, five after "Done.".
    EXPECT_EQ(timeline.At("Deleting File: C:\\Users\\me\\Temp\\c.tmp") -
                  timeline.At("Deleting File: C:\\Users\\me\\Temp\\a.tmp"),
              4000);
    EXPECT_EQ(timeline.At(kDone) - timeline.At("Deleting File: C:\\Users\\me\\Temp\\a.tmp"),
              16 * 2000);
    EXPECT_EQ(timeline.At("Maintenance Complete!") - timeline.At(kDone), 5000);

    // Left: the locked file, the folder with the locked file, the link; outside untouched.
    EXPECT_TRUE(files.Exists(kTemp + "\\b.tmp"));
    EXPECT_TRUE(files.Exists(kTemp + "\\d05\\x.tmp"));
    EXPECT_FALSE(files.Exists(kTemp + "\\d06"));
    EXPECT_FALSE(files.Exists(kTemp + "\\a.tmp"));
    EXPECT_TRUE(files.Exists(kTemp + "\\link"));
    EXPECT_TRUE(files.Exists("C:\\Outside\\keep.txt"));
    // The tray tooltip follows the deletions.
    EXPECT_NE(log.IndexOf("mainTray:TipText=Deleting Folder: C:\\Users\\me\\Temp\\d12"), -1);
}

TEST_F(RunTest, ATemporaryFolderThatIsADriveRootIsNeverEmptied) {
    files.SetSpecial(SpecialFolder::Temporary, "C:\\");
    files.AddFolder("C:\\");
    files.AddFile("C:\\boot.ini");
    ChooseSpace({&f().chkTEMP});
    ExpectPreparation();
    ExpectRecycleBin();
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_TRUE(files.Removals().empty());
    EXPECT_NE(log.IndexOf("status:" + kDone), -1);
}

TEST_F(RunTest, BrowserCacheCleansBothLocationsButNeverASystemFolder) {
    const std::string cache = "C:\\WINDOWS\\Temporary Internet Files";
    files.AddFolder(cache);
    files.AddFile(cache + "\\page.htm");
    files.AddFile(cache + "\\locked.htm", true);
    files.AddFolder(cache + "\\Content");
    registry.Set(kHkeyLocalMachine, MaintenanceRun::kCachePathsKey, "Directory", cache);
    ChooseSpace({&f().chkCacheHistory});
    ExpectPreparation();
    ExpectRecycleBin();
    ExpectInternetOptions();
    ExpectRestart();
    f().cmdStart.Click();
    // Lower-case "file" here; the same folder twice; neither the bar nor the tip moves.
    const std::vector<std::string> expected{
        "status:Deleting file: " + cache + "\\locked.htm",
        "status:Skipped Locked File : locked.htm",
        "status:Deleting file: " + cache + "\\page.htm",
        "status:Deleting Folder: " + cache + "\\Content",
        "status:" + kDone,
        "status:Deleting file: " + cache + "\\locked.htm",
        "status:Skipped Locked File : locked.htm",
        "status:" + kDone,
        "status:Spawning Internet Options Applet. . .",
        "status:Maintenance Complete!",
    };
    EXPECT_EQ(Entries("status:"), expected);
    EXPECT_TRUE(Entries("bar:").size() <= 1u) << "only FinishRun may touch the bar";
    EXPECT_EQ(Entries("mainTray:TipText=").size(), 1u);
}

class DirectoryValueTest : public RunTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DirectoryValueTest, ARootOrSystemFolderIsPassedOverLikeAMissingOne) {
    files.AddFile("C:\\WINDOWS\\win.ini");
    files.AddFolder("C:\\Program Files");
    files.AddFile("C:\\Program Files\\app.exe");
    files.AddFile("C:\\Users\\me\\ntuser.dat");
    // The user's own folders (one moved to another drive) and the AppData folders.
    for (const char* folder :
         {"C:\\Users\\me\\Documents", "C:\\Users\\me\\Documents\\Cache", "D:\\Shared",
          "D:\\Shared\\Docs", "C:\\Users\\me\\AppData", "C:\\Users\\me\\AppData\\Local"}) {
        files.AddFolder(folder);
        files.AddFile(std::string(folder) + "\\kept.txt");
    }
    registry.Set(kHkeyLocalMachine, MaintenanceRun::kCachePathsKey, "Directory", GetParam());
    ChooseSpace({&f().chkCacheHistory});
    ExpectPreparation();
    ExpectRecycleBin();
    ExpectInternetOptions();
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_TRUE(files.Removals().empty());
    EXPECT_EQ(log.IndexOf("status:" + kDone), -1);
}

INSTANTIATE_TEST_SUITE_P(RunTest, DirectoryValueTest,
                         ::testing::Values("C:\\WINDOWS", "c:\\windows\\", "C:\\Program Files",
                                           "C:\\Users\\me", "C:\\Users", "C:\\", "", "C:\\Missing",
                                           "C:\\Users\\me\\Documents",
                                           "C:\\Users\\me\\Documents\\Cache", "D:\\Shared",
                                           "C:\\Users\\me\\AppData"));

TEST_F(RunTest, ADirectoryValueThatLeadsIntoTheWindowsFolderIsPassedOver) {
    files.AddFolder("C:\\Cache");
    files.AddFile("C:\\Cache\\win.ini");
    files.SetFullPath("C:\\Cache", "C:\\WINDOWS"); // a link
    registry.Set(kHkeyLocalMachine, MaintenanceRun::kCachePathsKey, "Directory", "C:\\Cache");
    ChooseSpace({&f().chkCacheHistory});
    ExpectPreparation();
    ExpectRecycleBin();
    ExpectInternetOptions();
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_TRUE(files.Removals().empty());
}

TEST_F(RunTest, DiskCleanupIsStartedAndWaitedFor) {
    programs.Install(kCleanmgr, {30000, false}); // its window closes 30 s after the start
    ChooseSpace({&f().chkCleanup});
    ExpectPreparation();
    ExpectRecycleBin();
    messageBox.Expect(kCleanupStart, kOkInformation, "Disk Cleanup Starting. . .");
    messageBox.Expect(kCleanupDone, kOkInformation, "Disk Cleanup Complete?");
    ExpectRestart();
    bool activeMeanwhile = false;
    events.At(10000, [&] { activeMeanwhile = run->launch.cleanupActive; });
    f().cmdStart.Click();

    ASSERT_EQ(programs.Starts().size(), 1u);
    EXPECT_EQ(programs.Starts()[0].style, WindowStyle::NormalNoFocus);
    EXPECT_TRUE(activeMeanwhile);
    EXPECT_FALSE(run->launch.cleanupActive);
    // The prompt came four seconds after the start; the run went on once the window closed.
    const int prompt = log.IndexOf("box:Disk Cleanup Complete?");
    const int done = log.IndexOf("status:Maintenance Complete!");
    EXPECT_LT(prompt, done);
    EXPECT_EQ(timeline.At("Maintenance Complete!") / 50, 30000 / 50);
    EXPECT_EQ(log.WithPrefix("bar:")[0], "bar:0/100");
}

TEST_F(RunTest, DiskCleanupMissingSkipThenStartOverThenInstall) {
    ChooseSpace({&f().chkCleanup});
    ExpectPreparation();
    ExpectRecycleBin();
    // First launch fails: No, then OK (start over) returns to the task's gate.
    messageBox.Expect(kCleanupStart, kOkInformation, "Disk Cleanup Starting. . .");
    ExpectLaunchFailure(answer::kNo, answer::kOk);
    messageBox.Expect(kCleanupStart, kOkInformation, "Disk Cleanup Starting. . .");
    // Second launch fails: Yes, the install dialog, then on just after the launch.
    ExpectLaunchFailure(answer::kYes);
    ExpectInstalled();
    messageBox.Expect(kCleanupDone, kOkInformation, "Disk Cleanup Complete?");
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(library.Dialogs(), (std::vector<std::int32_t>{9}));
    EXPECT_EQ(Entries("programs:start:").size(), 2u);
    EXPECT_FALSE(run->launch.cleanupActive);
    EXPECT_TRUE(run->skipTask) << "the loop's own exit flag";
}

TEST_F(RunTest, DiskCleanupMissingAndSkippedShowsTheStartMessageOnceMore) {
    ChooseSpace({&f().chkCleanup, &f().chkAllSpeedOptions});
    ExpectPreparation();
    ExpectRecycleBin();
    messageBox.Expect(kCleanupStart, kOkInformation, "Disk Cleanup Starting. . .");
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    messageBox.Expect(kCleanupStart, kOkInformation, "Disk Cleanup Starting. . .");
    ExpectWholePerformanceGroup();
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(StartsOf(kCleanmgr), 0);
    EXPECT_EQ(Entries("programs:start:" + kCleanmgr).size(), 1u);
    EXPECT_FALSE(run->launch.cleanupActive);
    // Passing on to the performance group cleared the skip.
    EXPECT_FALSE(run->skipTask);
}

TEST_F(RunTest, SkippedDiskCleanupWithOnlyFixProblemsLeavesItsGateClosed) {
    f().optPerformance.SetValue(true);
    f().chkAllSpaceOptions.SetValue(1);
    log.Clear();
    ExpectPreparation();
    ExpectRecycleBin();
    messageBox.Expect(kCleanupStart, kOkInformation, "Disk Cleanup Starting. . .");
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    ExpectInternetOptions();
    ExpectRestart();
    f().cmdStart.Click();
    // Its gate stayed shut, so the flag the task set was never cleared.
    EXPECT_TRUE(run->launch.cleanupActive);
}

struct GateRow {
    bool performance; // optPerformance instead of optSpace
    std::vector<const char*> boxes;
    bool recycle, cleanup, temp, cache;
};

class GateTest : public RunTest, public ::testing::WithParamInterface<GateRow> {};

TEST_P(GateTest, EachDiskSpaceTaskRunsOnlyBehindItsGate) {
    const GateRow& row = GetParam();
    programs.Install(kCleanmgr, {0, false});
    (row.performance ? f().optPerformance : f().optSpace).SetValue(true);
    for (const char* name : row.boxes) {
        for (ui::Control* control : f().Controls()) {
            if (control->Name() == name) {
                static_cast<ui::CheckBox*>(control)->SetValue(1);
            }
        }
    }
    log.Clear();
    ExpectPreparation();
    if (row.recycle) {
        ExpectRecycleBin();
    }
    if (row.cleanup) {
        messageBox.Expect(kCleanupStart, kOkInformation, "Disk Cleanup Starting. . .");
        messageBox.Expect(kCleanupDone, kOkInformation, "Disk Cleanup Complete?");
    }
    if (row.cache) {
        ExpectInternetOptions();
    }
    if (f().chkAllSpeedOptions.Checked()) {
        ExpectWholePerformanceGroup();
    }
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(log.IndexOf("status:" + kDone) != -1, row.temp);
    EXPECT_EQ(log.IndexOf("system:OpenInternetOptions") != -1, row.cache);
    EXPECT_EQ(StartsOf(kCleanmgr), row.cleanup ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    RunTest, GateTest,
    ::testing::Values(
        GateRow{false, {"chkTEMP"}, true, false, true, false},
        GateRow{false, {"chkCleanup"}, true, true, false, false},
        GateRow{false, {"chkCacheHistory"}, true, false, false, true},
        GateRow{false, {"chkAllSpeedOptions"}, true, false, false, false},
        GateRow{false, {"chkCleanup", "chkTEMP", "chkCacheHistory"}, true, true, true, true},
        // "Fi&x Problems" brings the whole disk-space group into a performance run.
        GateRow{true, {"chkAllSpaceOptions"}, true, true, true, true},
        GateRow{true, {"chkTEMP"}, false, false, false, false}));

TEST(LaunchFailureRouting, EachRowOfTheTable) {
    struct Row {
        bool scanDisk, defrag, cleanup;
        std::optional<RunStep> afterChoice;
        RunStep afterInstall;
    };
    const Row rows[] = {
        {true, true, true, RunStep::PerformanceGroup, RunStep::PerformanceGroup},
        {true, false, false, RunStep::PerformanceGroup, RunStep::PerformanceGroup},
        {false, true, true, RunStep::Defrag, RunStep::Defrag},
        {false, true, false, RunStep::Defrag, RunStep::Defrag},
        {false, false, true, RunStep::Cleanup, RunStep::CleanupAfterLaunch},
        {false, false, false, std::nullopt, RunStep::FinishAfterFailure},
    };
    for (const Row& row : rows) {
        LaunchFlags flags;
        flags.scanDiskActive = row.scanDisk;
        flags.defragActive = row.defrag;
        flags.cleanupActive = row.cleanup;
        EXPECT_EQ(RouteAfterSkipChoice(flags), row.afterChoice) << "row " << (&row - rows);
        EXPECT_EQ(RouteAfterInstallPrompt(flags), row.afterInstall) << "row " << (&row - rows);
    }
}

TEST_F(RunTest, LaunchFailureWithNoTaskToReturnToGoesToFinishRun) {
    ChooseSpace({&f().chkTEMP});
    flags.maintenanceRunning = true;
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    ExpectInstalled();
    RunStep next = run->LaunchFailed();
    EXPECT_EQ(next, RunStep::FinishAfterFailure);
    EXPECT_TRUE(run->skipTask);
    EXPECT_EQ(library.Dialogs(), (std::vector<std::int32_t>{9}));
}

TEST_F(RunTest, AQuitMidRunStopsItAndStillPutsBackScreenSaverAndPriority) {
    for (int i = 0; i < 5; ++i) {
        files.AddFile(kTemp + "\\f" + std::to_string(i));
    }
    SetSetting("Keep On Top", "Yes");
    f().chkOnTop.SetValue(1);
    ChooseSpace({&f().chkTEMP, &f().chkCacheHistory});
    ExpectPreparation(answer::kYes);
    ExpectRecycleBin();
    events.At(3000, [&] { events.Quit(); }); // during the second file's pause
    EXPECT_THROW(f().cmdStart.Click(), ui::ProgramQuitting);
    EXPECT_EQ(system.Calls(),
              (std::vector<std::string>{"DisableScreenSaver", "EnableScreenSaver"}));
    EXPECT_EQ(priority.requests, (std::vector<std::int32_t>{0x80, 0x20}));
    EXPECT_EQ(files.Removals().size(), 2u) << "nothing after the quit";
    EXPECT_EQ(log.IndexOf("system:OpenInternetOptions"), -1);
    EXPECT_EQ(Setting("Keep On Top"), "Yes");
    EXPECT_TRUE(f().chkOnTop.Checked());
}

TEST_F(RunTest, AQuitDuringAMessageBoxPutsBackToo) {
    ChooseSpace({&f().chkTEMP});
    ExpectPreparation();
    // The close confirmation's Yes arrives while "Emptying Recycle Bin. . ." is open.
    messageBox.Expect(kRecycle, kOkCancelInformation, "Emptying Recycle Bin. . .", answer::kOk);
    messageBox.OnShow([&](std::string_view title) {
        if (title == "Emptying Recycle Bin. . .") {
            events.Quit();
        }
    });
    EXPECT_THROW(f().cmdStart.Click(), ui::ProgramQuitting);
    EXPECT_EQ(system.Calls(),
              (std::vector<std::string>{"DisableScreenSaver", "EnableScreenSaver"}));
}

class BrokenFiles : public fakes::FakeFiles {
public:
    FolderContents Contents(std::string_view) override {
        throw std::runtime_error("the disk went away");
    }
};

TEST_F(RunTest, AnErrorThatEndsTheRunStillPutsBack) {
    BrokenFiles broken;
    broken.AddFolder(kTemp);
    MaintenanceRun other(*main, ports, RunPorts{programs, broken, priority, entryPorts});
    main->OnStart([&] { other.Start(); });
    SetSetting("Keep On Top", "Yes");
    f().chkOnTop.SetValue(1);
    ChooseSpace({&f().chkTEMP});
    ExpectPreparation(answer::kYes);
    ExpectRecycleBin();
    // One box names the error; the window then looks as after a finished run.
    messageBox.Expect("An Unexpected Error Has Stopped Maintenance!\r\nthe disk went away\r\n"
                      "Your Settings Have Been Put Back.",
                      kOkStop, "ERROR!");
    f().cmdStart.Click();
    EXPECT_EQ(system.Calls(),
              (std::vector<std::string>{"DisableScreenSaver", "EnableScreenSaver"}));
    EXPECT_EQ(priority.requests, (std::vector<std::int32_t>{0x80, 0x20}));
    EXPECT_FALSE(flags.maintenanceRunning);
    EXPECT_EQ(mainTray.IconNumber(), 3);
    EXPECT_EQ(mainTray.TipText(), std::string(frmMaintenance::kTrayTip));
    EXPECT_EQ(f().StatusBar1.PanelText(), "Maintenance Complete!");
    EXPECT_EQ(f().ProgressBar1.Value(), f().ProgressBar1.Max());
    EXPECT_TRUE(f().cmdReminder.Enabled());
    EXPECT_FALSE(f().cmdStart.Enabled());
    EXPECT_TRUE(f().chkOnTop.Checked());
    EXPECT_EQ(Setting("Keep On Top"), "Yes");
}

TEST_F(RunTest, PriorityThatCannotBeChangedDoesNotEndTheRun) {
    priority.outcome = ProcessPriorityPort::Outcome::CannotOpen;
    ChooseSpace({&f().chkCacheHistory});
    ExpectPreparation(answer::kYes);
    ExpectRecycleBin();
    ExpectInternetOptions();
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_FALSE(run->priorityRaised);
    // Not raised, so not put back either.
    EXPECT_EQ(priority.requests, (std::vector<std::int32_t>{0x80}));
    EXPECT_EQ(f().StatusBar1.PanelText(), "Maintenance Complete!");
}

TEST_F(RunTest, TickCountsUpToMaxAndBringsScanDiskForwardOnlyDuringARun) {
    programs.AddWindow("ScanDisk");
    f().ProgressBar1.SetMax(3);
    f().ProgressBar1.SetValue(1);
    run->launch.scanDiskActive = true;
    run->MyTimer_Timer(); // no run: counts only
    EXPECT_EQ(f().ProgressBar1.Value(), 2);
    EXPECT_TRUE(programs.Activations().empty());
    flags.maintenanceRunning = true;
    run->MyTimer_Timer();
    run->MyTimer_Timer(); // at Max already: stays there, no error
    EXPECT_EQ(f().ProgressBar1.Value(), 3);
    EXPECT_EQ(programs.Activations(),
              (std::vector<std::string>{"title ScanDisk", "title ScanDisk"}));
    run->launch.scanDiskActive = false;
    run->MyTimer_Timer();
    EXPECT_EQ(programs.Activations().size(), 2u);
}

TEST_F(RunTest, CounterWaitSwitchesTheTimerOnAndEndsAtTheMark) {
    f().ProgressBar1.SetMax(25);
    f().ProgressBar1.SetValue(0);
    run->WaitForCounter(13);
    EXPECT_EQ(f().ProgressBar1.Value(), 13);
    EXPECT_TRUE(f().MyTimer.Enabled());
    EXPECT_EQ(events.NowMilliseconds(), 13000);
    f().ProgressBar1.SetValue(2);
    run->WaitForCounter(4);
    EXPECT_EQ(events.NowMilliseconds(), 15000);
}

TEST_F(RunTest, AProgramThatClosesAtOnceEndsTheWaitOnTheFirstPoll) {
    programs.Install("quick.exe", {0, false});
    const auto task = programs.Start("quick.exe", WindowStyle::NormalNoFocus);
    const int passes = events.Passes();
    run->WaitWhileWindowExists(task);
    EXPECT_EQ(events.Passes(), passes);
    EXPECT_EQ(programs.TaskChecks(), 1);
}

// --- the run's log

const std::string kLogPath = "c:\\Program Files\\Vellmoor\\Tidewell\\Maintenance Log.txt";

class RunLogTest : public RunTest {
protected:
    // Deletions, a locked and an in-use file, a link, a folder keeping a read-only file, and a
    // "Directory" value naming the user's Documents.
    void RunOverAPreparedFolder() {
        files.AddFile(kTemp + "\\a.tmp", std::nullopt, 1234);
        files.AddFile(kTemp + "\\b.tmp", KeptReason::Locked, 10);
        files.AddFile(kTemp + "\\c.tmp", KeptReason::InUse, 20);
        files.AddFolder(kTemp + "\\d1");
        files.AddFile(kTemp + "\\d1\\x.tmp", std::nullopt, 500);
        files.AddFolder(kTemp + "\\d2");
        files.AddFile(kTemp + "\\d2\\y.tmp", KeptReason::ReadOnly, 30);
        files.AddFolder(kTemp + "\\link", true);
        files.AddFolder("C:\\Users\\me\\Documents");
        files.AddFile("C:\\Users\\me\\Documents\\letter.doc");
        registry.Set(kHkeyLocalMachine, MaintenanceRun::kCachePathsKey, "Directory",
                     "C:\\Users\\me\\Documents");
        ChooseSpace({&f().chkTEMP, &f().chkCacheHistory});
        ExpectPreparation();
        ExpectRecycleBin(answer::kOk);
        ExpectInternetOptions();
        ExpectRestart();
        f().cmdStart.Click();
    }
};

TEST_F(RunLogTest, NamesEveryDeletionEveryItemLeftAloneAndTheTotals) {
    RunOverAPreparedFolder();
    const std::string t = "2026-12-10 10:00:00  ";
    const std::string expected =
        t + "==== Maintenance run started: Free Disk Space\r\n" + t +
        "Task started: Recycle Bin\r\n" + t + "Task skipped: Disk Cleanup (not selected)\r\n" + t +
        "Task started: Temporary folder: " + kTemp + "\r\n" + t + "Deleted file: " + kTemp +
        "\\a.tmp (1234 bytes)\r\n" + t + "Left alone: " + kTemp + "\\b.tmp (locked)\r\n" + t +
        "Left alone: " + kTemp + "\\c.tmp (in use)\r\n" + t + "Deleted file: " + kTemp +
        "\\d1\\x.tmp (500 bytes)\r\n" + t + "Deleted folder: " + kTemp + "\\d1 (500 bytes)\r\n" +
        t + "Left alone: " + kTemp + "\\d2\\y.tmp (read-only)\r\n" + t + "Left alone: " + kTemp +
        "\\d2 (not empty: items in it were left alone)\r\n" + t + "Left alone: " + kTemp +
        "\\link (a link, not followed)\r\n" + t + "Task started: Browser cache\r\n" + t +
        "Left alone: C:\\Users\\me\\Documents (a protected folder)\r\n" + t +
        "==== Maintenance run ended: 2 files deleted, 1734 bytes freed, 6 items left alone\r\n";
    EXPECT_EQ(files.texts[kLogPath], expected);
    EXPECT_TRUE(files.Exists("C:\\Users\\me\\Documents\\letter.doc"));
    // A start refused by validation logs nothing (Start is enabled again only for this check).
    f().cmdStart.SetEnabled(true);
    messageBox.Expect("You must select Disk Space Options For Maintenance To Start!",
                      kOkExclamation, "Oops!");
    f().chkTEMP.SetValue(0);
    f().chkCacheHistory.SetValue(0);
    f().cmdStart.Click();
    EXPECT_EQ(files.texts[kLogPath], expected) << "nothing logged before a run starts";
}

TEST_F(RunLogTest, AtOneMegabyteTheOlderHalfGoes) {
    std::string old;
    for (int i = 0; old.size() < RunLog::kLimitBytes - 100; ++i) {
        old += "2026-01-01 00:00:00  old line " + std::to_string(i) + "\r\n";
    }
    files.texts[kLogPath] = old;
    RunOverAPreparedFolder();
    const std::string& log = files.texts[kLogPath];
    EXPECT_LE(log.size(), RunLog::kLimitBytes / 2 + 2000);
    EXPECT_GE(log.size(), RunLog::kLimitBytes / 2 - 2000);
    EXPECT_TRUE(log.starts_with("2026-01-01 00:00:00  old line ")) << "cut at a line's end";
    EXPECT_EQ(log.find("old line 0\r\n"), std::string::npos);
    EXPECT_NE(log.find("==== Maintenance run ended: 2 files deleted"), std::string::npos);
}

TEST_F(RunLogTest, ALogThatCannotBeWrittenLeavesTheRunUnharmed) {
    files.failTextWrites = true;
    RunOverAPreparedFolder();
    EXPECT_FALSE(files.Exists(kTemp + "\\a.tmp"));
    EXPECT_EQ(f().StatusBar1.PanelText(), "Maintenance Complete!");
    EXPECT_EQ(messageBox.Transcript().back().title, "Restart?");
    EXPECT_EQ(files.texts.count(kLogPath), 0u);
}

// --- the performance group

const std::string kNotOptimized = "Your System Is NOT Conifgured For Optimal Performance!\r\n"
                                  "Maintenance Will Now Configure It For Optimal Performance.\r\n"
                                  "Please Wait While This Procedure Is Performed.\r\n"
                                  "Do Not Be Alarmed As The Procedure Has Been Tested!";
const std::string kCloseApplet = "Please Click Close On The Virtual Memory Applet Now!\r\n"
                                 "Click OK When You're Done.\r\n"
                                 "When Prompted To Reboot, Click 'NO'";
const std::string kReboot = "Your PC Must Be Restarted For The Changes To Take Effect!\r\n"
                            "Please Ignore All Reboot Messages From Windows!\r\n"
                            "Maintenance Will Reboot Your Machine!";
const std::string kFsTemplates = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FS Templates\\";

std::string VirtualMemoryText(const std::string& size) {
    return "You Will Only Have To Do This Once!\r\nPlease Click Virtual Memory, And Then:\r\n"
           "1. Select 'Let Me Specify My Own Settings'\r\n"
           "2. In the Minimum and Maximum boxes Type In: " +
           size + "\r\n\r\nClick OK When You're Done";
}

class ConfigurationTest : public RunTest {
protected:
    ConfigurationTest() {
        registry.DeleteRegistryValue(kSettingsRoot, kSettingsKey, "PC Optimized");
        f().optPerformance.SetValue(true);
        f().chkScandisk.SetValue(1);
        log.Clear();
    }
    void ExpectConfigurationUpTo(const std::string& size) {
        messageBox.Expect(kNotOptimized, kOkExclamation, "Configuration Not Optimized!");
        messageBox.Expect(VirtualMemoryText(size), kOkInformation, "Setting Virtual Memory. .");
        messageBox.Expect(kCloseApplet, kOkInformation, "Close System Applet!");
    }
};

TEST_F(ConfigurationTest, MessagesThenServerRoleThenRestartAsTheVeryLastStep) {
    library.SetPhysicalMemory(64ll << 20);
    ExpectPreparation();
    ExpectConfigurationUpTo("134");
    messageBox.Expect(kReboot, kOkInformation, "REBOOT REQUIRED!");
    f().cmdStart.Click();

    EXPECT_EQ(registry.Data(kHkeyLocalMachine, kFsTemplates, ""), "Server");
    EXPECT_EQ(Setting("PC Optimized"), "Yes");
    EXPECT_EQ(library.Dialogs(), (std::vector<std::int32_t>{43}));
    // The applet opens after the half-way mark; the size is told after it opened; the server
    // role is written after both questions, "PC Optimized" a second later, then the reboot box,
    // FinishRun and the restart, which is the last thing the run does.
    const std::vector<std::string> order = {"status:Spawning System Applet. . .",
                                            "library:ShowSystemDialog=43",
                                            "status:Configuring System For Best Performance. . .",
                                            "box:Setting Virtual Memory. .",
                                            "box:Close System Applet!",
                                            "registry:write =Server",
                                            "status:System Configured!",
                                            "registry:write PC Optimized=Yes",
                                            "box:REBOOT REQUIRED!",
                                            "system:EnableScreenSaver",
                                            "status:Maintenance Complete!",
                                            "system:RestartWindows"};
    int last = -1;
    for (const std::string& entry : order) {
        const int at = log.IndexOf(entry);
        EXPECT_GT(at, last) << entry;
        last = at;
    }
    EXPECT_EQ(log.Entries().back(), "system:RestartWindows");
    EXPECT_EQ(timeline.At("System Configured!"), 1000);
    EXPECT_TRUE(programs.Starts().empty()) << "ScanDisk waits for the next run";
    EXPECT_FALSE(flags.maintenanceRunning);
    EXPECT_EQ(log.IndexOf("box:Restart?"), -1);
}

TEST_F(ConfigurationTest, SizeFollowsThePhysicalMemory) {
    const std::pair<std::int64_t, const char*> rows[] = {
        {16777216, "32"}, {134217728, "268"}, {1073741824, "2146"}, {17179869184, "34358"}};
    for (const auto& [bytes, size] : rows) {
        SCOPED_TRACE(size);
        registry.DeleteRegistryValue(kSettingsRoot, kSettingsKey, "PC Optimized");
        MaintenanceRun again(*main, ports, RunPorts{programs, files, priority, entryPorts});
        main->OnStart([&] { again.Start(); });
        main->cmdStart.SetEnabled(true);
        library.SetPhysicalMemory(bytes);
        ExpectPreparation();
        ExpectConfigurationUpTo(size);
        messageBox.Expect(kReboot, kOkInformation, "REBOOT REQUIRED!");
        f().cmdStart.Click();
    }
}

TEST_F(ConfigurationTest, AFailedServerRoleWriteEndsTheProgramWithoutPcOptimized) {
    SetSetting("Keep On Top", "Yes");
    f().chkOnTop.SetValue(1);
    registry.FailWritesOf("");
    ExpectPreparation(answer::kYes);
    ExpectConfigurationUpTo("134");
    messageBox.Expect("There was an error writing to the registry!\r\nPlease restart your "
                      "computer!",
                      kOkStop, "ERROR!");
    // The program ends without asking a question whose answer it would ignore.
    f().cmdStart.Click();
    EXPECT_EQ(process.Ends(), 1);
    EXPECT_FALSE(Setting("PC Optimized").has_value());
    EXPECT_EQ(log.IndexOf("system:RestartWindows"), -1);
    // Screen saver and priority are put back before the end.
    EXPECT_EQ(system.Calls(),
              (std::vector<std::string>{"DisableScreenSaver", "EnableScreenSaver"}));
    EXPECT_EQ(priority.requests, (std::vector<std::int32_t>{0x80, 0x20}));
    EXPECT_LT(log.IndexOf("system:EnableScreenSaver"), log.IndexOf("process:End"));
    EXPECT_EQ(Setting("Keep On Top"), "Yes");
}

class ScanDiskTest : public RunTest {
protected:
    ScanDiskTest() {
        f().optPerformance.SetValue(true);
        f().chkScandisk.SetValue(1);
        programs.AddWindow("ScanDisk");
        log.Clear();
    }
    void ExpectOptionMessages() {
        messageBox.Expect("Maintenance will now configure scandisk for best performance. . .",
                          kOkInformation, "Click OK To Continue!");
        messageBox.Expect("Please DON'T interfere with this process as it will cause your PC to "
                          "behave erractically!",
                          kOkStop, "BE CAREFUL");
    }
    std::size_t TitleActivations() const {
        std::size_t count = 0;
        for (const std::string& activation : programs.Activations()) {
            count += activation == "title ScanDisk" ? 1 : 0;
        }
        return count;
    }
};

TEST_F(ScanDiskTest, KeyScriptSendsEachRowAtItsMarkOverThirtyFourTicks) {
    programs.Install(kScanDiskOptions);
    programs.Install(kScan, {5000, true});
    ExpectPreparation();
    ExpectOptionMessages();
    messageBox.Expect(kRunScanDisk, kOkInformation, "Click OK to continue");
    ExpectRestart();
    f().cmdStart.Click();

    ASSERT_EQ(programs.Starts().size(), 2u);
    EXPECT_EQ(programs.Starts()[0].commandLine, kScanDiskOptions);
    EXPECT_EQ(programs.Starts()[0].style, WindowStyle::NormalFocus);
    EXPECT_EQ(programs.Starts()[1].commandLine, kScan);
    EXPECT_EQ(programs.Starts()[1].style, WindowStyle::Hidden);
    const long long start = programs.Starts()[0].at;

    const std::vector<std::pair<const char*, long long>> expected = {
        {"%(A)", 13},    {"%(E)", 15}, {"%(R)", 15}, {"%(D)", 16}, {"%(F)", 20},
        {"%(M)", 21},    {"%(T)", 23}, {"%(X)", 27}, {"%(S)", 28}, {"{TAB}", 29},
        {"{ENTER}", 30}, {"%(D)", 31}, {"%(F)", 32}, {"%(C)", 33}, {"%(C)", 34}};
    ASSERT_EQ(programs.KeysSent().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(programs.KeysSent()[i], ParseSendKeys(expected[i].first)) << "row " << i;
        EXPECT_EQ(programs.sentAt[i] - start, expected[i].second * 1000) << "row " << i;
    }
    EXPECT_EQ(Setting("ScanDisk"), "Configured");
    // ScanDisk was brought forward on every tick up to the next-to-last "%(C)", never after:
    // the last wait and the scan run without it.
    EXPECT_EQ(TitleActivations(), 33u);
    EXPECT_EQ(timeline.At("Scanning Hard Disk For Errors. . ."), start + 34000);
    EXPECT_FALSE(run->launch.scanDiskActive);
    EXPECT_FALSE(f().MyTimer.Enabled());
    EXPECT_EQ(f().ProgressBar1.Value(), 60);
}

TEST_F(ScanDiskTest, ACounterThatJumpsPastItsMarkStillEndsTheWait) {
    programs.Install(kScanDiskOptions);
    programs.Install(kScan, {0, true});
    ExpectPreparation();
    ExpectOptionMessages();
    messageBox.Expect(kRunScanDisk, kOkInformation, "Click OK to continue");
    ExpectRestart();
    // Two ticks in one pass (a nested loop held the wait): 12 becomes 14 during row 1.
    events.At(12500, [&] { f().ProgressBar1.SetValue(f().ProgressBar1.Value() + 2); });
    f().cmdStart.Click();
    EXPECT_EQ(programs.KeysSent().size(), 15u);
    EXPECT_EQ(Setting("ScanDisk"), "Configured");
}

TEST_F(ScanDiskTest, ARefusedKeyAtTheLastRowStartsTheGroupOver) {
    programs.Install(kScanDiskOptions);
    programs.refuseKeysFrom = 14; // the last "%(C)", after the flag was cleared
    ExpectPreparation();
    ExpectOptionMessages();
    ExpectLaunchFailure(answer::kNo, answer::kOk);
    ExpectOptionMessages(); // the group from its beginning
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    messageBox.Expect("Defrag will not run because ScanDisk didn't complete!", kOkInformation,
                      "Defrag CANCELLED!");
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_TRUE(library.Dialogs().empty()) << "no install prompt";
    EXPECT_FALSE(Setting("ScanDisk").has_value());
}

TEST_F(ScanDiskTest, ConfiguredScanDiskScansAtOnceAndTheBarCyclesWhileItRuns) {
    SetSetting("ScanDisk", "Configured ");
    programs.Install(kScan, {130000, true});
    ExpectPreparation();
    messageBox.Expect(kRunScanDisk, kOkInformation, "Click OK to continue");
    ExpectRestart();
    bool timerOnMeanwhile = false;
    events.At(70000, [&] { timerOnMeanwhile = f().MyTimer.Enabled(); });
    f().cmdStart.Click();

    EXPECT_TRUE(programs.KeysSent().empty());
    EXPECT_EQ(programs.Starts().size(), 1u);
    EXPECT_TRUE(timerOnMeanwhile);
    EXPECT_EQ(f().MyTimer.Enabled(), false);
    // Up to 60, back to 2, and on again, until the scan's window is gone.
    const auto bars = Entries("bar:");
    const auto top = std::find(bars.begin(), bars.end(), "bar:60/60");
    ASSERT_NE(top, bars.end());
    ASSERT_NE(top + 1, bars.end());
    EXPECT_EQ(*(top + 1), "bar:2/60");
    EXPECT_EQ(bars.back(), "bar:60/60");
    EXPECT_EQ(timeline.At("Maintenance Complete!") / 1000, 130);
    // The option script did not run, so the flag stayed set and ScanDisk was brought forward
    // every second of the scan.
    EXPECT_GE(TitleActivations(), 129u);
    EXPECT_EQ(mainTray.TipText(), "Scanning Hard Disk For Errors. . .");
}

TEST_F(ScanDiskTest, MissingScanDiskNoThenOkStartsTheGroupOverAndASkipCancelsDefrag) {
    f().chkDefrag.SetValue(1);
    CheckRunEntriesBox(f().chkLocalMachine); // its gate stays shut after a skip
    log.Clear();
    programs.Install(kDefrag);
    ExpectPreparation();
    ExpectOptionMessages();
    ExpectLaunchFailure(answer::kNo, answer::kOk);
    ExpectOptionMessages(); // from the group's beginning
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    messageBox.Expect("Defrag will not run because ScanDisk didn't complete!", kOkInformation,
                      "Defrag CANCELLED!");
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(Entries("programs:start:" + kScanDiskOptions).size(), 2u);
    EXPECT_TRUE(programs.Starts().empty()) << "neither ScanDisk nor Defrag ran";
    EXPECT_TRUE(run->launch.scanDiskActive);
    EXPECT_EQ(f().ProgressBar1.Value(), f().ProgressBar1.Max());
}

TEST_F(ScanDiskTest, ScanThatCannotStartAfterTheOptionScriptStillStartsTheGroupOver) {
    programs.Install(kScanDiskOptions);
    ExpectPreparation();
    ExpectOptionMessages();
    messageBox.Expect(kRunScanDisk, kOkInformation, "Click OK to continue");
    ExpectLaunchFailure(answer::kNo, answer::kOk);
    // Configured now: straight to the scan, which fails again and is skipped.
    messageBox.Expect(kRunScanDisk, kOkInformation, "Click OK to continue");
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    messageBox.Expect("Defrag will not run because ScanDisk didn't complete!", kOkInformation,
                      "Defrag CANCELLED!");
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(programs.KeysSent().size(), 15u) << "the script ran once";
    EXPECT_EQ(Entries("programs:start:" + kScan).size(), 2u);
}

TEST_F(ScanDiskTest, RefusedKeysAreAScanDiskFailureAndLeaveItUnconfigured) {
    programs.Install(kScanDiskOptions);
    programs.refuseKeys = true;
    ExpectPreparation();
    ExpectOptionMessages();
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    messageBox.Expect("Defrag will not run because ScanDisk didn't complete!", kOkInformation,
                      "Defrag CANCELLED!");
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(events.NowMilliseconds(), 13000) << "failed at the first row";
    EXPECT_FALSE(Setting("ScanDisk").has_value());
    EXPECT_FALSE(f().MyTimer.Enabled());
    EXPECT_EQ(Entries("programs:start:" + kScan).size(), 0u);
}

TEST_F(ScanDiskTest, InstallPromptAfterAMissingScanDiskReturnsToTheGroup) {
    ExpectPreparation();
    ExpectOptionMessages();
    ExpectLaunchFailure(answer::kYes);
    ExpectInstalled();
    messageBox.OnShow([&](std::string_view title) {
        if (title == "Program Installed?") {
            programs.Install(kScanDiskOptions);
            programs.Install(kScan, {0, true});
        }
    });
    ExpectOptionMessages();
    messageBox.Expect(kRunScanDisk, kOkInformation, "Click OK to continue");
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(library.Dialogs(), (std::vector<std::int32_t>{9}));
    EXPECT_EQ(Setting("ScanDisk"), "Configured");
}

class DefragTest : public RunTest {
protected:
    DefragTest() {
        f().optPerformance.SetValue(true);
        f().chkDefrag.SetValue(1);
        log.Clear();
    }
};

TEST_F(DefragTest, OnlyTheUsersOkEndsIt) {
    programs.Install(kDefrag); // never closes by itself
    ExpectPreparation();
    ExpectDefrag();
    ExpectRestart();
    bool activeDuringPrompt = false;
    messageBox.OnShow([&](std::string_view title) {
        if (title == "Defrag Complete?") {
            activeDuringPrompt = run->launch.defragActive;
        }
    });
    f().cmdStart.Click();
    ASSERT_EQ(programs.Starts().size(), 1u);
    EXPECT_EQ(programs.Starts()[0].style, WindowStyle::MaximizedFocus);
    EXPECT_TRUE(activeDuringPrompt);
    EXPECT_FALSE(run->launch.defragActive);
    EXPECT_EQ(programs.TaskChecks(), 0) << "its window is never watched";
    EXPECT_NE(log.IndexOf("status:Defragmenting File System. . ."), -1);
}

TEST_F(DefragTest, MissingDefragInstallReturnsToTheDefragStepAndSkipPassesOn) {
    ExpectPreparation();
    messageBox.Expect(kDefragText, kOkInformation, "Please Be Patient!");
    ExpectLaunchFailure(answer::kYes);
    ExpectInstalled();
    messageBox.Expect(kDefragText, kOkInformation, "Please Be Patient!");
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(Entries("programs:start:" + kDefrag).size(), 2u);
    // Skipped: the flag stays set, so the bar is filled before the restart question.
    EXPECT_TRUE(run->launch.defragActive);
    EXPECT_EQ(log.IndexOf("box:Defrag CANCELLED!"), -1);
    EXPECT_EQ(f().ProgressBar1.Value(), f().ProgressBar1.Max());
}

class StartupEntriesStepTest : public RunTest {
protected:
    StartupEntriesStepTest() {
        f().optPerformance.SetValue(true);
        CheckRunEntriesBox(f().chkCurrentUser);
        registryLibrary.SetText(kHkeyCurrentUser, frmRegistry::kRunKeyPath, "Messenger", "m.exe");
        log.Clear();
    }
    // The editor's own timer fills its bar; it is watched once the editor exists.
    void WatchEditor() {
        events.OnPass([this](int) {
            if (fakes::FakeWindowView* view = formsPort.Find("Registry Entries")) {
                auto* editor = static_cast<frmRegistry*>(view->Core());
                if (editor != watched_) {
                    watched_ = editor;
                    events.Watch(editor->MyTimer);
                }
            }
        });
    }
    frmRegistry* watched_ = nullptr;
};

TEST_F(StartupEntriesStepTest, EditorShownModallyUntilFinishedThenTheRunFinishes) {
    WatchEditor();
    ExpectPreparation();
    ExpectCaution(answer::kYes);
    ExpectRestart();
    bool shownModally = false;
    events.At(60000, [&] {
        fakes::FakeWindowView* view = formsPort.Find("Registry Entries");
        ASSERT_NE(view, nullptr);
        shownModally = runtime.InModal() && view->Visible();
        EXPECT_EQ(f().StatusBar1.PanelText(), "Optimizing Registry. . .");
        EXPECT_EQ(mainTray.TipText(), "Registry is now being optimized. . .");
        static_cast<frmRegistry*>(view->Core())->cmdExit.Click();
    });
    f().cmdStart.Click();
    EXPECT_TRUE(shownModally);
    EXPECT_EQ(log.WithPrefix("editor-keys:"), (std::vector<std::string>{"editor-keys:{ENTER}"}));
    EXPECT_EQ(f().StatusBar1.PanelText(), "Maintenance Complete!");
    EXPECT_EQ(timeline.At("Maintenance Complete!"), 60000);
}

TEST_F(StartupEntriesStepTest, CautionNoFinishesTheRunWithoutTheEditor) {
    ExpectPreparation();
    ExpectCaution(answer::kNo);
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(formsPort.Find("Registry Entries"), nullptr);
    EXPECT_EQ(f().StatusBar1.PanelText(), "Maintenance Complete!");
    EXPECT_EQ(system.Calls(),
              (std::vector<std::string>{"DisableScreenSaver", "EnableScreenSaver"}));
}

const std::string kLibraryFailure =
    "The Startup Entries Could Not Be Loaded!\r\nregistry library error 0x80040154: Class not "
    "registered\r\nMaintenance Will Skip This Step.";

TEST_F(StartupEntriesStepTest, ALibraryFailureSkipsTheEditorWithOneMessage) {
    WatchEditor();
    registryLibrary.Fail(fakes::FakeRegistryLibrary::Operation::CreateDatabase, 0x80040154u,
                         "Class not registered");
    ExpectPreparation();
    messageBox.Expect(kLibraryFailure, kOkExclamation, "Startup Entries Skipped!");
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(formsPort.Find("Registry Entries"), nullptr);
    EXPECT_EQ(f().StatusBar1.PanelText(), "Maintenance Complete!");
    EXPECT_EQ(library.Dialogs().size(), 0u) << "nothing offered to install";
    EXPECT_EQ(system.Calls(),
              (std::vector<std::string>{"DisableScreenSaver", "EnableScreenSaver"}));
}

TEST_F(StartupEntriesStepTest, ASkippedScanDiskAndALibraryFailureReachTheRestartQuestion) {
    f().chkScandisk.SetValue(1);
    registryLibrary.Fail(fakes::FakeRegistryLibrary::Operation::CreateDatabase, 0x80040154u,
                         "Class not registered");
    log.Clear();
    int boxes = 0;
    messageBox.OnShow([&](std::string_view) {
        if (++boxes > 20) {
            throw std::runtime_error("the run keeps coming back");
        }
    });
    ExpectPreparation();
    messageBox.Expect("Maintenance will now configure scandisk for best performance. . .",
                      kOkInformation, "Click OK To Continue!");
    messageBox.Expect("Please DON'T interfere with this process as it will cause your PC to "
                      "behave erractically!",
                      kOkStop, "BE CAREFUL");
    ExpectLaunchFailure(answer::kNo, answer::kCancel);
    messageBox.Expect("Defrag will not run because ScanDisk didn't complete!", kOkInformation,
                      "Defrag CANCELLED!");
    messageBox.Expect(kLibraryFailure, kOkExclamation, "Startup Entries Skipped!");
    ExpectRestart();
    f().cmdStart.Click();
    EXPECT_EQ(messageBox.Transcript().back().title, "Restart?");
}

} // namespace
} // namespace tidewell
