#pragma once

#include "ports/MessageBox.h"

#include <cstdint>
#include <string_view>

// The run's message-box texts, titles and status lines, exactly as the user sees them.
namespace tidewell::runtext {

inline constexpr unsigned kOkExclamation = mb::kOk | mb::kIconExclamation;
inline constexpr unsigned kOkInformation = mb::kOk | mb::kIconInformation;

inline constexpr std::string_view kOopsTitle = "Oops!";
inline constexpr std::string_view kSelectOption = "You Must Select An Option First!";
inline constexpr std::string_view kSelectPerformance =
    "You must select Performance Options For Maintenance To Start!";
inline constexpr std::string_view kSelectSpace =
    "You must select Disk Space Options For Maintenance To Start!";

inline constexpr std::string_view kPriorityText =
    "Would You Like To Change The Processor Priority Of Maintenance?\r\n"
    "                 This Can Speed Up Your Maintenance Tasks.\r\n\r\n"
    "                  If You're Unsure About This, Just Click No!";
inline constexpr std::string_view kPriorityTitle = "Change Priority?";
inline constexpr std::string_view kRunningTip = "Maintenance routines are being performed. . .";
inline constexpr std::string_view kScreenSaverText =
    "Your Screen Saver Will Be Disabled During This Session!";
inline constexpr std::string_view kScreenSaverTitle = "Notice!";

inline constexpr std::string_view kRecycleText =
    "Your Recycle Bin Will Be Emptied Now!\r\nClick Cancel To NOT Empty The Recycle Bin.";
inline constexpr std::string_view kRecycleTitle = "Emptying Recycle Bin. . .";

inline constexpr std::string_view kCleanupText =
    "Disk Cleanup Will Now Commence!  Click OK To Continue"
    "\r\nPlease Refrain From Using Your PC Until Cleanup Is "
    "Done!";
inline constexpr std::string_view kCleanupTitle = "Disk Cleanup Starting. . .";
inline constexpr std::string_view kCleanupDoneText =
    "Please Click OK When You Have Finished Disk Cleanup!";
inline constexpr std::string_view kCleanupDoneTitle = "Disk Cleanup Complete?";

inline constexpr std::string_view kInternetOptionsStatus = "Spawning Internet Options Applet. . .";
inline constexpr std::string_view kInternetOptionsText =
    "Tidewell! doesn't delete your internet cookies!\r\n"
    "To delete the Cookies, and other leftovers, click 'Delete Files', and then 'Clear "
    "History'.\r\n"
    "To Continue With Tidewell! Click OK.";
inline constexpr std::string_view kInternetOptionsTitle = "Internet Options Applet. . .";

inline constexpr std::string_view kCouldNotStartText =
    "Maintenance could not start the program.  It may not be installed.\r\n"
    "Would you like to check/install it now?";
inline constexpr std::string_view kCouldNotStartTitle = "Couldn't Start Program";
inline constexpr std::string_view kStartOverText =
    "Click OK to start over or cancel to skip this task";
inline constexpr std::string_view kStartOverTitle = "Continue or Cancel?";
inline constexpr std::string_view kInstalledText = "Click OK When You've Installed The Program";
inline constexpr std::string_view kInstalledTitle = "Program Installed?";
inline constexpr std::int32_t kInstallProgramsDialog = 9;

inline constexpr std::string_view kRestartText =
    "Maintenance Has Been Completed!  Your Screen Saver Is Re-Enabled.\r\n"
    "Some Of The Maintenance Procedure Require A Restart.  Do You want To Restart Now?";
inline constexpr std::string_view kRestartTitle = "Restart?";
inline constexpr std::string_view kCompleteStatus = "Maintenance Complete!";

inline constexpr std::string_view kScanDiskTitle = "ScanDisk";

inline constexpr std::string_view kNotOptimizedText =
    "Your System Is NOT Conifgured For Optimal Performance!\r\n"
    "Maintenance Will Now Configure It For Optimal Performance.\r\n"
    "Please Wait While This Procedure Is Performed.\r\n"
    "Do Not Be Alarmed As The Procedure Has Been Tested!";
inline constexpr std::string_view kNotOptimizedTitle = "Configuration Not Optimized!";
inline constexpr std::string_view kSpawningAppletStatus = "Spawning System Applet. . .";
inline constexpr std::string_view kConfiguringStatus =
    "Configuring System For Best Performance. . .";
inline constexpr std::string_view kVirtualMemoryText =
    "You Will Only Have To Do This Once!\r\n"
    "Please Click Virtual Memory, And Then:\r\n"
    "1. Select 'Let Me Specify My Own Settings'\r\n"
    "2. In the Minimum and Maximum boxes Type In: ";
inline constexpr std::string_view kVirtualMemoryTextEnd = "\r\n\r\nClick OK When You're Done";
inline constexpr std::string_view kVirtualMemoryTitle = "Setting Virtual Memory. .";
inline constexpr std::string_view kCloseAppletText =
    "Please Click Close On The Virtual Memory Applet Now!\r\n"
    "Click OK When You're Done.\r\n"
    "When Prompted To Reboot, Click 'NO'";
inline constexpr std::string_view kCloseAppletTitle = "Close System Applet!";
inline constexpr std::string_view kServerRole = "Server";
inline constexpr std::string_view kConfiguredStatus = "System Configured!";
inline constexpr std::string_view kRebootText =
    "Your PC Must Be Restarted For The Changes To Take Effect!\r\n"
    "Please Ignore All Reboot Messages From Windows!\r\n"
    "Maintenance Will Reboot Your Machine!";
inline constexpr std::string_view kRebootTitle = "REBOOT REQUIRED!";

inline constexpr std::string_view kConfigureScanDiskText =
    "Maintenance will now configure scandisk for best performance. . .";
inline constexpr std::string_view kConfigureScanDiskTitle = "Click OK To Continue!";
inline constexpr std::string_view kCarefulText =
    "Please DON'T interfere with this process as it will "
    "cause your PC to behave erractically!";
inline constexpr std::string_view kCarefulTitle = "BE CAREFUL";
inline constexpr std::string_view kConfiguringScanDiskStatus =
    "Configuring Scandisk.  Please Wait. . . .";
inline constexpr std::string_view kRunScanDiskText =
    "Maintenance will now run scandisk for best performance. . .";
inline constexpr std::string_view kRunScanDiskTitle = "Click OK to continue";
inline constexpr std::string_view kScanningStatus = "Scanning Hard Disk For Errors. . .";
inline constexpr int kKeyScriptMax = 25;

inline constexpr std::string_view kDefragCancelledText =
    "Defrag will not run because ScanDisk didn't complete!";
inline constexpr std::string_view kDefragCancelledTitle = "Defrag CANCELLED!";
inline constexpr std::string_view kDefragText =
    "Your Hard Disk Will Now Be Defragmented!\r\n\r\n"
    "This Process May Take Between 40 Minutes And 3 Hours\r\n"
    "Depending On The Size Of Your Hard Disk, And How Many Programs You Have Running.";
inline constexpr std::string_view kDefragTitle = "Please Be Patient!";
inline constexpr std::string_view kDefragStatus = "Defragmenting File System. . .";
inline constexpr std::string_view kDefragDoneText =
    "Maintenance cannot monitor this program automatically!\r\n\r\n"
    "When the program is finished, you must click OK for maintenance to continue!";
inline constexpr std::string_view kDefragDoneTitle = "Defrag Complete?";

inline constexpr std::string_view kRegistryStatus = "Optimizing Registry. . .";
inline constexpr std::string_view kRegistryTip = "Registry is now being optimized. . .";

// Beyond the fixed texts: an editor step that cannot load, and an error that ends a run.
inline constexpr std::string_view kLibraryFailureText = "The Startup Entries Could Not Be Loaded!";
inline constexpr std::string_view kLibraryFailureEnd = "Maintenance Will Skip This Step.";
inline constexpr std::string_view kLibraryFailureTitle = "Startup Entries Skipped!";
inline constexpr std::string_view kUnexpectedErrorText =
    "An Unexpected Error Has Stopped Maintenance!";
inline constexpr std::string_view kUnexpectedErrorEnd = "Your Settings Have Been Put Back.";
inline constexpr std::string_view kUnexpectedErrorTitle = "ERROR!";

} // namespace tidewell::runtext
