// A first day with Tidewell, as a user lives it, in a prefix where nothing was installed: the
// silent setup, the first start, a reminder, a disk-space run, a performance run reaching the
// startup-entries editor, a delete with backup, the backup's import, Exit, the uninstaller.
#include "MainWindowUser.h"
#include "PrivateRegistryKey.h"
#include "RunTestSupport.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

namespace {

using namespace gui;
using tidewell::test::Exists;
using tidewell::test::ScratchFolder;
using tidewell::test::WriteFileText;

constexpr wchar_t kInstallFolder[] = L"C:\\Program Files\\Vellmoor\\Tidewell";
constexpr char kEntryName[] = "First Day \"Helper\"";
constexpr char kEntryData[] = "\"C:\\Program Files\\First Day\\helper.exe\" /tray  \\\\server\\x";

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024] = {};
    return GetEnvironmentVariableW(name, value, 1024) != 0 ? value : L"";
}

// Runs a command line and waits for it; its exit code, or nothing after the time.
std::optional<DWORD> RunAndWait(std::wstring commandLine, std::chrono::milliseconds timeout) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
        return std::nullopt;
    }
    CloseHandle(info.hThread);
    std::optional<DWORD> code;
    if (WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0) {
        DWORD exitCode = 0;
        GetExitCodeProcess(info.hProcess, &exitCode);
        code = exitCode;
    }
    CloseHandle(info.hProcess);
    return code;
}

std::optional<std::string> RunEntry(const char* name) {
    return ReadValue(kRunKey, name);
}

void SetRunEntry(const char* name, const std::string& data) {
    ASSERT_EQ(testsupport::SetStringValue(HKEY_LOCAL_MACHINE, testsupport::Widen(kRunKey),
                                          testsupport::Widen(name), testsupport::Widen(data)),
              ERROR_SUCCESS);
}

HWND ChildOfClass(HWND parent, const wchar_t* className, int which = 0) {
    for (const auto& child : uidriver::Children(parent)) {
        if (_wcsicmp(child.className.c_str(), className) == 0 && which-- == 0) {
            return child.handle;
        }
    }
    return nullptr;
}

// Waits for the box and presses the button, whatever it says.
void Press(const InstalledProgram& program, const std::wstring& title, int button,
           std::chrono::milliseconds wait = 30s) {
    const auto box = uidriver::WaitForMessageBox(title, wait, program.Id());
    ASSERT_TRUE(box.has_value()) << "no box " << uidriver::ToUtf8(title);
    EXPECT_TRUE(uidriver::PressMessageBoxButton(*box, button, 5s));
}

// A click of the left button on the middle of a list item, as the mouse makes it.
bool ClickListItem(HWND list, int index) {
    RECT item{};
    if (SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index),
                     reinterpret_cast<LPARAM>(&item)) == LB_ERR) {
        return false;
    }
    POINT point{item.left + 8, (item.top + item.bottom) / 2};
    ClientToScreen(list, &point);
    SetForegroundWindow(GetAncestor(list, GA_ROOT));
    return uidriver::LeftClickAt(point);
}

std::wstring ListText(HWND list, int index) {
    wchar_t text[512] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

int FindListItem(HWND list, const std::wstring& text) {
    const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        if (ListText(list, index) == text) {
            return index;
        }
    }
    return -1;
}

// The run's opening questions, answered as a careful user does.
void AnswerRunStart(const InstalledProgram& program) {
    Press(program, L"Change Priority?", IDNO);
    Press(program, L"Notice!", IDOK);
}

void ExitProgram(const InstalledProgram& program, const User& user) {
    ASSERT_TRUE(user.Click(L"&Exit"));
    user.Answer(L"Close Tidewell?", L"Are You Sure You Want To Close The Program?", IDYES);
    EXPECT_TRUE(program.WaitForExit(20s).has_value());
}

