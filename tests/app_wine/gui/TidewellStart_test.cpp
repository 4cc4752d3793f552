// The installed program end to end: first start, second instance, date gate and tray start.
#include "InstalledProgram.h"

#include "Version.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace {

using namespace gui;

std::wstring MainTitle() {
    // Minor version and revision are written together: 1.0.8 shows "1.08".
    return L"Tidewell!\x2122 Version " + std::to_wstring(TIDEWELL_VERSION_MAJOR) + L"." +
           std::to_wstring(TIDEWELL_VERSION_MINOR) + std::to_wstring(TIDEWELL_VERSION_PATCH);
}

constexpr wchar_t kIntroCaption[] = L"Tidewell!";
constexpr wchar_t kTrayTip[] = L"Right Click To Show Tidewell!\x2122";

// A start that the gate ends: the process goes without ever showing a window.
void ExpectEndsQuietly(const std::wstring& arguments, const char* why) {
    InstalledProgram program(arguments);
    ASSERT_TRUE(program.Started());
    bool showedWindow = false;
    std::optional<DWORD> code;
    for (int i = 0; i < 300 && !(code = program.WaitForExit(50ms)); ++i) {
        showedWindow = showedWindow || program.HasVisibleWindow();
    }
    ASSERT_TRUE(code.has_value()) << why << ": still running after 15 s";
    EXPECT_EQ(*code, 0u) << why;
    EXPECT_FALSE(showedWindow) << why;
}

// A start that passes the gate: the start-up window shows with the first tick.
void ExpectPassesGate(const std::wstring& arguments, const char* why) {
    InstalledProgram program(arguments);
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.WaitForForm(kIntroCaption, 10s).has_value()) << why;
    EXPECT_TRUE(program.Running()) << why;
}

std::string Date(int month, int day, int year) {
    return std::to_string(month) + "/" + std::to_string(day) + "/" + std::to_string(year);
}

struct ExpectedControl {
    const wchar_t* caption;
    DWORD type; // BS_* type of a button
    bool enabled;
    bool visible;
    const wchar_t* tip;
};

const ExpectedControl kMainControls[] = {
    {L"Free &Disk Space", BS_AUTORADIOBUTTON, true, true, L"Free disk space on this PC."},
    {L"Optimize &Performance", BS_AUTORADIOBUTTON, true, true, L"Optimize performance on this PC."},
    {L"Delete &TEMP Contents", BS_AUTOCHECKBOX, true, true,
     L"Check here to delete contents of 'c:\\windows\\temp'."},
    {L"Disk &Cleanup", BS_AUTOCHECKBOX, true, true, L"Run disk cleanup."},
    {L"&Force IE To Delete Cache And History", BS_AUTOCHECKBOX, true, true,
     L"Opens Internet Options Control Panel to delete cache and history manually."},
    {L"&Optimize Performance", BS_AUTOCHECKBOX, true, true,
     L"Include all Speed Options as well in this session."},
    {L"&Scandisk For Errors", BS_AUTOCHECKBOX, true, true,
     L"Scan your hard disk for errors.  (This must be checked to run a defragment session)"},
    {L"Defragment &Hard Drive", BS_AUTOCHECKBOX, false, true,
     L"Speed up access to the hard drive by the programs you use most often(You must Scan The "
     L"Hard Disk For Errors First)."},
    {L"Show Current &User Run Entries", BS_AUTOCHECKBOX, true, true,
     L"Shows Program That Run When You Log In, and Allows You To Edit Them. [ADVANCED USERS "
     L"ONLY!]"},
    {L"Show &Local Run Entries", BS_AUTOCHECKBOX, true, true,
     L"Shows Programs That Run When Your Computer Starts Up, and Allows You To Edit Them. "
     L"[ADVANCED USERS ONLY!]"},
    {L"Fi&x Problems", BS_AUTOCHECKBOX, true, true,
     L"Include all Space Options as well in this session."},
    {L"&Remove Orphan Entries", BS_AUTOCHECKBOX, true, false,
     L"Removes registry entries that are no longer needed by windows.  Allows You To Select What "
     L"Entries Are Deleted. [ADVANCED AND INTERMEDIATE USERS ONLY!]"},
    {L"&Keep On Top", BS_AUTOCHECKBOX, true, true, L"Check Here To Keep Program Window On Top."},
    {L"Start Whe&n Windows Starts", BS_AUTOCHECKBOX, true, true,
     L"Check Here To Make Tidewell!\x2122 Start Up With Windows"},
    {L"St&art In System Tray", BS_AUTOCHECKBOX, true, true,
     L"Keep Checked To Keep Program In System Tray Upon Start."},
    {L"Start &With Selected Options", BS_PUSHBUTTON, true, true,
     L"Click Here To Start Maintenance Tasks."},
    {L"Set Re&minder", BS_PUSHBUTTON, true, true,
     L"Allows You To Set When Tidewell!\x2122 Reminds You To Run Maintenance. (DEFAULT IS NO "
     L"REMINDER!)."},
    {L"Minimi&ze To System Tray", BS_PUSHBUTTON, true, true,
     L"Send Tidewell!\x2122 to the System Tray."},
    {L"Help", BS_PUSHBUTTON, true, true, L"Click Here For Help With Tidewell!\x2122"},
    {L"&Exit", BS_PUSHBUTTON, true, true, L"Exits Tidewell!\x2122"},
    {L"Speed It All Up", BS_GROUPBOX, true, true, nullptr},
    {L"Fix Problems", BS_GROUPBOX, true, true, nullptr},
};

