#include "run/MaintenanceRun.h"

#include "controls/LibraryHelperControl.h"
#include "controls/SystemHelperControl.h"
#include "controls/TrayIconControl.h"
#include "settings/RunFlags.h"
#include "main/frmMaintenance.h"
#include "ports/MessageBox.h"
#include "ports/Process.h"
#include "run/ChangePriority.h"
#include "run/ProgramError.h"
#include "run/RunTexts.h"
#include "run/WindowExists.h"

#include <string>

namespace tidewell {

using namespace runtext;

RunOptions RunOptions::Of(frmMaintenance& f) {
    RunOptions o;
    o.space = f.optSpace.Value();
    o.performance = f.optPerformance.Value();
    o.temp = f.chkTEMP.Checked();
    o.cacheHistory = f.chkCacheHistory.Checked();
    o.cleanup = f.chkCleanup.Checked();
    o.allSpeed = f.chkAllSpeedOptions.Checked();
    o.scanDisk = f.chkScandisk.Checked();
    o.defrag = f.chkDefrag.Checked();
    o.currentUser = f.chkCurrentUser.Checked();
    o.localMachine = f.chkLocalMachine.Checked();
    o.allSpace = f.chkAllSpaceOptions.Checked();
    return o;
}

std::optional<RunStep> RouteAfterSkipChoice(const LaunchFlags& flags) {
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

RunStep RouteAfterInstallPrompt(const LaunchFlags& flags) {
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
    : form_(form), ports_(ports), run_(run), tray_(form.View().Tray()), settings_(ports.registry),
      log_(run.files, ports.process.ExecutableFolder() + "\\" + std::string(RunLog::kFileName)) {
    form_.MyTimer.OnTimer([this] { MyTimer_Timer(); });
}

MaintenanceRun::~MaintenanceRun() {
    form_.MyTimer.OnTimer(nullptr);
}

MaintenanceRun::PutBackGuard::PutBackGuard(MaintenanceRun& run)
    : run_(run), onQuit_(run.ports_.runtime.OnQuit([&run] { run.PutBackAll("stopped"); })) {}

MaintenanceRun::PutBackGuard::~PutBackGuard() {
    try {
        run_.PutBackAll("stopped");
    } catch (...) {
        // Best effort while another error may be on its way out.
    }
}

void MaintenanceRun::Start() {
    if (!form_.cmdStart.Enabled() || ports_.flags.maintenanceRunning) {
        return;
    }
    options_ = RunOptions::Of(form_);
    if (!Validate()) {
        return;
    }
    PutBackGuard putBack(*this);
    try {
        Prepare();
        RunStep step = options_.space || options_.allSpace ? RunStep::DiskSpaceGroup
                                                           : RunStep::PerformanceGroup;
        while (step != RunStep::Done) {
            step = Run(step);
        }
    } catch (const ui::ProgramQuitting&) {
        throw;
    } catch (const std::exception& error) {
        EndedByError(error.what());
    } catch (...) {
        EndedByError("unknown error");
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
    const RunOptions& o = options_;
    if (!o.performance && !o.space) {
        Box(kSelectOption, kOkExclamation, kOopsTitle);
        return false;
    }
    if (o.performance) {
        if (!o.scanDisk && !o.defrag && !o.currentUser && !o.localMachine && !o.allSpace &&
            !o.temp) {
            Box(kSelectPerformance, kOkExclamation, kOopsTitle);
            ports_.flags.maintenanceRunning = false;
            return false;
        }
    } else if (!o.cleanup && !o.cacheHistory && !o.allSpeed && !o.temp) {
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
    log_.RunStarted(options_.space ? "Free Disk Space" : "Optimize Performance");
    if (f.chkOnTop.Checked()) {
        onTopTaken_ = true;
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

RunStep MaintenanceRun::Finish() {
    FinishRun();
    if (skipTask || launch.scanDiskActive || launch.defragActive) {
        form_.ProgressBar1.SetValue(form_.ProgressBar1.Max());
    }
    AskRestart();
    return RunStep::Done;
}

void MaintenanceRun::FinishRun() {
    frmMaintenance& f = form_;
    ports_.flags.maintenanceRunning = false;
    PutBackMachine();
    f.cmdReminder.SetEnabled(true);
    tray_.SetIconNumber(kTrayIconDone);
    Status(kCompleteStatus);
    PutBackOnTop();
    log_.RunEnded("ended");
}

// The window as after a finished run, then one box naming the error.
void MaintenanceRun::EndedByError(std::string_view what) {
    log_.RunEnded("stopped by an error");
    FinishRun();
    form_.MyTimer.SetEnabled(false);
    cycleScanBar_ = false;
    tray_.SetTipText(frmMaintenance::kTrayTip);
    form_.ProgressBar1.SetValue(form_.ProgressBar1.Max());
    Box(std::string(kUnexpectedErrorText) + "\r\n" + std::string(what) + "\r\n" +
            std::string(kUnexpectedErrorEnd),
        mb::kOk | mb::kIconStop, kUnexpectedErrorTitle);
}

void MaintenanceRun::PutBackAll(std::string_view how) {
    ports_.flags.maintenanceRunning = false;
    PutBackMachine();
    PutBackOnTop();
    log_.RunEnded(how);
}

// Priority back to normal, then the screen saver on: each only if the run changed it, and once.
void MaintenanceRun::PutBackMachine() {
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

void MaintenanceRun::PutBackOnTop() {
    frmMaintenance& f = form_;
    f.chkOnTop.SetEnabled(true);
    if (onTopTaken_) {
        onTopTaken_ = false;
        f.chkOnTop.SetValue(1); // takes the on-top state again and stores "Yes"
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
        if (const auto next = RouteAfterSkipChoice(launch)) {
            return *next;
        }
    }
    ports_.library.SetShowSystemDialog(kInstallProgramsDialog);
    Box(kInstalledText, mb::kOk, kInstalledTitle);
    return RouteAfterInstallPrompt(launch);
}

bool MaintenanceRun::WindowExists(std::string_view title, const std::optional<TaskId>& task) {
    return tidewell::WindowExists(run_.programs, title, task);
}

void MaintenanceRun::WaitWhileWindowExists(const std::optional<TaskId>& task) {
    ports_.runtime.WaitUntil([&] { return !WindowExists("", task); });
}

// Two ticks can pass between two looks (inside any nested message loop), so the counter may go
// past the mark: reaching it is enough.
void MaintenanceRun::WaitForCounter(int mark) {
    ui::Timer& timer = form_.MyTimer;
    timer.SetEnabled(true);
    ports_.runtime.WaitUntil([&] { return form_.ProgressBar1.Value() >= mark; }, timer.Interval());
}

void MaintenanceRun::MyTimer_Timer() {
    try {
        if (ports_.flags.maintenanceRunning && launch.scanDiskActive) {
            WindowExists(kScanDiskTitle, std::nullopt);
        }
        ui::ProgressBar& bar = form_.ProgressBar1;
        if (cycleScanBar_ && bar.Value() >= bar.Max()) {
            bar.SetValue(2);
        } else if (bar.Value() + 1 <= bar.Max()) {
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
