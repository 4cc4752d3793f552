// The main window's reactions and the reminder, driven from another process as a user would.
#include "MainWindowUser.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace gui;

// The entry as the program writes it: the installed program's own path, quoted, switched off by a
// "-" inside the quotes.
const std::string kEntryOn = "\"" + uidriver::ToUtf8(kInstalledProgram) + "\"";
const std::string kEntryOff = "\"" + uidriver::ToUtf8(kInstalledProgram) + "-\"";
// The unquoted form earlier versions wrote.
const std::string kOldEntry = "c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe";

void SetStartupEntry(const std::string& data) {
    ASSERT_EQ(RegSetKeyValueA(HKEY_LOCAL_MACHINE, kRunKey, "PC Maintenance", REG_SZ, data.c_str(),
                              static_cast<DWORD>(data.size() + 1)),
              ERROR_SUCCESS);
}

const std::wstring kCautionRest =
    L"\r\nIt Can Render Your System Inoperable If You Delete Necessary Components!\r\n\r\n"
    L"                                  Do You Want To Continue?";

TEST(MainWindow, OptionsWarningsSettingsTrayAndTheCloseConfirmation) {
    PrepareLaterStart("Yes");
    SetStartupEntry(kOldEntry);
    InstalledProgram program;
    ASSERT_TRUE(program.Started());
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const User user(program, *main);

    // The option groups: disabled boxes keep their checks.
    ASSERT_TRUE(user.Click(L"&Scandisk For Errors"));
    ASSERT_TRUE(Eventually([&] { return user.Enabled(L"Defragment &Hard Drive"); }));
    ASSERT_TRUE(user.Click(L"Defragment &Hard Drive"));
    ASSERT_TRUE(Eventually([&] { return user.Checked(L"Defragment &Hard Drive") == 1; }));
    ASSERT_TRUE(user.Click(L"Free &Disk Space"));
    ASSERT_TRUE(Eventually([&] { return !user.Enabled(L"&Scandisk For Errors"); }));
    for (const wchar_t* off :
         {L"&Scandisk For Errors", L"Defragment &Hard Drive", L"Show Current &User Run Entries",
          L"Show &Local Run Entries", L"Fi&x Problems"}) {
        EXPECT_FALSE(user.Enabled(off)) << uidriver::ToUtf8(off);
    }
    for (const wchar_t* on : {L"Disk &Cleanup", L"&Force IE To Delete Cache And History",
                              L"&Optimize Performance", L"Delete &TEMP Contents"}) {
        EXPECT_TRUE(user.Enabled(on)) << uidriver::ToUtf8(on);
    }
    EXPECT_EQ(user.Checked(L"&Scandisk For Errors"), 1);
    EXPECT_EQ(user.Checked(L"Defragment &Hard Drive"), 1);
    ASSERT_TRUE(user.Click(L"Optimize &Performance"));
    ASSERT_TRUE(Eventually([&] { return user.Enabled(L"Defragment &Hard Drive"); }));
    EXPECT_FALSE(user.Enabled(L"Disk &Cleanup"));
    ASSERT_TRUE(user.Click(L"&Scandisk For Errors"));
    ASSERT_TRUE(Eventually([&] { return !user.Enabled(L"Defragment &Hard Drive"); }));
    EXPECT_EQ(user.Checked(L"Defragment &Hard Drive"), 0);

    // The two warnings: No unchecks without a second warning, Yes keeps the check.
    ASSERT_TRUE(user.Click(L"Show &Local Run Entries"));
    user.Answer(L"CAUTION!",
                L"Please Exercise CAUTION When Using This Option Of Tidewell!" + kTm + L" " +
                    kCautionRest,
                IDNO);
    EXPECT_TRUE(Eventually([&] { return user.Checked(L"Show &Local Run Entries") == 0; }));
    EXPECT_TRUE(user.NoBoxWithin(700ms));
    ASSERT_TRUE(user.Click(L"Show Current &User Run Entries"));
    user.Answer(L"CAUTION!",
                L"Please Exercise CAUTION When Using This Option Of Tidewell!" + kTm + kCautionRest,
                IDYES);
    EXPECT_TRUE(Eventually([&] { return user.Checked(L"Show Current &User Run Entries") == 1; }));

    // Keep on top: the window's real topmost state and the stored setting.
    EXPECT_FALSE(user.Topmost()) << "a stored Yes does not apply the state at load";
    ASSERT_TRUE(user.Click(L"&Keep On Top"));
    EXPECT_TRUE(Eventually([&] { return ReadValue(kSettingsKey, "Keep On Top") == "No"; }));
    ASSERT_TRUE(user.Click(L"&Keep On Top"));
    EXPECT_TRUE(Eventually(
        [&] { return user.Topmost() && ReadValue(kSettingsKey, "Keep On Top") == "Yes"; }));
    ASSERT_TRUE(user.Click(L"&Keep On Top"));
    EXPECT_TRUE(Eventually([&] { return !user.Topmost(); }));

    // Start with Windows: the old unquoted entry reads as on and is rewritten quoted with the
    // installed folder; unticked, the "-" goes inside the quotes.
    EXPECT_EQ(user.Checked(L"Start Whe&n Windows Starts"), 1);
    EXPECT_EQ(ReadValue(kRunKey, "PC Maintenance"), std::optional<std::string>(kEntryOn));
    ASSERT_TRUE(user.Click(L"Start Whe&n Windows Starts"));
    EXPECT_TRUE(Eventually([&] { return ReadValue(kRunKey, "PC Maintenance") == kEntryOff; }));
    ASSERT_TRUE(user.Click(L"Start Whe&n Windows Starts"));
    EXPECT_TRUE(Eventually([&] { return ReadValue(kRunKey, "PC Maintenance") == kEntryOn; }));

    // Minimise to the tray; the left click asks, No leaves everything; the right click shows.
    const std::wstring tip = L"Right Click To Show,  Left Click To Start Maintenance.";
    ASSERT_TRUE(user.Click(L"Minimi&ze To System Tray"));
    const auto icon = TrayIconWithTip(tip);
    ASSERT_TRUE(icon.has_value());
    EXPECT_TRUE(Eventually([&] { return !IsWindowVisible(*main); }));
    ASSERT_TRUE(uidriver::ClickTrayIcon(icon->window, false));
    const auto starting =
        uidriver::WaitForMessageBox(L"Maintenance Starting. . .", 10s, program.Id());
    ASSERT_TRUE(starting.has_value());
    EXPECT_EQ(uidriver::MessageBoxText(*starting),
              L"This Will Start Maintenance!\r\nAre You Sure You Want To Initiate?\r\nIf You're "
              L"Trying To Show The Program,\r\nPlease [Right-Click] The Icon!");
    // Wine places the box; whether it came to the foreground is not checked here.
    ASSERT_TRUE(uidriver::PressMessageBoxButton(*starting, IDNO, 5s));
    EXPECT_FALSE(IsWindowVisible(*main));
    ASSERT_TRUE(uidriver::ClickTrayIcon(icon->window, true));
    EXPECT_TRUE(Eventually([&] { return IsWindowVisible(*main) && !IsIconic(*main); }));
    EXPECT_TRUE(Eventually([&] { return !TrayIconWithTip(tip).has_value(); }, 3));

    // Exit with No: StartInTray written, the window stays; a second start still hands over.
    ASSERT_TRUE(user.Click(L"St&art In System Tray"));
    ASSERT_TRUE(user.Click(L"&Exit"));
    user.Answer(L"Close Tidewell?", L"Are You Sure You Want To Close The Program?", IDNO);
    EXPECT_TRUE(Eventually([&] { return ReadValue(kSettingsKey, "StartInTray") == "Yes"; }));
    Sleep(300);
    EXPECT_TRUE(program.Running());
    EXPECT_TRUE(IsWindowVisible(*main));
    {
        InstalledProgram second;
        ASSERT_TRUE(second.Started());
        EXPECT_TRUE(second.WaitForExit(15s).has_value()) << "the first instance kept its place";
    }
    EXPECT_TRUE(program.Running());

    // A close request from outside takes the same confirmation; Yes ends the program.
    PostMessageW(*main, WM_CLOSE, 0, 0);
    user.Answer(L"Close Tidewell?", L"Are You Sure You Want To Close The Program?", IDNO);
    Sleep(300);
    EXPECT_TRUE(program.Running());
    PostMessageW(*main, WM_CLOSE, 0, 0);
    user.Answer(L"Close Tidewell?", L"Are You Sure You Want To Close The Program?", IDYES);
    EXPECT_TRUE(program.WaitForExit(10s).has_value());
}

