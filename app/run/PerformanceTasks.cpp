// The performance group: the one-time configuration, ScanDisk, Defrag and the startup-entries
// editor.
#include "controls/LibraryHelperControl.h"
#include "controls/RegistryValueControl.h"
#include "controls/SystemHelperControl.h"
#include "controls/TrayIconControl.h"
#include "settings/RegistryErrorMessage.h"
#include "main/frmMaintenance.h"
#include "ports/Process.h"
#include "run/MaintenanceRun.h"
#include "run/RunTexts.h"
#include "run/WindowExists.h"
#include "run/VirtualMemorySize.h"
#include "startup_entries/RegistryObjects.h"
#include "startup_entries/StartupEntriesEditor.h"

#include <string>

namespace tidewell {

using namespace runtext;

namespace {

constexpr std::string_view kConfigurationTask = "One-time configuration";
constexpr std::string_view kScanDiskTask = "ScanDisk";
constexpr std::string_view kDefragTask = "Defrag";
constexpr std::string_view kEntriesTask = "Startup entries";

} // namespace

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
    log_.TaskStarted(kConfigurationTask);
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
        log_.TaskFailed(kConfigurationTask, "the \"Server\" role could not be written");
        // The program ends here: no close question, whose answer would be ignored. What the run
        // changed is put back first.
        PutBackAll("ended by the registry error");
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
    if ((!options_.scanDisk && !options_.allSpeed) || skipTask) {
        log_.TaskSkipped(kScanDiskTask, skipTask ? "skipped by the user" : "not selected");
        return RunStep::Defrag;
    }
    LaunchFlags& flags = launch;
    flags.scanDiskActive = true;
    log_.TaskStarted(kScanDiskTask);
    if (!settings_.ScanDiskConfigured()) {
        Box(kConfigureScanDiskText, kOkInformation, kConfigureScanDiskTitle);
        Box(kCarefulText, mb::kOk | mb::kIconStop, kCarefulTitle);
        Status(kConfiguringScanDiskStatus);
        const auto options = run_.programs.Start(kScanDiskOptionsCommand, WindowStyle::NormalFocus);
        if (!options || !WindowExists("", options)) {
            log_.TaskFailed(kScanDiskTask,
                            "could not start " + std::string(kScanDiskOptionsCommand));
            return LaunchFailed();
        }
        flags.scanDiskActive = true;
        const bool replayed = ReplayScanDiskKeyScript();
        f.MyTimer.SetEnabled(false);
        if (!replayed) {
            log_.TaskFailed(kScanDiskTask, "its window refused the keys");
            // Also at the last row, where the flag is already cleared: the group starts over.
            flags.scanDiskActive = true;
            return LaunchFailed();
        }
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
        log_.TaskFailed(kScanDiskTask, "could not start " + std::string(kScanDiskScanCommand));
        return LaunchFailed();
    }
    flags.scanDiskActive = activeDuringScan;
    skipTask = false;
    return WaitForScan(*scan);
}

RunStep MaintenanceRun::WaitForScan(TaskId scan) {
    frmMaintenance& f = form_;
    const std::optional<TaskId> task = scan;
    try {
        f.MyTimer.SetEnabled(true);
        f.ProgressBar1.SetMax(kScanBarMax);
        cycleScanBar_ = true;
        WaitWhileWindowExists(task);
    } catch (const std::exception&) {
        cycleScanBar_ = false;
        f.MyTimer.SetEnabled(false);
        log_.TaskFailed(kScanDiskTask, "its window could not be watched");
        return RunStep::Defrag;
    }
    cycleScanBar_ = false;
    f.ProgressBar1.SetValue(f.ProgressBar1.Max());
    f.MyTimer.SetEnabled(false);
    launch.scanDiskActive = false;
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
            launch.scanDiskActive = false;
        }
    }
    return true;
}

RunStep MaintenanceRun::Defrag() {
    LaunchFlags& flags = launch;
    if (skipTask && flags.scanDiskActive) {
        Box(kDefragCancelledText, kOkInformation, kDefragCancelledTitle);
    }
    if ((!options_.defrag && !options_.allSpeed) || skipTask) {
        log_.TaskSkipped(kDefragTask,
                         skipTask ? "skipped: ScanDisk or Defrag did not run" : "not selected");
        return RunStep::StartupEntries;
    }
    Box(kDefragText, kOkInformation, kDefragTitle);
    StatusAndTip(kDefragStatus);
    flags.defragActive = true;
    log_.TaskStarted(kDefragTask);
    if (!run_.programs.Start(kDefragCommand, WindowStyle::MaximizedFocus)) {
        log_.TaskFailed(kDefragTask, "could not start " + std::string(kDefragCommand));
        return LaunchFailed();
    }
    skipTask = false;
    Box(kDefragDoneText, mb::kOk | mb::kIconQuestion, kDefragDoneTitle);
    flags.defragActive = false;
    return RunStep::StartupEntries;
}

RunStep MaintenanceRun::StartupEntries() {
    frmMaintenance& f = form_;
    if (!options_.currentUser && !(options_.allSpeed && !skipTask) &&
        !(options_.localMachine && !skipTask)) {
        log_.TaskSkipped(kEntriesTask, skipTask ? "skipped by the user" : "not selected");
        return RunStep::Finish;
    }
    Status(kRegistryStatus);
    tray_.SetTipText(kRegistryTip);
    log_.TaskStarted(kEntriesTask);
    try {
        if (ShowStartupEntriesEditor(ports_, run_.entries, f.chkCurrentUser, f.chkLocalMachine) ==
            EditorOutcome::Finished) {
            // Cleared before the editor is shown; nothing reads it while the editor is open.
            skipTask = false;
        }
    } catch (const RegistryLibraryError& error) {
        // Not a program that failed to start: there is nothing to install, and starting over
        // would meet the same failure. The step is skipped and the run finishes.
        log_.TaskFailed(kEntriesTask, error.what());
        Box(std::string(kLibraryFailureText) + "\r\n" + error.what() + "\r\n" +
                std::string(kLibraryFailureEnd),
            kOkExclamation, kLibraryFailureTitle);
    }
    return RunStep::Finish;
}

} // namespace tidewell