// Every control of the freshly loaded main window with empty settings: captions, kinds, states,
// tips, the moved TEMP box, status and progress.
void ExpectMainWindowAsLoadedWithoutSettings(const InstalledProgram& program, HWND main) {
    const auto children = uidriver::Children(main);
    std::map<HWND, std::wstring> tips;
    for (const auto& tip : uidriver::ToolTipsOfProcess(program.Id())) {
        tips[tip.control] = tip.text;
    }
    for (const ExpectedControl& expected : kMainControls) {
        SCOPED_TRACE(uidriver::ToUtf8(expected.caption));
        const auto control = uidriver::ChildByText(main, expected.caption);
        ASSERT_TRUE(control.has_value());
        EXPECT_EQ(control->className, L"Button");
        EXPECT_EQ(control->style & BS_TYPEMASK, expected.type);
        EXPECT_EQ(control->enabled, expected.enabled);
        EXPECT_EQ(control->visible, expected.visible);
        EXPECT_EQ(control->checked, BST_UNCHECKED);
        if (expected.tip != nullptr) {
            EXPECT_EQ(tips[control->handle], expected.tip);
        }
    }
    // Load moves the TEMP box to 2080, 3000 twips.
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    const auto temp = uidriver::ChildByText(main, L"Delete &TEMP Contents");
    ASSERT_TRUE(temp.has_value());
    EXPECT_EQ(temp->rect.left, MulDiv(2080, dpiX, 1440));
    EXPECT_EQ(temp->rect.top, MulDiv(3000, dpiY, 1440));

    bool sawStatus = false;
    bool sawProgress = false;
    bool sawLabel = false;
    for (const auto& child : children) {
        if (child.className == STATUSCLASSNAMEW) {
            sawStatus = true;
            EXPECT_EQ(child.text, L"Ready.  Press <SHIFT> Over An Element For Context-Sensitive "
                                  L"Help.");
            EXPECT_EQ(tips[child.handle], L"Look Here For Information.");
        } else if (child.className == PROGRESS_CLASSW) {
            sawProgress = true;
            // Created with its value at the maximum.
            DWORD_PTR max = 0;
            DWORD_PTR pos = 1;
            SendMessageTimeoutW(child.handle, PBM_GETRANGE, FALSE, 0, SMTO_ABORTIFHUNG, 2000, &max);
            SendMessageTimeoutW(child.handle, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 2000, &pos);
            EXPECT_EQ(pos, max);
        } else if (child.className == L"Static" && child.text == L"Progress of Process:") {
            sawLabel = true;
        }
    }
    EXPECT_TRUE(sawStatus);
    EXPECT_TRUE(sawProgress);
    EXPECT_TRUE(sawLabel);
}