TEST(FirstDay, FromSetupThroughMaintenanceToUninstall) {
    const std::wstring setup = Environment(L"TIDEWELL_SETUP");
    ASSERT_FALSE(setup.empty()) << "TIDEWELL_SETUP names setup.exe";
    const std::wstring installed = std::wstring(kInstallFolder) + L"\\tidewell.exe";
    ASSERT_FALSE(Exists(installed)) << "the prefix must be fresh";

    // The silent setup: 3 where this host cannot run the 32-bit regsvr32 (first_day.sh says which).
    const DWORD setupExit = Environment(L"TIDEWELL_SETUP_EXIT") == L"3" ? 3 : 0;
    EXPECT_EQ(RunAndWait(L"\"" + setup + L"\" /S", 180s), std::optional<DWORD>(setupExit));
    ASSERT_TRUE(Exists(installed));
    EXPECT_TRUE(Exists(std::wstring(kInstallFolder) + L"\\Tidewell! Help.chm"));

    // A temporary folder with something to clean, one file held open by another program.
    ScratchFolder temp(L"FirstDayTemp");
    ASSERT_TRUE(temp.Created());
    for (const wchar_t* name : {L"old.tmp", L"setup.log", L"held.tmp"}) {
        ASSERT_TRUE(WriteFileText(temp / name));
    }
    for (const wchar_t* folder : {L"cache1", L"cache2"}) {
        ASSERT_TRUE(CreateDirectoryW((temp / folder).c_str(), nullptr));
        ASSERT_TRUE(WriteFileText(temp / folder + L"\\x.tmp"));
    }
    HANDLE held = CreateFileW((temp / L"held.tmp").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);

    // Morning: the first start, a reminder for next week, and a disk-space run.
    {
        InstalledProgram program(L"", {{L"TMP", temp.Path()}, {L"TEMP", temp.Path()}});
        ASSERT_TRUE(program.Started());
        Press(program, L"Thank You!", IDOK);
        const auto main = program.WaitForForm(MainTitle(), 30s);
        ASSERT_TRUE(main.has_value());
        const User user(program, *main);

        ASSERT_TRUE(user.Click(L"Set Re&minder"));
        Press(program, L"Prior Reminder Setting Note!", IDOK);
        Press(program, L"Date Issues", IDOK);
        const auto reminder = program.WaitForForm(L"Set Reminders", 10s);
        ASSERT_TRUE(reminder.has_value());
        ASSERT_TRUE(User(program, *reminder).Click(L"One Week From Now"));
        ASSERT_TRUE(User(program, *reminder).Click(L"Set Reminder"));
        Press(program, L"Maintenance Date", IDOK);
        ASSERT_TRUE(uidriver::WaitUntilGone(*reminder, 5s));
        SYSTEMTIME now{};
        GetLocalTime(&now);
        const std::chrono::year_month_day due{
            std::chrono::sys_days{std::chrono::year_month_day{std::chrono::year{now.wYear},
                                                              std::chrono::month{now.wMonth},
                                                              std::chrono::day{now.wDay}}} +
            std::chrono::days{7}};
        EXPECT_EQ(ReadValue(kSettingsKey, "NextRun"),
                  std::to_string(static_cast<unsigned>(due.month())) + "/" +
                      std::to_string(static_cast<unsigned>(due.day())) + "/" +
                      std::to_string(static_cast<int>(due.year())));
        // Quoted, naming the installed program.
        EXPECT_EQ(RunEntry("PC Maintenance"),
                  std::optional<std::string>("\"" + uidriver::ToUtf8(kInstallFolder) +
                                             "\\tidewell.exe\""));

        ASSERT_TRUE(user.Click(L"Free &Disk Space"));
        ASSERT_TRUE(Eventually([&] { return user.Enabled(L"Delete &TEMP Contents"); }));
        ASSERT_TRUE(user.Click(L"Delete &TEMP Contents"));
        ASSERT_TRUE(Eventually([&] { return user.Checked(L"Delete &TEMP Contents") == 1; }));
        ASSERT_TRUE(user.Click(L"Start &With Selected Options"));
        AnswerRunStart(program);
        Press(program, L"Emptying Recycle Bin. . .", IDCANCEL);
        Press(program, L"Restart?", IDNO, 120s);
        EXPECT_FALSE(Exists(temp / L"old.tmp"));
        EXPECT_FALSE(Exists(temp / L"cache1"));
        EXPECT_TRUE(Exists(temp / L"held.tmp")) << "a file in use stays";
        EXPECT_FALSE(user.Enabled(L"Start &With Selected Options"));

        // Nothing stored asks for the tray: the box came up cleared, and Exit stores that.
        EXPECT_EQ(user.Checked(L"St&art In System Tray"), 0);
        ExitProgram(program, user);
        EXPECT_EQ(ReadValue(kSettingsKey, "StartInTray"), std::optional<std::string>("No"));
    }
    CloseHandle(held);

    // Afternoon: a start on another day than the reminder's ends quietly; a command line opens
    // the program anyway.
    {
        InstalledProgram quiet;
        ASSERT_TRUE(quiet.Started());
        EXPECT_EQ(quiet.WaitForExit(30s), std::optional<DWORD>(0));
    }

    // A performance run reaching the startup-entries editor (the one-time configuration and its
    // restart are taken as done), and a delete with backup there.
    SetSetting("PC Optimized", "Yes");
    SetRunEntry(kEntryName, kEntryData);
    const std::wstring backup =
        std::wstring(kInstallFolder) + L"\\Registry Backup\\Registry Backup.Reg";
    {
        InstalledProgram program(L"/maintain");
        const auto main = program.WaitForForm(MainTitle(), 30s);
        ASSERT_TRUE(main.has_value());
        const User user(program, *main);
        ASSERT_TRUE(user.Click(L"Optimize &Performance"));
        ASSERT_TRUE(Eventually([&] { return user.Enabled(L"Show &Local Run Entries"); }));
        ASSERT_TRUE(user.Click(L"Show &Local Run Entries"));
        Press(program, L"CAUTION!", IDYES);
        ASSERT_TRUE(Eventually([&] { return user.Checked(L"Show &Local Run Entries") == 1; }));
        ASSERT_TRUE(user.Click(L"Start &With Selected Options"));
        AnswerRunStart(program);
        // The editor asks its own caution question as it loads; it stays open until answered.
        const auto caution = uidriver::WaitForMessageBox(L"CAUTION!", 60s, program.Id());
        ASSERT_TRUE(caution.has_value());
        Sleep(2000);
        EXPECT_TRUE(IsWindow(*caution)) << "the caution question was answered unseen";
        ASSERT_TRUE(uidriver::PressMessageBoxButton(*caution, IDYES, 5s));
        const std::optional<HWND> editor = program.WaitForForm(L"Registry Entries", 60s);
        ASSERT_TRUE(editor.has_value());
        HWND local = ChildOfClass(*editor, L"ListBox", 0);
        ASSERT_NE(local, nullptr);
        const std::wstring name = uidriver::FromUtf8(kEntryName);
        int index = -1;
        ASSERT_TRUE(Eventually([&] { return (index = FindListItem(local, name)) >= 0; }, 300));
        EXPECT_GE(FindListItem(local, L"PC Maintenance"), 0);
        ASSERT_TRUE(ClickListItem(local, index));
        HWND view = ChildOfClass(*editor, L"Edit", 0);
        EXPECT_TRUE(Eventually(
            [&] { return uidriver::WindowText(view) == uidriver::FromUtf8(kEntryData); }));

        const User inEditor(program, *editor);
        ASSERT_TRUE(inEditor.Click(L"&Delete Value"));
        Press(program, L"Delete Selected Entries?", IDYES);
        Press(program, L"Create Backup?", IDYES);
        Press(program, L"Backup Complete!", IDOK);
        Press(program, L"Deletion Commencing. . .", IDOK);
        EXPECT_TRUE(Eventually([&] { return !RunEntry(kEntryName).has_value(); }));
        EXPECT_TRUE(Exists(backup));
        ASSERT_TRUE(inEditor.Click(L"&Finished!"));
        Press(program, L"Restart?", IDNO, 60s);
        ExitProgram(program, user);
    }

    // The backup puts the entry back exactly.
    EXPECT_EQ(RunAndWait(L"regedit /s \"" + backup + L"\"", 60s), std::optional<DWORD>(0));
    EXPECT_EQ(RunEntry(kEntryName), std::optional<std::string>(kEntryData));

    // Evening: the uninstaller leaves the backup folder and nothing else.
    const std::wstring uninstaller = std::wstring(kInstallFolder) + L"\\Uninstall.exe";
    ASSERT_TRUE(Exists(uninstaller));
    // It copies itself away and returns at once; the copy does the work.
    EXPECT_EQ(RunAndWait(L"\"" + uninstaller + L"\" /S", 60s), std::optional<DWORD>(0));
    EXPECT_TRUE(tidewell::test::Eventually([&] { return !Exists(uninstaller); }, 120s));
    EXPECT_TRUE(Exists(backup));
    for (const wchar_t* gone :
         {L"tidewell.exe", L"Registry.dll", L"Tidewell! Help.chm", L"Uninstall.exe", L"x86"}) {
        EXPECT_FALSE(Exists(std::wstring(kInstallFolder) + L"\\" + gone)) << uidriver::ToUtf8(gone);
    }
    HKEY settings = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &settings),
              ERROR_SUCCESS);
    EXPECT_FALSE(RunEntry("PC Maintenance").has_value());
    EXPECT_EQ(RunEntry(kEntryName), std::optional<std::string>(kEntryData))
        << "the user's own entry is none of the uninstaller's business";
}

} // namespace
