#pragma once

#include "settings/Settings.h"
#include "ports/AppPorts.h"
#include "run/FilesPort.h"
#include "run/ProgramsPort.h"
#include "run/RunLog.h"
#include "ui/Runtime.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tidewell {

class FilesPort;
class ProcessPriorityPort;
class ProgramsPort;
class TrayIconControl;
class frmMaintenance;
struct StartupEntriesPorts;

// The run's own ports, beside the program-wide ones.
struct RunPorts {
    ProgramsPort& programs;
    FilesPort& files;
    ProcessPriorityPort& priority;
    const StartupEntriesPorts& entries; // the startup-entries editor's
};

// Where the run goes next. The run is a loop over these steps; launch failures route back into
// it through RouteAfterSkipChoice / RouteAfterInstallPrompt.
enum class RunStep {
    DiskSpaceGroup,     // the group's entry: Recycle Bin first
    Cleanup,            // Disk Cleanup's gate, its start message and its launch loop
    CleanupAfterLaunch, // Disk Cleanup just after its launch: progress, pause, prompt, wait
    TempFolder,         // the temporary folder's gate and task
    BrowserCache,       // the browser cache's gate and task
    AfterDiskSpace,     // on to the performance group, or finish
    PerformanceGroup,   // the group's start: the one-time configuration when due, else on
    ScanDisk,           // ScanDisk's gate, its option script, the scan and its wait
    Defrag,             // the Defrag step (also where a failed scan wait goes)
    StartupEntries,     // the startup-entries editor's gate and step
    Finish,             // FinishRun, then the restart question
    FinishAfterFailure, // FinishRun after the install prompt with no task to return to
    Done,
};

// The options chosen when Start was pressed; the run reads these, never the boxes.
struct RunOptions {
    bool space = false;       // optSpace
    bool performance = false; // optPerformance
    bool temp = false;        // chkTEMP
    bool cacheHistory = false;
    bool cleanup = false;
    bool allSpeed = false; // chkAllSpeedOptions
    bool scanDisk = false;
    bool defrag = false;
    bool currentUser = false;
    bool localMachine = false;
    bool allSpace = false; // chkAllSpaceOptions
    static RunOptions Of(frmMaintenance& form);
};

// Which utility the run is launching or waiting for; all false at program start, kept from one
// run to the next like the rest of the run's state.
struct LaunchFlags {
    bool scanDiskActive = false;
    bool defragActive = false;
    bool cleanupActive = false;
};

// Where a launch failure continues, by the first launch flag that is set (scanDiskActive,
// defragActive, cleanupActive). After the skip/start-over choice with none set: nothing (the
// install prompt follows).
std::optional<RunStep> RouteAfterSkipChoice(const LaunchFlags& flags);
RunStep RouteAfterInstallPrompt(const LaunchFlags& flags);

// The maintenance run behind "Start &With Selected Options": validation, preparation, the tasks
// in order with their gates, launch failures, FinishRun and the restart question, all inside one
// call on the user-interface thread. Every wait lets window events run; a quit during a wait ends
// the run at once (ui::ProgramQuitting) after the put-back (PutBackGuard). Any other error ends the
// run with one message naming it and the window as after a finished run. Each run appends to
// RunLog. The run's steps live in MaintenanceRun.cpp (validation, preparation, the step loop,
// routing, finishing), DiskSpaceTasks.cpp and PerformanceTasks.cpp.
class MaintenanceRun {
public:
    static constexpr std::string_view kCleanupCommand = "c:\\windows\\cleanmgr.exe";
    static constexpr std::string_view kCachePathsKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths\\";
    static constexpr std::string_view kDoneText =
        "Done.  Please Wait While Cleanup Is Completed . .";
    static constexpr std::string_view kScanDiskOptionsCommand = "c:\\windows\\scandskw.exe";
    static constexpr std::string_view kScanDiskScanCommand = "C:\\windows\\scandskw.exe c:/n";
    static constexpr std::string_view kDefragCommand = "C:\\windows\\defrag c:";
    static constexpr std::string_view kFsTemplatesKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FS Templates\\";
    static constexpr std::int32_t kSystemPropertiesDialog = 43;
    // The scan wait's bar: up to this, then back to 2, while ScanDisk runs.
    static constexpr int kScanBarMax = 60;

