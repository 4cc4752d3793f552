// The maintenance run of the installed program, driven from another process: the validation
// messages, a disk-space run over a prepared temporary folder, Disk Cleanup missing and present.
#include "../adapters/RunTestSupport.h"
#include "MainWindowUser.h"

#include "Version.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <chrono>

namespace {

using namespace gui;
using tidewell::test::ScratchFolder;

const std::wstring kCleanmgr = L"C:\\windows\\cleanmgr.exe";
const std::wstring kDone = L"Done.  Please Wait While Cleanup Is Completed . .";
const std::wstring kPriority =
    L"Would You Like To Change The Processor Priority Of Maintenance?\r\n"
    L"                 This Can Speed Up Your Maintenance Tasks.\r\n\r\n"
    L"                  If You're Unsure About This, Just Click No!";
const std::wstring kRestart =
    L"Maintenance Has Been Completed!  Your Screen Saver Is Re-Enabled.\r\nSome Of The "
    L"Maintenance Procedure Require A Restart.  Do You want To Restart Now?";
const std::wstring kCleanupStart = L"Disk Cleanup Will Now Commence!  Click OK To Continue\r\n"
                                   L"Please Refrain From Using Your PC Until Cleanup Is Done!";
const std::wstring kCouldNotStart = L"Maintenance could not start the program.  It may not be "
                                    L"installed.\r\nWould you like to check/install it now?";

std::wstring StandIn(const wchar_t* kind) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L'\\'));
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\standins\\standin_" + kind + L".exe";
}

// The user at the main window (gui::User), starting a run.
class RunUser : public User {
public:
    using User::User;

    void StartWith(const std::wstring& option, std::initializer_list<const wchar_t*> boxes) const {
        ASSERT_TRUE(Click(option));
        for (const wchar_t* box : boxes) {
            ASSERT_TRUE(tidewell::test::Eventually([&] { return Enabled(box); }));
            ASSERT_TRUE(Click(box));
            ASSERT_TRUE(tidewell::test::Eventually([&] { return Checked(box) == 1; }));
        }
        ASSERT_TRUE(Click(L"Start &With Selected Options"));
        Answer(L"Change Priority?", kPriority, IDNO);
        Answer(L"Notice!", L"Your Screen Saver Will Be Disabled During This Session!", IDOK);
        Answer(L"Emptying Recycle Bin. . .", IDCANCEL); // never the bin in these tests
    }
};

void PrepareSettings() {
    DeleteSettingsKey();
    DeleteValue(kRunKey, "PC Maintenance");
    SetSetting("NextRun", "NONE");
    SetSetting("StartInTray", "No");
    SetSetting("Keep On Top", "Yes");
    SetSetting("PC Optimized", "Yes");
}

// The program's temporary folder is one of the test's own.
std::vector<std::pair<std::wstring, std::wstring>> TempIs(const std::wstring& folder) {
    return {{L"TMP", folder}, {L"TEMP", folder}};
}

TEST(MaintenanceRun, ValidationMessages) {
    PrepareSettings();
    InstalledProgram program;
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const RunUser user(program, *main);
    ASSERT_TRUE(user.Click(L"Start &With Selected Options"));
    user.Answer(L"Oops!", L"You Must Select An Option First!", IDOK);
    ASSERT_TRUE(user.Click(L"Optimize &Performance"));
    ASSERT_TRUE(user.Click(L"Start &With Selected Options"));
    user.Answer(L"Oops!", L"You must select Performance Options For Maintenance To Start!", IDOK);
    ASSERT_TRUE(user.Click(L"Free &Disk Space"));
    ASSERT_TRUE(user.Click(L"Start &With Selected Options"));
    user.Answer(L"Oops!", L"You must select Disk Space Options For Maintenance To Start!", IDOK);
    EXPECT_TRUE(user.Enabled(L"Start &With Selected Options"));
    EXPECT_EQ(user.Checked(L"&Keep On Top"), 1);
}

