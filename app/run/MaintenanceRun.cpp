#include "run/MaintenanceRun.h"

#include "controls/LibraryHelperControl.h"
#include "controls/RegistryValueControl.h"
#include "controls/SystemHelperControl.h"
#include "controls/TrayIconControl.h"
#include "main/RegistryErrorMessage.h"
#include "main/RunFlags.h"
#include "main/frmMaintenance.h"
#include "ports/MessageBox.h"
#include "ports/Process.h"
#include "run/ChangePriority.h"
#include "run/FilesPort.h"
#include "run/FolderSafety.h"
#include "run/ProgramError.h"
#include "run/VirtualMemorySize.h"
#include "run/WindowExists.h"
#include "startup_entries/RegistryObjects.h"
#include "startup_entries/StartupEntriesEditor.h"

#include <string>

namespace tidewell {

namespace {

constexpr unsigned kOkExclamation = mb::kOk | mb::kIconExclamation;
constexpr unsigned kOkInformation = mb::kOk | mb::kIconInformation;

constexpr std::string_view kOopsTitle = "Oops!";
constexpr std::string_view kSelectOption = "You Must Select An Option First!";
constexpr std::string_view kSelectPerformance =
    "You must select Performance Options For Maintenance To Start!";
constexpr std::string_view kSelectSpace =
    "You must select Disk Space Options For Maintenance To Start!";

constexpr std::string_view kPriorityText =
    "Would You Like To Change The Processor Priority Of Maintenance?\r\n"
    "                 This Can Speed Up Your Maintenance Tasks.\r\n\r\n"
    "                  If You're Unsure About This, Just Click No!";
constexpr std::string_view kPriorityTitle = "Change Priority?";
constexpr std::string_view kRunningTip = "Maintenance routines are being performed. . .";
constexpr std::string_view kScreenSaverText =
    "Your Screen Saver Will Be Disabled During This Session!";
constexpr std::string_view kScreenSaverTitle = "Notice!";

constexpr std::string_view kRecycleText =
    "Your Recycle Bin Will Be Emptied Now!\r\nClick Cancel To NOT Empty The Recycle Bin.";
constexpr std::string_view kRecycleTitle = "Emptying Recycle Bin. . .";

constexpr std::string_view kCleanupText = "Disk Cleanup Will Now Commence!  Click OK To Continue"
                                          "\r\nPlease Refrain From Using Your PC Until Cleanup Is "
                                          "Done!";
constexpr std::string_view kCleanupTitle = "Disk Cleanup Starting. . .";
constexpr std::string_view kCleanupDoneText =
    "Please Click OK When You Have Finished Disk Cleanup!";
constexpr std::string_view kCleanupDoneTitle = "Disk Cleanup Complete?";

constexpr std::string_view kInternetOptionsStatus = "Spawning Internet Options Applet. . .";
constexpr std::string_view kInternetOptionsText =
    "Tidewell! doesn't delete your internet cookies!\r\n"
    "To delete the Cookies, and other leftovers, click 'Delete Files', and then 'Clear "
    "History'.\r\n"
    "To Continue With Tidewell! Click OK.";
constexpr std::string_view kInternetOptionsTitle = "Internet Options Applet. . .";

constexpr std::string_view kCouldNotStartText =
    "Maintenance could not start the program.  It may not be installed.\r\n"
    "Would you like to check/install it now?";
constexpr std::string_view kCouldNotStartTitle = "Couldn't Start Program";
constexpr std::string_view kStartOverText = "Click OK to start over or cancel to skip this task";
constexpr std::string_view kStartOverTitle = "Continue or Cancel?";
constexpr std::string_view kInstalledText = "Click OK When You've Installed The Program";
constexpr std::string_view kInstalledTitle = "Program Installed?";
constexpr std::int32_t kInstallProgramsDialog = 9;

constexpr std::string_view kRestartText =
    "Maintenance Has Been Completed!  Your Screen Saver Is Re-Enabled.\r\n"
    "Some Of The Maintenance Procedure Require A Restart.  Do You want To Restart Now?";
constexpr std::string_view kRestartTitle = "Restart?";
constexpr std::string_view kCompleteStatus = "Maintenance Complete!";

constexpr std::string_view kScanDiskTitle = "ScanDisk";

constexpr std::string_view kNotOptimizedText =
    "Your System Is NOT Conifgured For Optimal Performance!\r\n"
    "Maintenance Will Now Configure It For Optimal Performance.\r\n"
    "Please Wait While This Procedure Is Performed.\r\n"
    "Do Not Be Alarmed As The Procedure Has Been Tested!";
constexpr std::string_view kNotOptimizedTitle = "Configuration Not Optimized!";
constexpr std::string_view kSpawningAppletStatus = "Spawning System Applet. . .";
constexpr std::string_view kConfiguringStatus = "Configuring System For Best Performance. . .";
constexpr std::string_view kVirtualMemoryText = "You Will Only Have To Do This Once!\r\n"
                                                "Please Click Virtual Memory, And Then:\r\n"
                                                "1. Select 'Let Me Specify My Own Settings'\r\n"
                                                "2. In the Minimum and Maximum boxes Type In: ";
constexpr std::string_view kVirtualMemoryTextEnd = "\r\n\r\nClick OK When You're Done";
constexpr std::string_view kVirtualMemoryTitle = "Setting Virtual Memory. .";
constexpr std::string_view kCloseAppletText =
    "Please Click Close On The Virtual Memory Applet Now!\r\n"
    "Click OK When You're Done.\r\n"
    "When Prompted To Reboot, Click 'NO'";
constexpr std::string_view kCloseAppletTitle = "Close System Applet!";
constexpr std::string_view kServerRole = "Server";
constexpr std::string_view kConfiguredStatus = "System Configured!";
constexpr std::string_view kRebootText =
    "Your PC Must Be Restarted For The Changes To Take Effect!\r\n"
    "Please Ignore All Reboot Messages From Windows!\r\n"
    "Maintenance Will Reboot Your Machine!";
constexpr std::string_view kRebootTitle = "REBOOT REQUIRED!";

constexpr std::string_view kConfigureScanDiskText =
    "Maintenance will now configure scandisk for best performance. . .";
constexpr std::string_view kConfigureScanDiskTitle = "Click OK To Continue!";
constexpr std::string_view kCarefulText = "Please DON'T interfere with this process as it will "
                                          "cause your PC to behave erractically!";
constexpr std::string_view kCarefulTitle = "BE CAREFUL";
constexpr std::string_view kConfiguringScanDiskStatus = "Configuring Scandisk.  Please Wait. . . .";
constexpr std::string_view kRunScanDiskText =
    "Maintenance will now run scandisk for best performance. . .";
constexpr std::string_view kRunScanDiskTitle = "Click OK to continue";
constexpr std::string_view kScanningStatus = "Scanning Hard Disk For Errors. . .";
constexpr int kKeyScriptMax = 25;

constexpr std::string_view kDefragCancelledText =
    "Defrag will not run because ScanDisk didn't complete!";
constexpr std::string_view kDefragCancelledTitle = "Defrag CANCELLED!";
constexpr std::string_view kDefragText =
    "Your Hard Disk Will Now Be Defragmented!\r\n\r\n"
    "This Process May Take Between 40 Minutes And 3 Hours\r\n"
    "Depending On The Size Of Your Hard Disk, And How Many Programs You Have Running.";
constexpr std::string_view kDefragTitle = "Please Be Patient!";
constexpr std::string_view kDefragStatus = "Defragmenting File System. . .";
constexpr std::string_view kDefragDoneText =
    "Maintenance cannot monitor this program automatically!\r\n\r\n"
    "When the program is finished, you must click OK for maintenance to continue!";
constexpr std::string_view kDefragDoneTitle = "Defrag Complete?";

constexpr std::string_view kRegistryStatus = "Optimizing Registry. . .";
constexpr std::string_view kRegistryTip = "Registry is now being optimized. . .";

} // namespace

std::optional<RunStep> RouteAfterSkipChoice(const RunFlags& flags) {
    if (flags.scanDiskActive) {
        return RunStep::PerformanceGroup;
    }
    if (flags.defragActive) {
        return RunStep::Defrag;
    }
    if (flags.cleanupActive) {
        return RunStep::Cleanup;
    }
    return std::nullopt;
}

RunStep RouteAfterInstallPrompt(const RunFlags& flags) {
    if (flags.scanDiskActive) {
        return RunStep::PerformanceGroup;
    }
    if (flags.defragActive) {
        return RunStep::Defrag;
    }
    if (flags.cleanupActive) {
        return RunStep::CleanupAfterLaunch;
    }
    return RunStep::FinishAfterFailure;
}

MaintenanceRun::MaintenanceRun(frmMaintenance& form, const AppPorts& ports, RunPorts run)
    : form_(form), ports_(ports), run_(run), tray_(form.View().Tray()), settings_(ports.registry) {
    form_.MyTimer.OnTimer([this] { MyTimer_Timer(); });
}

MaintenanceRun::~MaintenanceRun() {
    form_.MyTimer.OnTimer(nullptr);
}

void MaintenanceRun::Start() {
    if (!form_.cmdStart.Enabled() || ports_.flags.maintenanceRunning) {
        return;
    }
    if (!Validate()) {
        return;
    }
    // Whatever ends the run early, the machine is left as it was found: a quit puts it back
    // before the waits unwind, any other error as the run unwinds.
    putBackOnQuit_ = ports_.runtime.OnQuit([this] { PutBack(); });
    struct Unwind {
        explicit Unwind(MaintenanceRun& owner) : run(owner) {}
        Unwind(const Unwind&) = delete;
        Unwind& operator=(const Unwind&) = delete;
        MaintenanceRun& run;
        ~Unwind() {
            if (run.screenSaverOff_ || run.priorityRaised) {
                run.ports_.flags.maintenanceRunning = false;
                try {
                    run.PutBack();
                } catch (...) {
                    // Best effort while another error is on its way out.
                }
            }
            run.putBackOnQuit_.Release();
        }
    } unwind(*this);

    Prepare();
    RunStep step = form_.optSpace.Value() || form_.chkAllSpaceOptions.Checked()
                       ? RunStep::DiskSpaceGroup
                       : RunStep::PerformanceGroup;
    while (step != RunStep::Done) {
        step = Run(step);
    }
}

RunStep MaintenanceRun::Run(RunStep step) {
    switch (step) {
    case RunStep::DiskSpaceGroup:
        return DiskSpaceGroup();
    case RunStep::Cleanup:
        return Cleanup(false);
    case RunStep::CleanupAfterLaunch:
        return Cleanup(true);
    case RunStep::TempFolder:
        return TempFolder();
    case RunStep::BrowserCache:
        return BrowserCache();
    case RunStep::AfterDiskSpace:
        return AfterDiskSpace();
    case RunStep::PerformanceGroup:
        return PerformanceGroup();
    case RunStep::ScanDisk:
        return ScanDisk();
    case RunStep::Defrag:
        return Defrag();
    case RunStep::StartupEntries:
        return StartupEntries();
    case RunStep::Finish:
        return Finish();
    case RunStep::FinishAfterFailure:
        FinishRun();
        return RunStep::Done;
    case RunStep::Done:
        break;
    }
    return RunStep::Done;
}

bool MaintenanceRun::Validate() {
    frmMaintenance& f = form_;
    if (!f.optPerformance.Value() && !f.optSpace.Value()) {
        Box(kSelectOption, kOkExclamation, kOopsTitle);
        return false;
    }
    if (f.optPerformance.Value()) {
        if (!f.chkScandisk.Checked() && !f.chkDefrag.Checked() && !f.chkCurrentUser.Checked() &&
            !f.chkLocalMachine.Checked() && !f.chkAllSpaceOptions.Checked() &&
            !f.chkTEMP.Checked()) {
            Box(kSelectPerformance, kOkExclamation, kOopsTitle);
            ports_.flags.maintenanceRunning = false;
            return false;
        }
    } else if (!f.chkCleanup.Checked() && !f.chkCacheHistory.Checked() &&
               !f.chkAllSpeedOptions.Checked() && !f.chkTEMP.Checked()) {
        Box(kSelectSpace, kOkExclamation, kOopsTitle);
        ports_.flags.maintenanceRunning = false;
        return false;
    }
    return true;
}

void MaintenanceRun::Prepare() {
    frmMaintenance& f = form_;
    skipTask = false;
    wasOnTop = 0;
    priorityRaised = false;
    if (f.chkOnTop.Checked()) {
        f.chkOnTop.SetValue(0); // releases the on-top state and stores "No"
        wasOnTop = 1;
    }
    f.chkOnTop.SetEnabled(false);

    if (Box(kPriorityText, mb::kYesNo | mb::kIconExclamation, kPriorityTitle) == answer::kYes) {
        priorityClass = kHighPriorityClass;
        try {
            priorityRaised = ChangePriority(run_.priority, priorityClass);
        } catch (const ProgramError&) {
            // The run goes on at the priority it has.
            priorityRaised = false;
        }
    }
    ports_.flags.maintenanceRunning = true;
    f.cmdStart.SetEnabled(false);
    f.cmdReminder.SetEnabled(false);
    f.cmdHelp.SetEnabled(false);
    tray_.SetIconNumber(kTrayIconWorking);
    for (ui::CheckBox* box :
         {&f.chkScandisk, &f.chkDefrag, &f.chkCurrentUser, &f.chkLocalMachine, &f.chkCleanup,
          &f.chkCacheHistory, &f.chkAllSpaceOptions, &f.chkAllSpeedOptions, &f.chkTEMP}) {
        box->SetEnabled(false);
    }
    tray_.SetTipText(kRunningTip);
    Box(kScreenSaverText, kOkInformation, kScreenSaverTitle);
    screenSaverOff_ = true;
    ports_.system.DisableScreenSaver();
}

RunStep MaintenanceRun::DiskSpaceGroup() {
    if (Box(kRecycleText, mb::kOkCancel | mb::kIconInformation, kRecycleTitle) == answer::kOk) {
        Status(kRecycleTitle);
        ports_.system.EmptyRecycleBin();
    }
    return RunStep::Cleanup;
}

RunStep MaintenanceRun::Cleanup(bool afterInstallPrompt) {
    frmMaintenance& f = form_;
    if (!afterInstallPrompt) {
        if (!f.chkCleanup.Checked() && !(f.chkAllSpaceOptions.Checked() && !skipTask)) {
            return RunStep::TempFolder;
        }
        Box(kCleanupText, kOkInformation, kCleanupTitle);
        ports_.flags.cleanupActive = true;
    }
    // After the install prompt the loop is entered just after the launch, with whatever task it
    // last started (none when the launch failed, so the wait ends at once).
    bool launched = afterInstallPrompt;
    while (launched || !skipTask) {
        if (!launched) {
            cleanupTask_ = run_.programs.Start(kCleanupCommand, WindowStyle::NormalNoFocus);
            if (!cleanupTask_) {
                return LaunchFailed();
            }
        }
        launched = false;
        f.ProgressBar1.SetValue(0);
        f.ProgressBar1.SetMax(10);
        ports_.runtime.Pause(4000);
        Box(kCleanupDoneText, kOkInformation, kCleanupDoneTitle);
        WaitWhileWindowExists(cleanupTask_);
        skipTask = true;
    }
    ports_.flags.cleanupActive = false;
    return RunStep::TempFolder;
}

bool MaintenanceRun::CanClean(const std::string& folder) {
    return !folder.empty() && run_.files.FolderExists(folder) &&
           !IsFolderNeverCleaned(run_.files.FullPath(folder), run_.files.Folders());
}

RunStep MaintenanceRun::TempFolder() {
    frmMaintenance& f = form_;
    if (!f.chkTEMP.Checked() && !f.chkAllSpaceOptions.Checked()) {
        return RunStep::BrowserCache;
    }
    const std::string folder = run_.files.SpecialFolderPath(SpecialFolder::Temporary);
    // A temporary folder set to a drive root or a system folder is never emptied.
    const FolderContents contents =
        CanClean(folder) ? run_.files.Contents(folder) : FolderContents{};
    f.ProgressBar1.SetMax(static_cast<int>(contents.files.size()));
    f.ProgressBar1.SetValue(0);
    for (const FolderItem& file : contents.files) {
        f.ProgressBar1.SetValue(f.ProgressBar1.Value() + 1);
        StatusAndTip("Deleting File: " + file.path);
        if (!run_.files.RemoveFile(file.path)) {
            Status("Skipped Locked File : " + file.name);
        }
        ports_.runtime.Pause(2000);
    }
    f.ProgressBar1.SetMax(10);
    f.ProgressBar1.SetValue(0);
    for (const FolderItem& sub : contents.subFolders) {
        f.ProgressBar1.SetValue(f.ProgressBar1.Value() + 1);
        if (f.ProgressBar1.Value() == f.ProgressBar1.Max()) {
            f.ProgressBar1.SetValue(0);
        }
        StatusAndTip("Deleting Folder: " + sub.path);
        if (!run_.files.RemoveFolder(sub.path)) {
            Status("Skipped Locked Folder : " + sub.name);
        }
        ports_.runtime.Pause(2000);
    }
    f.ProgressBar1.SetValue(f.ProgressBar1.Max());
    Status(kDoneText);
    ports_.runtime.Pause(5000);
    return RunStep::BrowserCache;
}

void MaintenanceRun::CleanCacheFolder(const std::string& folder) {
    const FolderContents contents = run_.files.Contents(folder);
    for (const FolderItem& file : contents.files) {
        Status("Deleting file: " + file.path);
        if (!run_.files.RemoveFile(file.path)) {
            Status("Skipped Locked File : " + file.name);
        }
        ports_.runtime.Pause(2000);
    }
    for (const FolderItem& sub : contents.subFolders) {
        Status("Deleting Folder: " + sub.path);
        if (!run_.files.RemoveFolder(sub.path)) {
            Status("Skipped Locked Folder : " + sub.name);
        }
        ports_.runtime.Pause(2000);
    }
    Status(kDoneText);
    ports_.runtime.Pause(5000);
}

RunStep MaintenanceRun::BrowserCache() {
    frmMaintenance& f = form_;
    if (!f.chkCacheHistory.Checked() && !f.chkAllSpaceOptions.Checked()) {
        return RunStep::AfterDiskSpace;
    }
    const std::string first =
        run_.files.SpecialFolderPath(SpecialFolder::Windows) + "\\Temporary Internet Files";
    if (CanClean(first)) {
        CleanCacheFolder(first);
    }
    // A configured folder naming a root or a system folder is passed over like a missing one.
    const std::string second =
        ports_.registry.ReadRegistryValue(kHkeyLocalMachine, kCachePathsKey, "Directory").Text();
    if (CanClean(second)) {
        CleanCacheFolder(second);
    }
    Status(kInternetOptionsStatus);
    ports_.runtime.Pause(1000);
    ports_.system.OpenInternetOptions();
    Box(kInternetOptionsText, kOkInformation, kInternetOptionsTitle);
    return RunStep::AfterDiskSpace;
}

RunStep MaintenanceRun::AfterDiskSpace() {
    if (form_.optPerformance.Value() || form_.chkAllSpeedOptions.Checked()) {
        skipTask = false;
        return RunStep::PerformanceGroup;
    }
    FinishRun();
    AskRestart();
    return RunStep::Done;
}

const std::vector<MaintenanceRun::KeyScriptRow>& MaintenanceRun::ScanDiskKeyScript() {
    static const std::vector<KeyScriptRow> script = {
        {-1, 13, {"%(A)"}},  {2, 4, {"%(E)", "%(R)"}}, {-1, 5, {"%(D)"}},  {-1, 9, {"%(F)"}},
        {-1, 10, {"%(M)"}},  {-1, 12, {"%(T)"}},       {-1, 16, {"%(X)"}}, {-1, 17, {"%(S)"}},
        {-1, 18, {"{TAB}"}}, {18, 19, {"{ENTER}"}},    {18, 19, {"%(D)"}}, {18, 19, {"%(F)"}},
        {23, 24, {"%(C)"}},  {-1, 0, {"%(C)"}},
    };
    return script;
}

RunStep MaintenanceRun::PerformanceGroup() {
    if (!settings_.PcOptimized()) {
        return OneTimeConfiguration();
    }
    return RunStep::ScanDisk;
}

RunStep MaintenanceRun::OneTimeConfiguration() {
    frmMaintenance& f = form_;
    Box(kNotOptimizedText, kOkExclamation, kNotOptimizedTitle);
    Status(kSpawningAppletStatus);
    f.ProgressBar1.SetValue(f.ProgressBar1.Max() / 2);
    f.chkOnTop.SetValue(0);
    ports_.library.SetShowSystemDialog(kSystemPropertiesDialog);
    const std::int64_t size = VirtualMemorySizeMegabytes(ports_.library.PhysicalMemory());
    Status(kConfiguringStatus);
    Box(std::string(kVirtualMemoryText) + std::to_string(size) + std::string(kVirtualMemoryTextEnd),
        kOkInformation, kVirtualMemoryTitle);
    Box(kCloseAppletText, kOkInformation, kCloseAppletTitle);
    if (!ports_.registry.WriteRegistryValue(kHkeyLocalMachine, kFsTemplatesKey, "", kServerRole)) {
        ShowRegistryError(ports_.messageBox);
        // The program ends here, whatever the close confirmation is answered; the machine is
        // left as the run found it first.
        form_.Unload(ui::UnloadMode::Code);
        ports_.flags.maintenanceRunning = false;
        PutBack();
        ports_.process.EndProcess();
        return RunStep::Done;
    }
    ports_.runtime.Pause(1000);
    Status(kConfiguredStatus);
    f.ProgressBar1.SetValue(f.ProgressBar1.Max());
    settings_.WritePcOptimized();
    Box(kRebootText, kOkInformation, kRebootTitle);
    FinishRun();
    ports_.system.RestartWindows();
    return RunStep::Done;
}

RunStep MaintenanceRun::ScanDisk() {
    frmMaintenance& f = form_;
    if ((!f.chkScandisk.Checked() && !f.chkAllSpeedOptions.Checked()) || skipTask) {
        return RunStep::Defrag;
    }
    RunFlags& flags = ports_.flags;
    flags.scanDiskActive = true;
    if (!settings_.ScanDiskConfigured()) {
        Box(kConfigureScanDiskText, kOkInformation, kConfigureScanDiskTitle);
        Box(kCarefulText, mb::kOk | mb::kIconStop, kCarefulTitle);
        Status(kConfiguringScanDiskStatus);
        const auto options = run_.programs.Start(kScanDiskOptionsCommand, WindowStyle::NormalFocus);
        if (!options || !WindowExists("", options)) {
            return LaunchFailed();
        }
        flags.scanDiskActive = true;
        if (!ReplayScanDiskKeyScript()) {
            f.MyTimer.SetEnabled(false);
            return LaunchFailed();
        }
        f.MyTimer.SetEnabled(false);
        settings_.WriteScanDiskConfigured();
    }
    Box(kRunScanDiskText, kOkInformation, kRunScanDiskTitle);
    StatusAndTip(kScanningStatus);
    // The option script ends with the flag cleared, yet a failure to start the scan must still
    // start the group over like any other ScanDisk failure; no event runs before it is put back.
    const bool activeDuringScan = flags.scanDiskActive;
    flags.scanDiskActive = true;
    const auto scan = run_.programs.Start(kScanDiskScanCommand, WindowStyle::Hidden);
    if (!scan) {
        return LaunchFailed();
    }
    flags.scanDiskActive = activeDuringScan;
    skipTask = false;
    try {
        f.MyTimer.SetEnabled(true);
        f.ProgressBar1.SetMax(kScanBarMax);
        ports_.runtime.WaitUntil([&] {
            if (!WindowExists("", scan)) {
                return true;
            }
            if (f.ProgressBar1.Value() == f.ProgressBar1.Max()) {
                f.ProgressBar1.SetValue(2);
            }
            return false;
        });
    } catch (const std::exception&) {
        f.MyTimer.SetEnabled(false);
        return RunStep::Defrag;
    }
    f.ProgressBar1.SetValue(f.ProgressBar1.Max());
    f.MyTimer.SetEnabled(false);
    flags.scanDiskActive = false;
    return RunStep::Defrag;
}

bool MaintenanceRun::ReplayScanDiskKeyScript() {
    ui::ProgressBar& bar = form_.ProgressBar1;
    bar.SetValue(0);
    bar.SetMax(kKeyScriptMax);
    const auto& script = ScanDiskKeyScript();
    for (std::size_t row = 0; row < script.size(); ++row) {
        const KeyScriptRow& step = script[row];
        if (step.setCounterTo >= 0) {
            bar.SetValue(step.setCounterTo);
        }
        WaitForCounter(step.mark > 0 ? step.mark : bar.Max());
        for (std::string_view keys : step.keys) {
            if (!tidewell::SendKeys(run_.programs, keys)) {
                return false;
            }
        }
        // The last wait runs without bringing ScanDisk forward.
        if (row + 2 == script.size()) {
            ports_.flags.scanDiskActive = false;
        }
    }
    return true;
}

RunStep MaintenanceRun::Defrag() {
    frmMaintenance& f = form_;
    RunFlags& flags = ports_.flags;
    if (skipTask && flags.scanDiskActive) {
        Box(kDefragCancelledText, kOkInformation, kDefragCancelledTitle);
    }
    if ((!f.chkDefrag.Checked() && !f.chkAllSpeedOptions.Checked()) || skipTask) {
        return RunStep::StartupEntries;
    }
    Box(kDefragText, kOkInformation, kDefragTitle);
    StatusAndTip(kDefragStatus);
    flags.defragActive = true;
    if (!run_.programs.Start(kDefragCommand, WindowStyle::MaximizedFocus)) {
        return LaunchFailed();
    }
    skipTask = false;
    Box(kDefragDoneText, mb::kOk | mb::kIconQuestion, kDefragDoneTitle);
    flags.defragActive = false;
    return RunStep::StartupEntries;
}

RunStep MaintenanceRun::StartupEntries() {
    frmMaintenance& f = form_;
    if (!f.chkCurrentUser.Checked() && !(f.chkAllSpeedOptions.Checked() && !skipTask) &&
        !(f.chkLocalMachine.Checked() && !skipTask)) {
        return RunStep::Finish;
    }
    Status(kRegistryStatus);
    tray_.SetTipText(kRegistryTip);
    try {
        if (ShowStartupEntriesEditor(ports_, run_.entries, f.chkCurrentUser, f.chkLocalMachine)) {
            // Cleared before the editor is shown; nothing reads it while the editor is open.
            skipTask = false;
        }
    } catch (const RegistryLibraryError&) {
        // The registry library missing or failing is met like any utility that cannot start.
        return LaunchFailed();
    }
    return RunStep::Finish;
}

RunStep MaintenanceRun::Finish() {
    FinishRun();
    if (skipTask || ports_.flags.scanDiskActive || ports_.flags.defragActive) {
        form_.ProgressBar1.SetValue(form_.ProgressBar1.Max());
    }
    AskRestart();
    return RunStep::Done;
}

void MaintenanceRun::FinishRun() {
    frmMaintenance& f = form_;
    ports_.flags.maintenanceRunning = false;
    PutBack();
    putBackOnQuit_.Release();
    f.cmdReminder.SetEnabled(true);
    tray_.SetIconNumber(kTrayIconDone);
    Status(kCompleteStatus);
    f.chkOnTop.SetEnabled(true);
    if (wasOnTop == 1) {
        f.chkOnTop.SetValue(1);
    }
}

// Priority back to normal, then the screen saver on: each only if the run changed it, and once.
void MaintenanceRun::PutBack() {
    if (priorityRaised) {
        priorityRaised = false;
        priorityClass = kNormalPriorityClass;
        try {
            ChangePriority(run_.priority, priorityClass);
        } catch (const ProgramError&) {
            // The run ends at the priority it has.
        }
    }
    if (screenSaverOff_) {
        screenSaverOff_ = false;
        ports_.system.EnableScreenSaver();
    }
}

void MaintenanceRun::AskRestart() {
    if (Box(kRestartText, mb::kYesNo | mb::kIconInformation, kRestartTitle) == answer::kYes) {
        ports_.system.RestartWindows();
    }
}

RunStep MaintenanceRun::LaunchFailed() {
    if (Box(kCouldNotStartText, mb::kYesNo | mb::kIconQuestion, kCouldNotStartTitle) !=
        answer::kYes) {
        if (Box(kStartOverText, mb::kOkCancel | mb::kIconInformation, kStartOverTitle) ==
            answer::kCancel) {
            skipTask = true;
        }
        if (const auto next = RouteAfterSkipChoice(ports_.flags)) {
            return *next;
        }
    }
    ports_.library.SetShowSystemDialog(kInstallProgramsDialog);
    Box(kInstalledText, mb::kOk, kInstalledTitle);
    return RouteAfterInstallPrompt(ports_.flags);
}

bool MaintenanceRun::WindowExists(std::string_view title, const std::optional<TaskId>& task) {
    return tidewell::WindowExists(run_.programs, title, task);
}

void MaintenanceRun::WaitWhileWindowExists(const std::optional<TaskId>& task) {
    ports_.runtime.WaitUntil([&] { return !WindowExists("", task); });
}

void MaintenanceRun::WaitForCounter(int mark) {
    ui::Timer& timer = form_.MyTimer;
    ports_.runtime.WaitUntil(
        [&] {
            if (form_.ProgressBar1.Value() == mark) {
                return true;
            }
            timer.SetEnabled(true);
            return false;
        },
        timer.Interval());
}

void MaintenanceRun::MyTimer_Timer() {
    try {
        if (ports_.flags.maintenanceRunning && ports_.flags.scanDiskActive) {
            WindowExists(kScanDiskTitle, std::nullopt);
        }
        ui::ProgressBar& bar = form_.ProgressBar1;
        if (bar.Value() + 1 <= bar.Max()) {
            bar.SetValue(bar.Value() + 1);
        }
    } catch (const std::exception&) {
        // Every error of the tick is ignored.
    }
}

void MaintenanceRun::Status(std::string_view text) {
    form_.StatusBar1.SetPanelText(std::string(text));
}

void MaintenanceRun::StatusAndTip(std::string_view text) {
    Status(text);
    tray_.SetTipText(text);
}

int MaintenanceRun::Box(std::string_view text, unsigned flags, std::string_view title) {
    return ports_.messageBox.Show(text, flags, title);
}

} // namespace tidewell
