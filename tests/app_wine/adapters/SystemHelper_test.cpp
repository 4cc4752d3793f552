// The system and library helper controls: screen saver, Recycle Bin, applets, restart privilege.
#include "RunTestSupport.h"
#include "controls/win32/Win32LibraryHelperControl.h"
#include "controls/win32/Win32SystemHelperControl.h"
#include "fakes/FakeEventLoop.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdlib>

namespace tidewell {
namespace {

using test::Eventually;

bool ScreenSaverActive() {
    BOOL active = FALSE;
    EXPECT_TRUE(SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
    return active != FALSE;
}

void SetScreenSaver(bool active) {
    ASSERT_TRUE(SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active, nullptr, 0));
}

class ScreenSaverAndBin : public ::testing::Test {
protected:
    void SetUp() override { wasActive_ = ScreenSaverActive(); }
    void TearDown() override { SetScreenSaver(wasActive_); }
    fakes::FakeEventLoop events_;
    win32::Win32SystemHelperControl helper_{events_};
    bool wasActive_ = false;
};

TEST_F(ScreenSaverAndBin, ScreenSaverOffAndThenBackToTheStateItFound) {
    SetScreenSaver(true);
    helper_.DisableScreenSaver();
    EXPECT_FALSE(ScreenSaverActive());
    helper_.DisableScreenSaver(); // twice: still puts back the first state found
    helper_.EnableScreenSaver();
    EXPECT_TRUE(ScreenSaverActive());

    // Switched off by the user before the run: it stays off afterwards.
    SetScreenSaver(false);
    helper_.DisableScreenSaver();
    EXPECT_FALSE(ScreenSaverActive());
    helper_.EnableScreenSaver();
    EXPECT_FALSE(ScreenSaverActive());

    // Without a DisableScreenSaver before it, EnableScreenSaver switches it on.
    helper_.EnableScreenSaver();
    EXPECT_TRUE(ScreenSaverActive());
}

// Wine's Recycle Bin is the host Trash under XDG_DATA_HOME; scripts/wine.sh points that into the
// build tree. This test refuses to run against any other Trash.
std::string PrivateTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data == nullptr || std::string(data).find("/wine/home/") == std::string::npos) {
        return {};
    }
    return std::string(data) + "/Trash";
}

TEST_F(ScreenSaverAndBin, EmptiesTheRecycleBinWithoutAsking) {
    const std::string trash = PrivateTrash();
    if (trash.empty()) {
        GTEST_SKIP() << "XDG_DATA_HOME is not the prefix's private home";
    }
    test::ScratchFolder folder(L"TidewellRecycle");
    ASSERT_TRUE(folder.Created());
    const std::wstring name = L"recycled-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    const std::wstring file = folder / name;
    ASSERT_TRUE(test::WriteFileText(file));
    std::wstring from = file + L'\0'; // double-terminated list
    SHFILEOPSTRUCTW operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    ASSERT_EQ(SHFileOperationW(&operation), 0);
    ASSERT_FALSE(test::Exists(file));

    // Seen from Windows through the Z: drive.
    std::wstring trashFiles = L"Z:" + std::wstring(trash.begin(), trash.end()) + L"/files/" + name;
    for (wchar_t& c : trashFiles) {
        c = c == L'/' ? L'\\' : c;
    }
    ASSERT_TRUE(test::Exists(trashFiles)) << "not in the private Trash";
    helper_.EmptyRecycleBin();
    EXPECT_FALSE(test::Exists(trashFiles));
}

HWND NewTopLevelWindowTitled(const std::vector<std::wstring>& titles) {
    for (const std::wstring& title : titles) {
        if (HWND window = FindWindowW(nullptr, title.c_str())) {
            return window;
        }
    }
    return nullptr;
}

void CloseAndWait(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process != nullptr) {
        if (WaitForSingleObject(process, 5000) != WAIT_OBJECT_0) {
            TerminateProcess(process, 1);
        }
        CloseHandle(process);
    }
}

TEST_F(ScreenSaverAndBin, InternetOptionsOpenInTheirOwnProcess) {
    // Windows titles the sheet "Internet Properties"; Wine's inetcpl "Internet Settings".
    const std::vector<std::wstring> titles{L"Internet Properties", L"Internet Settings"};
    ASSERT_EQ(NewTopLevelWindowTitled(titles), nullptr) << "one is open already";
    const ULONGLONG before = GetTickCount64();
    helper_.OpenInternetOptions();
    EXPECT_LT(GetTickCount64() - before, 2000u) << "returns at once";
    HWND sheet = nullptr;
    EXPECT_TRUE(Eventually([&] { return (sheet = NewTopLevelWindowTitled(titles)) != nullptr; },
                           std::chrono::milliseconds(15000)));
    if (sheet != nullptr) {
        DWORD id = 0;
        GetWindowThreadProcessId(sheet, &id);
        EXPECT_NE(id, GetCurrentProcessId());
        CloseAndWait(sheet);
    }
}

TEST(LibraryHelperDialogs, InstallingProgramsOpensItsAppletAndUnknownNumbersDoNothing) {
    win32::Win32LibraryHelperControl library;
    const std::vector<std::wstring> titles{L"Add/Remove Programs", L"Programs and Features",
                                           L"Add or Remove Programs"};
    ASSERT_EQ(NewTopLevelWindowTitled(titles), nullptr);
    library.SetShowSystemDialog(12345);
    const ULONGLONG before = GetTickCount64();
    library.SetShowSystemDialog(9);
    EXPECT_LT(GetTickCount64() - before, 2000u) << "returns at once";
    HWND applet = nullptr;
    EXPECT_TRUE(Eventually([&] { return (applet = NewTopLevelWindowTitled(titles)) != nullptr; },
                           std::chrono::milliseconds(15000)));
    if (applet != nullptr) {
        CloseAndWait(applet);
    }
}

TEST(SystemHelperRestart, TheShutdownPrivilegeIsEnabledFirst) {
    // RestartWindows itself is never called here; only its first step is.
    ASSERT_TRUE(win32::Win32SystemHelperControl::EnableShutdownPrivilege());
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    LUID shutdown{};
    ASSERT_TRUE(LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &shutdown));
    PRIVILEGE_SET set{};
    set.PrivilegeCount = 1;
    set.Control = PRIVILEGE_SET_ALL_NECESSARY;
    set.Privilege[0].Luid = shutdown;
    BOOL held = FALSE;
    EXPECT_TRUE(PrivilegeCheck(token, &set, &held));
    EXPECT_TRUE(held);
    CloseHandle(token);
}

} // namespace
} // namespace tidewell