std::string DateText(const std::chrono::year_month_day& date) {
    return std::to_string(static_cast<unsigned>(date.month())) + "/" +
           std::to_string(static_cast<unsigned>(date.day())) + "/" +
           std::to_string(static_cast<int>(date.year()));
}

// Opens the reminder, answers its two notes and returns the dialog.
std::optional<HWND> OpenReminder(const InstalledProgram& program, const User& user) {
    if (!user.Click(L"Set Re&minder")) {
        return std::nullopt;
    }
    user.Answer(L"Prior Reminder Setting Note!",
                L"Please take note that if you have already set a reminder,\r\nSetting a reminder "
                L"now will set the date back further\r\nconcurrent to the first!",
                IDOK);
    user.Answer(L"Date Issues",
                L"If the program encounters a date that is  \r\nquestionable, it will "
                L"automatically set it for\r\na date that will be accurate!",
                IDOK);
    return program.WaitForForm(L"Set Reminders", 10s);
}

TEST(MainWindow, ReminderStoresCalendarDatesNoneAndNothingOnCancel) {
    PrepareLaterStart("Yes");
    InstalledProgram program;
    ASSERT_TRUE(program.Started());
    const auto main = program.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value());
    const User user(program, *main);
    ASSERT_TRUE(user.Click(L"&Keep On Top"));
    ASSERT_TRUE(user.Click(L"&Keep On Top"));
    ASSERT_TRUE(Eventually([&] { return user.Topmost(); }));

    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::chrono::year_month_day today{
        std::chrono::year{now.wYear}, std::chrono::month{now.wMonth}, std::chrono::day{now.wDay}};
    const auto dialog = OpenReminder(program, user);
    ASSERT_TRUE(dialog.has_value());
    EXPECT_FALSE(IsWindowEnabled(*main)) << "modal: the main window waits";
    EXPECT_FALSE(user.Topmost()) << "on top released while the dialog is open";
    const User inDialog(program, *dialog);
    const auto label =
        uidriver::ChildByText(*dialog, L"Today's Date: " + uidriver::FromUtf8(DateText(today)));
    EXPECT_TRUE(label.has_value()) << "today in the short-date form";
    ASSERT_TRUE(inDialog.Click(L"Three Days From Now"));
    ASSERT_TRUE(inDialog.Click(L"Set Reminder"));
    const std::string due =
        DateText(std::chrono::year_month_day{std::chrono::sys_days{today} + std::chrono::days{3}});
    user.Answer(L"Maintenance Date",
                L"Maintenance Will Be Performed On The Following Date: \r\n\r\n" +
                    std::wstring(35, L' ') + uidriver::FromUtf8(due),
                IDOK);
    EXPECT_TRUE(uidriver::WaitUntilGone(*dialog, 5s));
    // The box comes back on top (and writes "Yes" just after applying the state).
    EXPECT_TRUE(Eventually([&] {
        return IsWindowEnabled(*main) && user.Topmost() &&
               ReadValue(kSettingsKey, "Keep On Top") == "Yes";
    }));
    EXPECT_EQ(ReadValue(kSettingsKey, "NextRun"), std::optional<std::string>(due));
    // The entry is switched on, quoted with the installed folder, and the box follows it.
    EXPECT_EQ(ReadValue(kRunKey, "PC Maintenance"), std::optional<std::string>(kEntryOn));
    EXPECT_EQ(user.Checked(L"Start Whe&n Windows Starts"), 1);

    // NONE: "Never!", the start-up entry untouched (an earlier version's entry, still on).
    SetSetting("NextRun", due);
    SetStartupEntry(kOldEntry);
    auto second = OpenReminder(program, user);
    ASSERT_TRUE(second.has_value());
    ASSERT_TRUE(User(program, *second).Click(L"NONE"));
    ASSERT_TRUE(User(program, *second).Click(L"Set Reminder"));
    user.Answer(L"Maintenance Date",
                L"Maintenance Will Be Performed On The Following Date: \r\n\r\n" +
                    std::wstring(35, L' ') + L"Never!",
                IDOK);
    EXPECT_TRUE(uidriver::WaitUntilGone(*second, 5s));
    EXPECT_EQ(ReadValue(kSettingsKey, "NextRun"), std::optional<std::string>("NONE"));
    EXPECT_EQ(ReadValue(kRunKey, "PC Maintenance"), std::optional<std::string>(kOldEntry));
    EXPECT_EQ(user.Checked(L"Start Whe&n Windows Starts"), 1);

    // Cancel stores nothing and shows nothing more.
    SetSetting("NextRun", "7/4/2030");
    auto third = OpenReminder(program, user);
    ASSERT_TRUE(third.has_value());
    ASSERT_TRUE(User(program, *third).Click(L"One Week From Now"));
    ASSERT_TRUE(User(program, *third).Click(L"Cancel"));
    EXPECT_TRUE(uidriver::WaitUntilGone(*third, 5s));
    EXPECT_TRUE(user.NoBoxWithin(700ms));
    EXPECT_EQ(ReadValue(kSettingsKey, "NextRun"), std::optional<std::string>("7/4/2030"));
    EXPECT_TRUE(Eventually([&] { return IsWindowEnabled(*main); }));
}

} // namespace