TEST(TidewellStart, FirstStartThanksWaitsSevenTicksShowsTheMainWindowAndRefusesASecondInstance) {
    DeleteSettingsKey();
    DeleteValue(kRunKey, "PC Maintenance");
    DeleteValue("SOFTWARE\\Microsoft\\CurrentVersion\\Run", "PC Maintenance");

    InstalledProgram first;
    ASSERT_TRUE(first.Started());
    const auto box = uidriver::WaitForMessageBox(L"Thank You!", 30s, first.Id());
    ASSERT_TRUE(box.has_value()) << "no first-start message";
    EXPECT_EQ(uidriver::MessageBoxText(*box),
              L"Thank You For Downloading Tidewell!  Click OK To Continue.");
    EXPECT_NE(GetDlgItem(*box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(*box, IDCANCEL), nullptr);
    // The key and NextRun exist before the thanks; nothing is visible but the box.
    EXPECT_EQ(ReadValue(kSettingsKey, "NextRun"), std::optional<std::string>("NONE"));
    EXPECT_FALSE(first.Form(MainTitle()).has_value());
    const auto intro = first.Form(kIntroCaption);
    ASSERT_TRUE(intro.has_value());
    EXPECT_FALSE(IsWindowVisible(*intro));

    ASSERT_TRUE(uidriver::PressMessageBoxButton(*box, IDOK, 5s));
    const ULONGLONG okAt = GetTickCount64();
    ASSERT_TRUE(first.WaitForForm(kIntroCaption, 5s).has_value()) << "progress window not shown";
    const auto bar = uidriver::Children(*intro);
    ASSERT_FALSE(bar.empty());
    EXPECT_EQ(bar.front().className, PROGRESS_CLASSW);
    EXPECT_EQ(SendMessageW(bar.front().handle, PBM_GETRANGE, FALSE, 0), 7);

    const auto main = first.WaitForForm(MainTitle(), 30s);
    ASSERT_TRUE(main.has_value()) << "no main window titled " << uidriver::ToUtf8(MainTitle());
    const ULONGLONG waited = GetTickCount64() - okAt;
    EXPECT_GE(waited, 5500u) << "seven ticks of one second";
    EXPECT_LE(waited, 20000u);
    EXPECT_TRUE(uidriver::WaitUntilGone(*intro, 5s)) << "start-up window not unloaded";

    ExpectMainWindowAsLoadedWithoutSettings(first, *main);
    EXPECT_EQ(ReadValue(kSettingsKey, "NextRun"), std::optional<std::string>("NONE"));
    EXPECT_EQ(ReadValue(kSettingsKey, "Keep On Top"), std::optional<std::string>("No"));
    EXPECT_EQ(ReadValue(kSettingsKey, "StartInTray"), std::nullopt) << "written only by Exit";
    EXPECT_EQ(ReadValue(kRunKey, "PC Maintenance"), std::nullopt);
    EXPECT_EQ(ReadValue("SOFTWARE\\Microsoft\\CurrentVersion\\Run", "PC Maintenance"),
              std::nullopt);

    // The visible window lies just above the hidden application window.
    const auto application =
        uidriver::WaitForWindow(L"ThunderRT6Main", L"Tidewell", 0ms, first.Id());
    ASSERT_TRUE(application.has_value());
    EXPECT_EQ(GetWindow(*application, GW_HWNDPREV), *main);
    // It stays so when the main window comes back to the front over another window.
    {
        HWND other = CreateWindowExW(0, L"STATIC", L"another program", WS_OVERLAPPEDWINDOW, 0, 0,
                                     200, 100, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(other, nullptr);
        ShowWindow(other, SW_SHOW);
        SetForegroundWindow(other);
        SetForegroundWindow(*main);
        bool below = false;
        for (int i = 0; i < 60 && !below; ++i) {
            MSG message{};
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                DispatchMessageW(&message);
            }
            below = GetWindow(*application, GW_HWNDPREV) == *main &&
                    GetWindow(*main, GW_HWNDNEXT) == *application;
            Sleep(50);
        }
        EXPECT_TRUE(below) << "just above the application window: "
                           << uidriver::ToUtf8(
                                  uidriver::WindowText(GetWindow(*application, GW_HWNDPREV)));
        DestroyWindow(other);
    }

    // A second start while the first shows its window minimised: it ends without any window and
    // the first window comes back to the front.
    ShowWindowAsync(*main, SW_MINIMIZE);
    ASSERT_TRUE(uidriver::WaitForWindow(kFormClass, MainTitle(), 3s, first.Id(), false));
    for (int i = 0; i < 60 && !IsIconic(*main); ++i) {
        Sleep(50);
    }
    ASSERT_TRUE(IsIconic(*main));
    {
        InstalledProgram second;
        ASSERT_TRUE(second.Started());
        bool secondShowedWindow = false;
        std::optional<DWORD> code;
        for (int i = 0; i < 300 && !(code = second.WaitForExit(50ms)); ++i) {
            secondShowedWindow = secondShowedWindow || second.HasVisibleWindow();
        }
        ASSERT_TRUE(code.has_value()) << "second instance still running";
        EXPECT_EQ(*code, 0u);
        EXPECT_FALSE(secondShowedWindow);
    }
    for (int i = 0; i < 60 && IsIconic(*main); ++i) {
        Sleep(50);
    }
    EXPECT_FALSE(IsIconic(*main)) << "first window not restored";
    EXPECT_EQ(GetForegroundWindow(), *main);
    EXPECT_TRUE(first.Running());
}

TEST(TidewellStart, DateGateEndsStartsOnOtherDaysUnlessACommandLineIsGiven) {
    SYSTEMTIME today{};
    GetLocalTime(&today);
    DeleteSettingsKey();
    SetSetting("StartInTray", "No");
    SetSetting("Keep On Top", "No");

    const std::string future = Date(1, 1, today.wYear + 2);
    SetSetting("NextRun", future);
    ExpectEndsQuietly(L"", "future NextRun");
    ExpectPassesGate(L"/now", "future NextRun with a command line");

    SetSetting("NextRun", "  garbage ");
    ExpectEndsQuietly(L"", "unreadable NextRun");
    SetSetting("NextRun", "", REG_DWORD);
    ExpectEndsQuietly(L"", "NextRun of the wrong type");

    SetSetting("NextRun", Date(today.wMonth, today.wDay, today.wYear));
    ExpectPassesGate(L"", "today's date");
    SetSetting("NextRun", Date(12, 20, 2001));
    ExpectPassesGate(L"", "a date that has passed");
    SetSetting("NextRun", " NONE123 ");
    ExpectPassesGate(L"", "NONE and more");
    EXPECT_EQ(ReadValue(kSettingsKey, "NextRun"), std::optional<std::string>(" NONE123 "))
        << "the gate only reads";
}

TEST(TidewellStart, StartInTrayHidesBehindTheTrayIconUntilARightClick) {
    DeleteSettingsKey();
    SetSetting("NextRun", "NONE");
    SetSetting("StartInTray", " Yes please ");
    SetSetting("Keep On Top", "No");

    InstalledProgram program;
    ASSERT_TRUE(program.Started());
    std::optional<uidriver::TrayIcon> icon;
    for (int i = 0; i < 400 && !icon; ++i) {
        for (const auto& each : uidriver::TrayIcons()) {
            if (each.tip == kTrayTip) {
                icon = each;
            }
        }
        if (!icon) {
            Sleep(50);
        }
    }
    ASSERT_TRUE(icon.has_value()) << "no tray icon with the tip";
    const auto intro = program.Form(kIntroCaption);
    ASSERT_TRUE(intro.has_value());
    EXPECT_FALSE(IsWindowVisible(*intro));
    EXPECT_FALSE(program.Form(MainTitle()).has_value());

    // A left click does nothing here.
    ASSERT_TRUE(uidriver::ClickTrayIcon(icon->window, false));
    Sleep(1500);
    EXPECT_FALSE(program.Form(MainTitle()).has_value());
    EXPECT_TRUE(IsWindow(icon->window));

    ASSERT_TRUE(uidriver::ClickTrayIcon(icon->window, true));
    const auto main = program.WaitForForm(MainTitle(), 15s);
    ASSERT_TRUE(main.has_value()) << "right click opened no main window";
    EXPECT_TRUE(uidriver::WaitUntilGone(*intro, 5s));
    bool iconGone = false;
    for (int i = 0; i < 100 && !iconGone; ++i) {
        iconGone = true;
        for (const auto& each : uidriver::TrayIcons()) {
            iconGone = iconGone && each.tip != kTrayTip;
        }
        if (!iconGone) {
            Sleep(50);
        }
    }
    EXPECT_TRUE(iconGone);
    const auto startInTray = uidriver::ChildByText(*main, L"St&art In System Tray");
    ASSERT_TRUE(startInTray.has_value());
    EXPECT_EQ(startInTray->checked, BST_CHECKED);
}

} // namespace