TEST(MaintenanceRun, DiskSpaceRunOverAPreparedTemporaryFolder) {
    ScratchFolder temp(L"TidewellRunTemp");
    ScratchFolder outside(L"TidewellRunOutside");
    ASSERT_TRUE(temp.Created() && outside.Created());
    ASSERT_TRUE(tidewell::test::WriteFileText(outside / L"precious.txt", "keep me"));
    for (const wchar_t* name : {L"a.tmp", L"b.tmp", L"locked.tmp"}) {
        ASSERT_TRUE(tidewell::test::WriteFileText(temp / name));
    }
    HANDLE locked = CreateFileW((temp / L"locked.tmp").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    for (int i = 1; i <= 12; ++i) {
        const std::wstring folder =
            temp / (L"sub" + std::wstring(i < 10 ? L"0" : L"") + std::to_wstring(i));
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
        ASSERT_TRUE(tidewell::test::WriteFileText(folder + L"\\x.tmp"));
    }
    ASSERT_TRUE(tidewell::test::MakeHostLink(outside.Path(), temp / L"zlink"));

    PrepareSettings();
    // The log in the installed folder: only what this run appends is looked at.
    const std::wstring logPath = L"C:\\Program Files\\Vellmoor\\Tidewell\\Maintenance Log.txt";
    const std::size_t logBefore = tidewell::test::ReadAll(logPath).size();
    InstalledProgram program(L"", TempIs(temp.Path()));
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const RunUser user(program, *main);
    user.StartWith(L"Free &Disk Space", {L"Delete &TEMP Contents"});

    // Every status text in the order shown, with the bar beside it, until the restart question.
    std::vector<std::wstring> statuses;
    std::vector<std::pair<int, int>> bars;
    const ULONGLONG end = GetTickCount64() + 90000;
    while (GetTickCount64() < end && !user.BoxOpen()) {
        const std::wstring status = user.Status();
        if (statuses.empty() || statuses.back() != status) {
            statuses.push_back(status);
            bars.push_back(user.Progress());
        }
        Sleep(20);
    }
    // The last status comes just before the restart question opens.
    if (statuses.empty() || statuses.back() != user.Status()) {
        statuses.push_back(user.Status());
        bars.push_back(user.Progress());
    }
    user.Answer(L"Restart?", kRestart, IDNO);

    const std::wstring root = temp.Path();
    const std::vector<std::wstring> wanted{
        L"Deleting File: " + root + L"\\a.tmp",
        L"Deleting File: " + root + L"\\b.tmp",
        L"Skipped Locked File : locked.tmp",
        L"Deleting Folder: " + root + L"\\sub01",
        L"Deleting Folder: " + root + L"\\sub10",
        L"Deleting Folder: " + root + L"\\sub12",
        L"Skipped Locked Folder : zlink",
        kDone,
        L"Maintenance Complete!",
    };
    auto at = statuses.begin();
    for (const std::wstring& text : wanted) {
        at = std::find(at, statuses.end(), text);
        EXPECT_NE(at, statuses.end()) << "missing or out of order: " << uidriver::ToUtf8(text);
    }
    // The bar: the files count up to 3 of 3; the tenth folder brings it back to 0 of 10.
    const auto index = [&](const std::wstring& text) {
        return std::find(statuses.begin(), statuses.end(), text) - statuses.begin();
    };
    const auto barAt = [&](const std::wstring& text) {
        const auto i = static_cast<std::size_t>(index(text));
        return i < bars.size() ? bars[i] : std::pair<int, int>{-1, -1};
    };
    EXPECT_EQ(barAt(L"Deleting File: " + root + L"\\a.tmp"), (std::pair<int, int>{1, 3}));
    EXPECT_EQ(barAt(L"Deleting Folder: " + root + L"\\sub09"), (std::pair<int, int>{9, 10}));
    EXPECT_EQ(barAt(L"Deleting Folder: " + root + L"\\sub10"), (std::pair<int, int>{0, 10}));
    EXPECT_EQ(barAt(L"Deleting Folder: " + root + L"\\sub12"), (std::pair<int, int>{2, 10}));
    EXPECT_EQ(barAt(kDone), (std::pair<int, int>{10, 10}));

    // What had to stay stayed; nothing outside was touched.
    EXPECT_TRUE(tidewell::test::Exists(temp / L"locked.tmp"));
    EXPECT_FALSE(tidewell::test::Exists(temp / L"a.tmp"));
    EXPECT_FALSE(tidewell::test::Exists(temp / L"sub07"));
    EXPECT_TRUE(tidewell::test::Exists(temp / L"zlink"));
    EXPECT_EQ(tidewell::test::ReadAll(outside / L"precious.txt"), "keep me");

    // After the run: Start stays disabled, Keep On Top is back, on and applied.
    EXPECT_EQ(user.Status(), L"Maintenance Complete!");
    EXPECT_FALSE(user.Enabled(L"Start &With Selected Options"));
    EXPECT_FALSE(user.Enabled(L"Help"));
    EXPECT_TRUE(user.Enabled(L"Set Re&minder"));
    EXPECT_EQ(user.Checked(L"&Keep On Top"), 1);
    EXPECT_TRUE(user.Enabled(L"&Keep On Top"));
    EXPECT_NE(GetWindowLongPtrW(*main, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(ReadValue(kSettingsKey, "Keep On Top"), std::optional<std::string>("Yes"));

    // In the tray after the run, a left click asks nothing (Start stays disabled): it shows the
    // window.
    ASSERT_TRUE(user.Click(L"Minimi&ze To System Tray"));
    std::optional<uidriver::TrayIcon> icon;
    for (int attempt = 0; attempt < 50 && !icon; ++attempt, Sleep(100)) {
        for (const uidriver::TrayIcon& shown : uidriver::TrayIcons()) {
            if (shown.tip == L"Right Click To Show,  Left Click To Start Maintenance.") {
                icon = shown;
            }
        }
    }
    ASSERT_TRUE(icon.has_value());
    ASSERT_TRUE(uidriver::ClickTrayIcon(icon->window, false));
    EXPECT_FALSE(uidriver::WaitForMessageBox(L"Maintenance Starting. . .", 3s, program.Id()));
    EXPECT_TRUE(IsWindowVisible(*main));

    // The log names each deletion with its size, what stayed and why, and ends with the totals:
    // a.tmp, b.tmp and twelve x.tmp of 4 bytes each.
    const std::string log = tidewell::test::ReadAll(logPath).substr(logBefore);
    const std::string logRoot = uidriver::ToUtf8(root);
    for (const std::string& line : {"Deleted file: " + logRoot + "\\a.tmp (4 bytes)",
                                    "Deleted file: " + logRoot + "\\sub07\\x.tmp (4 bytes)",
                                    "Deleted folder: " + logRoot + "\\sub07 (4 bytes)",
                                    "Left alone: " + logRoot + "\\locked.tmp (in use)",
                                    "Left alone: " + logRoot + "\\zlink (a link, not followed)"}) {
        EXPECT_NE(log.find(line + "\r\n"), std::string::npos) << line << "\n" << log;
    }
    EXPECT_NE(log.find("==== Maintenance run ended: 14 files deleted, 56 bytes freed, 2 items "
                       "left alone\r\n"),
              std::string::npos)
        << log;

    CloseHandle(locked);
    EXPECT_TRUE(tidewell::test::RemoveHostLink(temp / L"zlink"));
}

TEST(MaintenanceRun, DiskCleanupMissingStartOverThenSkip) {
    DeleteFileW(kCleanmgr.c_str());
    ScratchFolder temp(L"TidewellRunTemp");
    PrepareSettings();
    InstalledProgram program(L"", TempIs(temp.Path()));
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const RunUser user(program, *main);
    user.StartWith(L"Free &Disk Space", {L"Disk &Cleanup"});
    user.Answer(L"Disk Cleanup Starting. . .", kCleanupStart, IDOK);
    user.Answer(L"Couldn't Start Program", kCouldNotStart, IDNO);
    user.Answer(L"Continue or Cancel?", L"Click OK to start over or cancel to skip this task",
                IDOK);
    // Started over: the task's message again, the same failure, now skipped.
    user.Answer(L"Disk Cleanup Starting. . .", kCleanupStart, IDOK);
    user.Answer(L"Couldn't Start Program", IDNO);
    user.Answer(L"Continue or Cancel?", IDCANCEL);
    user.Answer(L"Disk Cleanup Starting. . .", kCleanupStart, IDOK);
    user.Answer(L"Restart?", kRestart, IDNO);
    EXPECT_EQ(user.Status(), L"Maintenance Complete!");
}

TEST(MaintenanceRun, DiskCleanupMissingInstallPromptThenOnAsIfLaunched) {
    DeleteFileW(kCleanmgr.c_str());
    ScratchFolder temp(L"TidewellRunTemp");
    PrepareSettings();
    InstalledProgram program(L"", TempIs(temp.Path()));
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const RunUser user(program, *main);
    user.StartWith(L"Free &Disk Space", {L"Disk &Cleanup"});
    user.Answer(L"Disk Cleanup Starting. . .", kCleanupStart, IDOK);
    user.Answer(L"Couldn't Start Program", kCouldNotStart, IDYES);
    // Wine's installer applet stands in for the dialog for installing programs.
    const auto applet = uidriver::WaitForWindow(L"", L"Add/Remove Programs", 15s);
    EXPECT_TRUE(applet.has_value());
    user.Answer(L"Program Installed?", L"Click OK When You've Installed The Program", IDOK);
    user.Answer(L"Disk Cleanup Complete?", L"Please Click OK When You Have Finished Disk Cleanup!",
                IDOK);
    user.Answer(L"Restart?", kRestart, IDNO);
    if (applet) {
        PostMessageW(*applet, WM_CLOSE, 0, 0);
        uidriver::WaitUntilGone(*applet, 5s);
    }
}

TEST(MaintenanceRun, DiskCleanupStandInIsWaitedFor) {
    ASSERT_TRUE(CopyFileW(StandIn(L"window").c_str(), kCleanmgr.c_str(), FALSE));
    ScratchFolder temp(L"TidewellRunTemp");
    PrepareSettings();
    {
        InstalledProgram program(L"", TempIs(temp.Path()));
        const auto main = program.WaitForForm(MainTitle(), 30s);
        ASSERT_TRUE(main.has_value());
        const RunUser user(program, *main);
        user.StartWith(L"Free &Disk Space", {L"Disk &Cleanup"});
        user.Answer(L"Disk Cleanup Starting. . .", kCleanupStart, IDOK);
        const auto cleanup = uidriver::WaitForWindow(L"TidewellStandIn", L"Disk Cleanup", 15s);
        ASSERT_TRUE(cleanup.has_value());
        EXPECT_EQ(user.Progress(), (std::pair<int, int>{0, 10}));
        user.Answer(L"Disk Cleanup Complete?",
                    L"Please Click OK When You Have Finished Disk Cleanup!", IDOK);
        // The run waits while the utility's window is there.
        Sleep(2000);
        EXPECT_FALSE(user.BoxOpen());
        EXPECT_NE(user.Status(), L"Maintenance Complete!");
        PostMessageW(*cleanup, WM_CLOSE, 0, 0);
        user.Answer(L"Restart?", kRestart, IDNO);
    }
    DeleteFileW(kCleanmgr.c_str());
}

// --- the performance tasks

const std::wstring kScanDiskExe = L"C:\\windows\\scandskw.exe";
const std::wstring kDefragExe = L"C:\\windows\\defrag.exe";
const std::wstring kRunScanDisk = L"Maintenance will now run scandisk for best performance. . .";

void StartPerformance(const RunUser& user, std::initializer_list<const wchar_t*> boxes) {
    ASSERT_TRUE(user.Click(L"Optimize &Performance"));
    for (const wchar_t* box : boxes) {
        ASSERT_TRUE(tidewell::test::Eventually([&] { return user.Enabled(box); }));
        ASSERT_TRUE(user.Click(box));
        ASSERT_TRUE(tidewell::test::Eventually([&] { return user.Checked(box) == 1; }));
    }
    ASSERT_TRUE(user.Click(L"Start &With Selected Options"));
    user.Answer(L"Change Priority?", kPriority, IDNO);
    user.Answer(L"Notice!", L"Your Screen Saver Will Be Disabled During This Session!", IDOK);
}

// A key the recorder saw: its virtual key and when (GetTickCount64 of the recorder).
struct SeenKey {
    unsigned key;
    unsigned long long at;
};

// The key downs in the recorder's log, Alt (0x12) left out; also when it was first shown.
std::vector<SeenKey> KeysIn(const std::string& log, unsigned long long* shownAt) {
    std::vector<SeenKey> keys;
    std::size_t start = 0;
    while (start < log.size()) {
        std::size_t end = log.find("\r\n", start);
        if (end == std::string::npos) {
            end = log.size();
        }
        const std::string line = log.substr(start, end - start);
        start = end + 2;
        unsigned key = 0;
        unsigned long long at = 0;
        if (std::sscanf(line.c_str(), "syskey %X @%llu", &key, &at) == 2 ||
            std::sscanf(line.c_str(), "key %X @%llu", &key, &at) == 2) {
            if (key != 0x12) {
                keys.push_back({key, at});
            }
        } else if (line.starts_with("shown ") && *shownAt == 0) {
            const std::size_t stamp = line.find('@');
            *shownAt = stamp == std::string::npos ? 0 : std::stoull(line.substr(stamp + 1));
        }
    }
    return keys;
}

TEST(PerformanceTasks, ScanDiskOptionScriptReachesTheStandInInOrderOnItsClock) {
    ASSERT_TRUE(CopyFileW(StandIn(L"recorder").c_str(), kScanDiskExe.c_str(), FALSE));
    DeleteFileW((kScanDiskExe + L".log").c_str());
    PrepareSettings();
    DeleteValue(kSettingsKey, "ScanDisk");
    {
        InstalledProgram program;
        const auto main = program.WaitForForm(MainTitle(), 30s);
        ASSERT_TRUE(main.has_value());
        const RunUser user(program, *main);
        StartPerformance(user, {L"&Scandisk For Errors"});
        user.Answer(L"Click OK To Continue!",
                    L"Maintenance will now configure scandisk for best performance. . .", IDOK);
        user.Answer(L"BE CAREFUL",
                    L"Please DON'T interfere with this process as it will cause your PC to "
                    L"behave erractically!",
                    IDOK);
        EXPECT_TRUE(tidewell::test::Eventually(
            [&] { return user.Status() == L"Configuring Scandisk.  Please Wait. . . ."; }, 10s));
        // 34 seconds of script, then the scan (the recorder ends it after three seconds).
        user.Answer(L"Click OK to continue", kRunScanDisk, IDOK, 60s);
        user.Answer(L"Restart?", kRestart, IDNO, 30s);
        EXPECT_EQ(ReadValue(kSettingsKey, "ScanDisk"), std::optional<std::string>("Configured"));
        // The real ScanDisk closes on its final Alt+C; the stand-in stays until it is closed.
        if (const auto options = uidriver::WaitForWindow(L"TidewellStandIn", L"ScanDisk", 5s)) {
            PostMessageW(*options, WM_CLOSE, 0, 0);
            EXPECT_TRUE(uidriver::WaitUntilGone(*options, 5s));
        }
    }
    unsigned long long shownAt = 0;
    const std::string log = tidewell::test::ReadAll(kScanDiskExe + L".log");
    const std::vector<SeenKey> keys = KeysIn(log, &shownAt);
    // Row by row: the key and the second of the script it is due at.
    const std::vector<std::pair<unsigned, int>> expected = {
        {'A', 13}, {'E', 15},  {'R', 15},  {'D', 16}, {'F', 20}, {'M', 21}, {'T', 23}, {'X', 27},
        {'S', 28}, {0x09, 29}, {0x0D, 30}, {'D', 31}, {'F', 32}, {'C', 33}, {'C', 34}};
    ASSERT_EQ(keys.size(), expected.size()) << log;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(keys[i].key, expected[i].first) << "row " << i << "\n" << log;
        // Against the first key's time, which is second 13: within the tick's jitter.
        const long long since = static_cast<long long>(keys[i].at - keys[0].at);
        EXPECT_NEAR(since, (expected[i].second - 13) * 1000LL, 700) << "row " << i << "\n" << log;
    }
    if (shownAt != 0 && !keys.empty()) {
        EXPECT_NEAR(static_cast<long long>(keys[0].at - shownAt), 13000, 1500) << log;
    }
    // The scan ran hidden (style 0) after the options window (style 1).
    EXPECT_NE(log.find("style 1"), std::string::npos) << log;
    EXPECT_NE(log.find("style 0"), std::string::npos) << log;
    DeleteFileW(kScanDiskExe.c_str());
    DeleteFileW((kScanDiskExe + L".log").c_str());
}

TEST(PerformanceTasks, DefragWaitsForItsOkEvenAfterItsWindowCloses) {
    ASSERT_TRUE(CopyFileW(StandIn(L"window").c_str(), kDefragExe.c_str(), FALSE));
    PrepareSettings();
    SetSetting("ScanDisk", "Configured");
    ASSERT_TRUE(CopyFileW(StandIn(L"quick").c_str(), kScanDiskExe.c_str(), FALSE));
    {
        InstalledProgram program;
        const auto main = program.WaitForForm(MainTitle(), 30s);
        ASSERT_TRUE(main.has_value());
        const RunUser user(program, *main);
        StartPerformance(user, {L"&Scandisk For Errors", L"Defragment &Hard Drive"});
        user.Answer(L"Click OK to continue", kRunScanDisk, IDOK);
        user.Answer(L"Please Be Patient!",
                    L"Your Hard Disk Will Now Be Defragmented!\r\n\r\nThis Process May Take "
                    L"Between 40 Minutes And 3 Hours\r\nDepending On The Size Of Your Hard Disk, "
                    L"And How Many Programs You Have Running.",
                    IDOK);
        const auto defrag = uidriver::WaitForWindow(L"TidewellStandIn", L"Disk Defragmenter", 15s);
        ASSERT_TRUE(defrag.has_value());
        EXPECT_TRUE(IsZoomed(*defrag));
        const auto done = uidriver::WaitForMessageBox(L"Defrag Complete?", 15s, program.Id());
        ASSERT_TRUE(done.has_value());
        EXPECT_EQ(uidriver::MessageBoxText(*done),
                  L"Maintenance cannot monitor this program automatically!\r\n\r\nWhen the "
                  L"program is finished, you must click OK for maintenance to continue!");
        EXPECT_EQ(user.Status(), L"Defragmenting File System. . .");
        PostMessageW(*defrag, WM_CLOSE, 0, 0);
        EXPECT_TRUE(uidriver::WaitUntilGone(*defrag, 5s));
        Sleep(1500);
        EXPECT_TRUE(IsWindow(*done)) << "the program's end is no signal";
        EXPECT_NE(user.Status(), L"Maintenance Complete!");
        EXPECT_TRUE(uidriver::PressMessageBoxButton(*done, IDOK, 5s));
        user.Answer(L"Restart?", kRestart, IDNO);
        EXPECT_EQ(user.Status(), L"Maintenance Complete!");
    }
    DeleteFileW(kDefragExe.c_str());
    DeleteFileW(kScanDiskExe.c_str());
}

TEST(PerformanceTasks, ScanDiskMissingAndSkippedCancelsDefrag) {
    DeleteFileW(kScanDiskExe.c_str());
    PrepareSettings();
    InstalledProgram program;
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const RunUser user(program, *main);
    StartPerformance(user, {L"&Scandisk For Errors", L"Defragment &Hard Drive"});
    user.Answer(L"Click OK To Continue!", IDOK);
    user.Answer(L"BE CAREFUL", IDOK);
    user.Answer(L"Couldn't Start Program", kCouldNotStart, IDNO);
    user.Answer(L"Continue or Cancel?", IDCANCEL);
    user.Answer(L"Defrag CANCELLED!", L"Defrag will not run because ScanDisk didn't complete!",
                IDOK);
    user.Answer(L"Restart?", kRestart, IDNO);
    EXPECT_EQ(user.Status(), L"Maintenance Complete!");
    EXPECT_EQ(user.Progress().first, user.Progress().second);
}

std::vector<std::wstring> ListItems(HWND list) {
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i),
                     reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        items.push_back(text);
    }
    return items;
}