    // One row of ScanDisk's option script: optionally set the seconds counter, wait until it
    // reaches the mark (0: the bar's Max), then send the keys in order.
    struct KeyScriptRow {
        int setCounterTo; // -1: leave it
        int mark;
        std::vector<std::string_view> keys;
    };
    static const std::vector<KeyScriptRow>& ScanDiskKeyScript();

    // Takes over the form's MyTimer tick.
    MaintenanceRun(frmMaintenance& form, const AppPorts& ports, RunPorts run);
    MaintenanceRun(const MaintenanceRun&) = delete;
    MaintenanceRun& operator=(const MaintenanceRun&) = delete;
    ~MaintenanceRun();

    // cmdStart_Click: the whole run. Refused while the Start button is disabled (during a run and
    // after one: a run starts at most once per start of the program, also from the tray).
    void Start();

    // The one-second tick: brings "ScanDisk" forward while a run configures or runs it, and
    // counts the seconds on the progress bar, which stays at Max (during the scan wait it starts
    // again at 2). Never raises.
    void MyTimer_Timer();

    // The launch-and-wait helpers the tasks use.
    bool WindowExists(std::string_view title, const std::optional<TaskId>& task);
    // Until the task shows no window any more.
    void WaitWhileWindowExists(const std::optional<TaskId>& task);
    // Until the seconds counter has reached `mark` (it may pass it between two looks), with
    // MyTimer on.
    void WaitForCounter(int mark);
    // The launch-failure dialogs, then where the run goes on.
    RunStep LaunchFailed();

    // Run-local state (the tests look at it).
    bool skipTask = false;
    LaunchFlags launch;
    std::int16_t wasOnTop = 0;
    bool priorityRaised = false;
    std::int32_t priorityClass = 0;

    // What the run changed on the machine and the window, put back once: the priority, the screen
    // saver and "Keep On Top" (box and stored value). Armed for the run; a quit puts back before
    // the waits unwind, leaving the scope puts back whatever is still changed.
    class PutBackGuard {
    public:
        explicit PutBackGuard(MaintenanceRun& run);
        PutBackGuard(const PutBackGuard&) = delete;
        PutBackGuard& operator=(const PutBackGuard&) = delete;
        ~PutBackGuard();

    private:
        MaintenanceRun& run_;
        ui::Runtime::QuitHook onQuit_;
    };

private:
    RunStep Run(RunStep step);
    bool Validate();
    void Prepare();
    RunStep DiskSpaceGroup();
    RunStep Cleanup(bool afterInstallPrompt);
    RunStep TempFolder();
    RunStep BrowserCache();
    // Deletes what `folder` holds, item by item, with the status, pauses and skip rules of both
    // folder tasks; the temporary folder's also moves the bar and the tray tip.
    struct CleanStyle {
        std::string_view fileStatus;
        bool moveBarAndTip;
    };
    void CleanFolder(const FolderContents& contents, const CleanStyle& style);
    // The folder when it exists and is not one no cleaning touches (logged as left alone).
    bool CanClean(const std::string& folder);
    RunStep AfterDiskSpace();
    RunStep PerformanceGroup();
    RunStep OneTimeConfiguration();
    RunStep ScanDisk();
    RunStep WaitForScan(TaskId scan);
    bool ReplayScanDiskKeyScript();
    RunStep Defrag();
    RunStep StartupEntries();
    RunStep Finish();
    void FinishRun();
    void AskRestart();
    void EndedByError(std::string_view what);
    // Each once: the priority and the screen saver; then "Keep On Top".
    void PutBackMachine();
    void PutBackOnTop();
    void PutBackAll(std::string_view how);

    void Status(std::string_view text);
    void StatusAndTip(std::string_view text);
    int Box(std::string_view text, unsigned flags, std::string_view title);

    frmMaintenance& form_;
    AppPorts ports_;
    RunPorts run_;
    TrayIconControl& tray_;
    Settings settings_;
    RunLog log_;
    RunOptions options_;
    std::optional<TaskId> cleanupTask_;
    bool screenSaverOff_ = false;
    bool onTopTaken_ = false;   // "Keep On Top" was unchecked by the run and not yet put back
    bool cycleScanBar_ = false; // during the scan wait the tick brings the bar back from Max to 2
};

} // namespace tidewell
