// The maintenance run of the installed program, driven from another process: the validation
// messages, a disk-space run over a prepared temporary folder, Disk Cleanup missing and present.
#include "../adapters/RunTestSupport.h"
#include "InstalledProgram.h"

#include "Version.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

namespace {

using namespace gui;
using tidewell::test::ScratchFolder;

const std::wstring kTm = L"\x2122";
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

std::wstring MainTitle() {
    return L"Tidewell!" + kTm + L" Version " + std::to_wstring(TIDEWELL_VERSION_MAJOR) + L"." +
           std::to_wstring(TIDEWELL_VERSION_MINOR) + std::to_wstring(TIDEWELL_VERSION_PATCH);
}

std::wstring StandIn(const wchar_t* kind) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L'\\'));
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\standins\\standin_" + kind + L".exe";
}

// The user at the main window, and what the window shows.
class RunUser {
public:
    RunUser(const InstalledProgram& program, HWND main) : program_(program), main_(main) {}

    HWND Control(const std::wstring& caption) const {
        const auto child = uidriver::ChildByText(main_, caption);
        return child ? child->handle : nullptr;
    }
    HWND OfClass(const wchar_t* className) const {
        for (const auto& child : uidriver::Children(main_)) {
            if (_wcsicmp(child.className.c_str(), className) == 0) {
                return child.handle;
            }
        }
        return nullptr;
    }
    bool Click(const std::wstring& caption) const {
        return uidriver::ClickControl(Control(caption));
    }
    bool Enabled(const std::wstring& caption) const {
        return IsWindowEnabled(Control(caption)) != FALSE;
    }
    int Checked(const std::wstring& caption) const {
        return static_cast<int>(SendMessageW(Control(caption), BM_GETCHECK, 0, 0));
    }
    // The status bar answers WM_GETTEXT with its first panel.
    std::wstring Status() const { return uidriver::WindowText(OfClass(STATUSCLASSNAMEW)); }
    std::pair<int, int> Progress() const {
        HWND bar = OfClass(PROGRESS_CLASSW);
        return {static_cast<int>(SendMessageW(bar, PBM_GETPOS, 0, 0)),
                static_cast<int>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0))};
    }
    void Answer(const std::wstring& title, const std::wstring& text, int button,
                std::chrono::milliseconds wait = 15s) const {
        const auto box = uidriver::WaitForMessageBox(title, wait, program_.Id());
        ASSERT_TRUE(box.has_value()) << "no box " << uidriver::ToUtf8(title);
        EXPECT_EQ(uidriver::MessageBoxText(*box), text) << uidriver::ToUtf8(title);
        EXPECT_TRUE(uidriver::PressMessageBoxButton(*box, button, 5s));
    }
    void Answer(const std::wstring& title, int button) const {
        const auto box = uidriver::WaitForMessageBox(title, 15s, program_.Id());
        ASSERT_TRUE(box.has_value()) << "no box " << uidriver::ToUtf8(title);
        EXPECT_TRUE(uidriver::PressMessageBoxButton(*box, button, 5s));
    }
    bool BoxOpen() const {
        for (const auto& window : uidriver::TopLevelWindows(program_.Id())) {
            if (window.className == L"#32770" && window.visible) {
                return true;
            }
        }
        return false;
    }
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

private:
    const InstalledProgram& program_;
    HWND main_;
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

    ASSERT_TRUE(user.Click(L"&Exit"));
    user.Answer(L"CAUTION!", L"There are tasks running!  Are You Sure You Want To Quit?", IDYES);
    user.Answer(L"ARE YOU SURE?", IDYES);
    EXPECT_TRUE(program.WaitForExit(10s).has_value());
    EXPECT_TRUE(ScreenSaverActive());
    // Stopped at once: most of the six files (two seconds each) are still there.
    int left = 0;
    for (int i = 0; i < 6; ++i) {
        left += tidewell::test::Exists(temp / (L"f" + std::to_wstring(i) + L".tmp")) ? 1 : 0;
    }
    EXPECT_GE(left, 4);
}

} // namespace