TEST(PerformanceTasks, APerformanceRunReachesTheEditorAndFinishesWhenItCloses) {
    const wchar_t* const runKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring probe = L"c:\\probe\\tidewell probe.exe /x";
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, runKey, L"TidewellGuiProbe", REG_SZ, probe.c_str(),
                              static_cast<DWORD>((probe.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    PrepareSettings();
    {
        InstalledProgram program;
        const auto main = program.WaitForForm(MainTitle(), 30s);
        ASSERT_TRUE(main.has_value());
        const RunUser user(program, *main);
        ASSERT_TRUE(user.Click(L"Optimize &Performance"));
        ASSERT_TRUE(tidewell::test::Eventually(
            [&] { return user.Enabled(L"Show Current &User Run Entries"); }));
        ASSERT_TRUE(user.Click(L"Show Current &User Run Entries"));
        user.Answer(L"CAUTION!", IDYES);
        ASSERT_TRUE(tidewell::test::Eventually(
            [&] { return user.Checked(L"Show Current &User Run Entries") == 1; }));
        ASSERT_TRUE(user.Click(L"Start &With Selected Options"));
        user.Answer(L"Change Priority?", kPriority, IDNO);
        user.Answer(L"Notice!", IDOK);
        // The editor's caution question waits for its answer: no key stroke of the program's
        // own answers it while one of its windows is active.
        const auto caution = uidriver::WaitForMessageBox(L"CAUTION!", 15s, program.Id());
        ASSERT_TRUE(caution.has_value());
        Sleep(3000);
        EXPECT_TRUE(IsWindow(*caution) && IsWindowVisible(*caution))
            << "the caution question was answered unseen";
        ASSERT_TRUE(uidriver::PressMessageBoxButton(*caution, IDYES, 5s));
        EXPECT_EQ(user.Status(), L"Optimizing Registry. . .");
        const auto editor =
            uidriver::WaitForWindow(L"", L"Registry Entries", 15s, program.Id(), true);
        ASSERT_TRUE(editor.has_value());
        std::vector<HWND> lists;
        for (const auto& child : uidriver::Children(*editor)) {
            if (_wcsicmp(child.className.c_str(), L"ListBox") == 0) {
                lists.push_back(child.handle);
            }
        }
        ASSERT_EQ(lists.size(), 2u);
        const auto listed = [&] {
            const auto items = ListItems(lists[1]);
            return std::find(items.begin(), items.end(), L"TidewellGuiProbe") != items.end();
        };
        EXPECT_TRUE(tidewell::test::Eventually(listed, 20s));
        // Shown modally: the main window waits behind it.
        EXPECT_FALSE(IsWindowEnabled(*main));
        const auto finished = uidriver::ChildByText(*editor, L"&Finished!");
        ASSERT_TRUE(finished.has_value());
        ASSERT_TRUE(tidewell::test::Eventually([&] { return IsWindowEnabled(finished->handle); }));
        EXPECT_TRUE(uidriver::ClickControl(finished->handle));
        user.Answer(L"Restart?", kRestart, IDNO);
        EXPECT_EQ(user.Status(), L"Maintenance Complete!");
    }
    RegDeleteKeyValueW(HKEY_CURRENT_USER, runKey, L"TidewellGuiProbe");
}

// The one-time configuration ends in ExitWindowsEx(EWX_REBOOT). Under Wine 8 that starts an end
// of session in the prefix: every process with a window is asked (WM_QUERYENDSESSION) and then
// ended, and nothing reaches the host. The main window answers the question through its close
// confirmation, so "Close Tidewell?" comes after the restart request; these tests judge what each
// answer leaves behind.
const char kFsTemplates[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\FS Templates";

std::wstring VirtualMemorySize() {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    return std::to_wstring(2 * (status.ullTotalPhys / 1000000));
}

// A performance run on a machine not yet configured, up to the restart request.
void ConfigureUpToTheRestart(const RunUser& user) {
    StartPerformance(user, {L"&Scandisk For Errors"});
    user.Answer(L"Configuration Not Optimized!",
                L"Your System Is NOT Conifgured For Optimal Performance!\r\nMaintenance Will Now "
                L"Configure It For Optimal Performance.\r\nPlease Wait While This Procedure Is "
                L"Performed.\r\nDo Not Be Alarmed As The Procedure Has Been Tested!",
                IDOK);
    user.Answer(L"Setting Virtual Memory. .",
                L"You Will Only Have To Do This Once!\r\nPlease Click Virtual Memory, And Then:\r\n"
                L"1. Select 'Let Me Specify My Own Settings'\r\n2. In the Minimum and Maximum "
                L"boxes Type In: " +
                    VirtualMemorySize() + L"\r\n\r\nClick OK When You're Done",
                IDOK);
    user.Answer(L"Close System Applet!",
                L"Please Click Close On The Virtual Memory Applet Now!\r\nClick OK When You're "
                L"Done.\r\nWhen Prompted To Reboot, Click 'NO'",
                IDOK);
    user.Answer(L"REBOOT REQUIRED!",
                L"Your PC Must Be Restarted For The Changes To Take Effect!\r\nPlease Ignore All "
                L"Reboot Messages From Windows!\r\nMaintenance Will Reboot Your Machine!",
                IDOK);
}

void PrepareConfiguration() {
    PrepareSettings();
    DeleteValue(kSettingsKey, "PC Optimized");
    DeleteValue(kFsTemplates, "");
}

TEST(PerformanceTasks, ConfigurationWritesServerAndPcOptimizedThenTheSessionEnds) {
    PrepareConfiguration();
    InstalledProgram program;
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const RunUser user(program, *main);
    ConfigureUpToTheRestart(user);
    // The end of the session asks the main window, which asks the user.
    user.Answer(L"Close Tidewell?", L"Are You Sure You Want To Close The Program?", IDYES, 20s);
    EXPECT_TRUE(program.WaitForExit(20s).has_value());
    EXPECT_EQ(ReadValue(kFsTemplates, ""), std::optional<std::string>("Server"));
    EXPECT_EQ(ReadValue(kSettingsKey, "PC Optimized"), std::optional<std::string>("Yes"));
    EXPECT_FALSE(ReadValue(kSettingsKey, "ScanDisk").has_value()) << "ScanDisk waits for a run";
}

TEST(PerformanceTasks, ConfigurationRestartRefusedByTheCloseQuestionLeavesTheProgramRunning) {
    PrepareConfiguration();
    InstalledProgram program;
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const RunUser user(program, *main);
    ConfigureUpToTheRestart(user);
    user.Answer(L"Close Tidewell?", L"Are You Sure You Want To Close The Program?", IDNO, 20s);
    // Wine's end of session stops at the first refusal: the program stays, its run finished.
    EXPECT_FALSE(program.WaitForExit(8s).has_value());
    EXPECT_TRUE(IsWindow(*main));
    EXPECT_EQ(user.Status(), L"Maintenance Complete!");
    EXPECT_EQ(ReadValue(kSettingsKey, "PC Optimized"), std::optional<std::string>("Yes"));
}

} // namespace

namespace {

// The session's screen-saver switch as the program left it. Windows keeps it in the session, so
// SPI_GETSCREENSAVEACTIVE shows it; Wine caches it per process and shares a change made for the
// session only through its volatile key, which is read here first.
bool ScreenSaverActive() {
    char value[8] = {};
    DWORD size = sizeof(value) - 1;
    if (RegGetValueA(HKEY_CURRENT_USER,
                     "Software\\Wine\\Temporary System Parameters\\Control Panel\\Desktop",
                     "ScreenSaveActive", RRF_RT_REG_SZ, nullptr, value, &size) == ERROR_SUCCESS) {
        return value[0] == '1';
    }
    BOOL active = FALSE;
    SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0);
    return active != FALSE;
}

TEST(MaintenanceRun, ClosingTheProgramMidRunStopsItAndPutsTheScreenSaverBack) {
    ScratchFolder temp(L"TidewellRunTemp");
    ASSERT_TRUE(temp.Created());
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(tidewell::test::WriteFileText(temp / (L"f" + std::to_wstring(i) + L".tmp")));
    }
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, 0);
    ASSERT_TRUE(ScreenSaverActive());
    PrepareSettings();
    InstalledProgram program(L"", TempIs(temp.Path()));
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const RunUser user(program, *main);
    ASSERT_TRUE(user.Click(L"Free &Disk Space"));
    ASSERT_TRUE(user.Click(L"Delete &TEMP Contents"));
    ASSERT_TRUE(user.Click(L"Start &With Selected Options"));
    user.Answer(L"Change Priority?", kPriority, IDYES);
    user.Answer(L"Notice!", IDOK);
    EXPECT_TRUE(tidewell::test::Eventually([] { return !ScreenSaverActive(); }));
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, program.Id());
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(GetPriorityClass(process), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    CloseHandle(process);
    user.Answer(L"Emptying Recycle Bin. . .", IDCANCEL);
    ASSERT_TRUE(tidewell::test::Eventually(
        [&] { return user.Status().starts_with(L"Deleting File: "); }, 10s));
    EXPECT_EQ(ReadValue(kSettingsKey, "Keep On Top"), std::optional<std::string>("No"));

    ASSERT_TRUE(user.Click(L"&Exit"));
    user.Answer(L"CAUTION!", L"There are tasks running!  Are You Sure You Want To Quit?", IDYES);
    user.Answer(L"ARE YOU SURE?", IDYES);
    EXPECT_TRUE(program.WaitForExit(10s).has_value());
    EXPECT_TRUE(ScreenSaverActive());
    // "Keep On Top", unchecked by the run, is stored again as it was.
    EXPECT_EQ(ReadValue(kSettingsKey, "Keep On Top"), std::optional<std::string>("Yes"));
    // Stopped at once: most of the six files (two seconds each) are still there.
    int left = 0;
    for (int i = 0; i < 6; ++i) {
        left += tidewell::test::Exists(temp / (L"f" + std::to_wstring(i) + L".tmp")) ? 1 : 0;
    }
    EXPECT_GE(left, 4);
}

} // namespace
