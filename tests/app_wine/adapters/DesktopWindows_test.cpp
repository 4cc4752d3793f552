// The application window, the previous-instance calls and the greyed Close command on real windows.
#include "WindowTestSupport.h"

#include "controls/win32/Win32LibraryHelperControl.h"
#include "ports/win32/Win32DesktopWindows.h"
#include "ports/win32/Win32Elevation.h"
#include "startup/win32/WindowFunctions.h"

#include <gtest/gtest.h>

namespace {

using tidewell::WindowHandle;
using tidewell::test::PumpFor;
using tidewell::test::PumpUntil;
using tidewell::test::TestApplication;
using tidewell::win32::Win32DesktopWindows;
using tidewell::win32::Win32FormView;

HWND Hwnd(WindowHandle handle) {
    return reinterpret_cast<HWND>(handle);
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

std::string AnsiText(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof(text));
    return text;
}

TEST(ApplicationWindow, IsAHiddenThunderRT6MainWindowCarryingTheApplicationTitle) {
    TestApplication app;
    ASSERT_TRUE(app.created);
    Win32DesktopWindows windows(app.window);
    HWND handle = app.window.Handle();
    EXPECT_EQ(ClassOf(handle), "ThunderRT6Main");
    EXPECT_EQ(AnsiText(handle), app.title);
    EXPECT_FALSE(IsWindowVisible(handle));
    EXPECT_EQ(GetParent(handle), nullptr);
    EXPECT_EQ(windows.ApplicationTitle(), app.title);

    EXPECT_EQ(Hwnd(windows.FindTopLevelWindow("ThunderRT6Main", app.title)), handle);
    EXPECT_EQ(windows.FindTopLevelWindow("ThunderRT5Main", app.title), 0u);

    // Renaming the title renames the window before returning, so a search no longer finds it.
    windows.SetApplicationTitle("unwanted instance");
    EXPECT_EQ(AnsiText(handle), "unwanted instance");
    EXPECT_EQ(windows.ApplicationTitle(), "unwanted instance");
    EXPECT_EQ(windows.FindTopLevelWindow("ThunderRT6Main", app.title), 0u);
    windows.SetApplicationTitle(app.title);
    EXPECT_EQ(Hwnd(windows.FindTopLevelWindow("ThunderRT6Main", app.title)), handle);
}

TEST(ApplicationWindow, LiesDirectlyBelowTheVisibleFormAlsoWhileItIsTopmost) {
    TestApplication app;
    ASSERT_TRUE(app.created);
    Win32DesktopWindows windows(app.window);
    Win32FormView form(app.hooks);
    ASSERT_TRUE(
        form.Create(GetModuleHandleW(nullptr), "Tidewell!\xE2\x84\xA2 Version 1.08", 3000, 2000));
    form.Show();
    PumpFor(std::chrono::milliseconds(100));
    ASSERT_TRUE(IsWindowVisible(form.Window()));
    EXPECT_EQ(Hwnd(windows.PreviousInZOrder(reinterpret_cast<WindowHandle>(app.window.Handle()))),
              form.Window());

    // A window text with the trademark sign is found through FindWindowA in code page 1252.
    EXPECT_EQ(
        Hwnd(windows.FindTopLevelWindow("TidewellForm", "Tidewell!\xE2\x84\xA2 Version 1.08")),
        form.Window());

    tidewell::win32::Win32LibraryHelperControl library;
    library.SetTopmostWindow(form.Handle());
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_TRUE(GetWindowLongPtrW(form.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(app.window.Handle(), GW_HWNDPREV), form.Window())
        << "just above: " << ClassOf(GetWindow(app.window.Handle(), GW_HWNDPREV));

    library.SetTopmostWindow(0);
    PumpFor(std::chrono::milliseconds(50));
    EXPECT_FALSE(GetWindowLongPtrW(form.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongPtrW(app.window.Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetWindow(app.window.Handle(), GW_HWNDPREV), form.Window());
}

TEST(DesktopWindows, RestoresAMinimisedWindowAndBringsItToTheForeground) {
    TestApplication app;
    ASSERT_TRUE(app.created);
    Win32DesktopWindows windows(app.window);
    Win32FormView form(app.hooks);
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), "minimised", 3000, 2000));
    // The hand-over's restore is a message the window lets through from fewer rights; Wine has no
    // isolation to test it against, only the call.
    EXPECT_TRUE(tidewell::win32::AllowHandOverFromLowerRights(form.Window()));
    form.Show();
    form.Minimize();
    PumpFor(std::chrono::milliseconds(50));
    ASSERT_TRUE(windows.IsMinimised(form.Handle()));
    windows.RestoreMinimised(form.Handle());
    windows.BringToForeground(form.Handle());
    EXPECT_TRUE(PumpUntil([&] { return !IsIconic(form.Window()); }));
    EXPECT_FALSE(windows.IsMinimised(form.Handle()));
    EXPECT_EQ(GetForegroundWindow(), form.Window());
    // No window: nothing happens.
    EXPECT_FALSE(windows.IsMinimised(0));
    windows.RestoreMinimised(0);
    windows.BringToForeground(0);
}

TEST(Elevation, TheTokenIsReadAndWineReportsItElevated) {
    // Wine runs every process elevated, so the program always goes on in the same process here;
    // the elevated restart and a declined prompt are verified only on Windows.
    EXPECT_TRUE(tidewell::win32::Win32Elevation().IsElevated());
}

TEST(DesktopWindows, DisableCloseCommandGreysTheCloseItemAndTakesItsCommandAway) {
    TestApplication app;
    ASSERT_TRUE(app.created);
    Win32DesktopWindows windows(app.window);
    Win32FormView form(app.hooks);
    ASSERT_TRUE(form.Create(GetModuleHandleW(nullptr), "close", 3000, 2000));
    HMENU menu = GetSystemMenu(form.Window(), FALSE);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemID(menu, 6), static_cast<UINT>(SC_CLOSE)) << "the standard menu";
    const int items = GetMenuItemCount(menu);

    windows.DisableCloseCommand(form.Handle(), 6, "&Close");
    EXPECT_EQ(GetMenuItemCount(menu), items);
    EXPECT_EQ(GetMenuItemID(menu, 6), 0xFFFFFFF7u);
    EXPECT_TRUE(GetMenuState(menu, 6, MF_BYPOSITION) & MF_GRAYED);
    char text[32] = {};
    GetMenuStringA(menu, 6, text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&Close");
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1))
        << "no item sends the close command any more";

    // A second call finds no item with a usable command at that place and changes nothing; other
    // positions and windows are refused quietly.
    windows.DisableCloseCommand(form.Handle(), 40, "&Close");
    windows.DisableCloseCommand(0, 6, "&Close");
    EXPECT_EQ(GetMenuItemCount(menu), items);
    EXPECT_EQ(GetMenuItemID(menu, 5), 0u) << "the separator stays";
}

} // namespace
