// The disk-space group: Recycle Bin, Disk Cleanup, the temporary folder and the browser cache.
#include "controls/RegistryValueControl.h"
#include "controls/SystemHelperControl.h"
#include "controls/TrayIconControl.h"
#include "main/frmMaintenance.h"
#include "run/FolderSafety.h"
#include "run/MaintenanceRun.h"
#include "run/RunTexts.h"

#include <string>

namespace tidewell {

using namespace runtext;

namespace {

constexpr std::string_view kRecycleTask = "Recycle Bin";
constexpr std::string_view kCleanupTask = "Disk Cleanup";
constexpr std::string_view kTempTask = "Temporary folder";
constexpr std::string_view kCacheTask = "Browser cache";

} // namespace

RunStep MaintenanceRun::DiskSpaceGroup() {
    if (Box(kRecycleText, mb::kOkCancel | mb::kIconInformation, kRecycleTitle) == answer::kOk) {
        log_.TaskStarted(kRecycleTask);
        Status(kRecycleTitle);
        ports_.system.EmptyRecycleBin();
    } else {
        log_.TaskSkipped(kRecycleTask, "cancelled by the user");
    }
    return RunStep::Cleanup;
}

RunStep MaintenanceRun::Cleanup(bool afterInstallPrompt) {
    frmMaintenance& f = form_;
    if (!afterInstallPrompt) {
        if (!options_.cleanup && !(options_.allSpace && !skipTask)) {
            log_.TaskSkipped(kCleanupTask, skipTask ? "skipped by the user" : "not selected");
            return RunStep::TempFolder;
        }
        Box(kCleanupText, kOkInformation, kCleanupTitle);
        launch.cleanupActive = true;
        log_.TaskStarted(kCleanupTask);
    }
    // After the install prompt the loop is entered just after the launch, with whatever task it
    // last started (none when the launch failed, so the wait ends at once).
    bool launched = afterInstallPrompt;
    while (launched || !skipTask) {
        if (!launched) {
            cleanupTask_ =
                run_.programs.Start(MaintenanceRun::kCleanupCommand, WindowStyle::NormalNoFocus);
            if (!cleanupTask_) {
                log_.TaskFailed(kCleanupTask, "could not start " + std::string(kCleanupCommand));
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
    launch.cleanupActive = false;
    return RunStep::TempFolder;
}

bool MaintenanceRun::CanClean(const std::string& folder) {
    if (folder.empty() || !run_.files.FolderExists(folder)) {
        return false;
    }
    if (IsFolderNeverCleaned(run_.files.FullPath(folder), run_.files.Folders())) {
        log_.Kept(folder, KeptReason::ProtectedFolder);
        return false;
    }
    return true;
}

void MaintenanceRun::CleanFolder(const FolderContents& contents, const CleanStyle& style) {
    ui::ProgressBar& bar = form_.ProgressBar1;
    const auto statusOf = [&](const std::string& text) {
        style.moveBarAndTip ? StatusAndTip(text) : Status(text);
    };
    if (style.moveBarAndTip) {
        bar.SetMax(static_cast<int>(contents.files.size()));
        bar.SetValue(0);
    }
    for (const FolderItem& file : contents.files) {
        if (style.moveBarAndTip) {
            bar.SetValue(bar.Value() + 1);
        }
        statusOf(std::string(style.fileStatus) + file.path);
        const Removal removal = run_.files.RemoveFile(file.path);
        log_.Record(removal);
        if (!removal) {
            Status("Skipped Locked File : " + file.name);
        }
        ports_.runtime.Pause(2000);
    }
    if (style.moveBarAndTip) {
        bar.SetMax(10);
        bar.SetValue(0);
    }
    for (const FolderItem& sub : contents.subFolders) {
        if (style.moveBarAndTip) {
            bar.SetValue(bar.Value() + 1);
            if (bar.Value() == bar.Max()) {
                bar.SetValue(0);
            }
        }
        statusOf("Deleting Folder: " + sub.path);
        const Removal removal = run_.files.RemoveFolder(sub.path);
        log_.Record(removal);
        if (!removal) {
            Status("Skipped Locked Folder : " + sub.name);
        }
        ports_.runtime.Pause(2000);
    }
    if (style.moveBarAndTip) {
        bar.SetValue(bar.Max());
    }
    Status(kDoneText);
    ports_.runtime.Pause(5000);
}

RunStep MaintenanceRun::TempFolder() {
    if (!options_.temp && !options_.allSpace) {
        log_.TaskSkipped(kTempTask, "not selected");
        return RunStep::BrowserCache;
    }
    const std::string folder = run_.files.SpecialFolderPath(SpecialFolder::Temporary);
    log_.TaskStarted(std::string(kTempTask) + ": " + folder);
    // A temporary folder set to a drive root or a system folder is never emptied.
    CleanFolder(CanClean(folder) ? run_.files.Contents(folder) : FolderContents{},
                CleanStyle{"Deleting File: ", true});
    return RunStep::BrowserCache;
}

RunStep MaintenanceRun::BrowserCache() {
    if (!options_.cacheHistory && !options_.allSpace) {
        log_.TaskSkipped(kCacheTask, "not selected");
        return RunStep::AfterDiskSpace;
    }
    log_.TaskStarted(kCacheTask);
    const std::string first =
        run_.files.SpecialFolderPath(SpecialFolder::Windows) + "\\Temporary Internet Files";
    // A configured folder naming a root, a system folder or the user's own is passed over like a
    // missing one.
    const std::string second =
        ports_.registry.ReadRegistryValue(kHkeyLocalMachine, kCachePathsKey, "Directory").Text();
    for (const std::string& folder : {first, second}) {
        if (CanClean(folder)) {
            CleanFolder(run_.files.Contents(folder), CleanStyle{"Deleting file: ", false});
        }
    }
    Status(kInternetOptionsStatus);
    ports_.runtime.Pause(1000);
    ports_.system.OpenInternetOptions();
    Box(kInternetOptionsText, kOkInformation, kInternetOptionsTitle);
    return RunStep::AfterDiskSpace;
}

RunStep MaintenanceRun::AfterDiskSpace() {
    if (options_.performance || options_.allSpeed) {
        skipTask = false;
        return RunStep::PerformanceGroup;
    }
    FinishRun();
    AskRestart();
    return RunStep::Done;
}

} // namespace tidewell
