// The event loop, Pause, and message boxes answered from another thread as a user would.
#include "WindowTestSupport.h"

#include "controls/win32/Win32SystemHelperControl.h"
#include "ports/win32/Win32EventLoop.h"
#include "ports/win32/Win32MessageBox.h"

#include "UiAutomation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

using namespace std::chrono_literals;
using tidewell::win32::Win32EventLoop;

// A message-only window counting the messages posted to it.
class Counter {
public:
    Counter() {
        window_ = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                  nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        previous_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
    }
    ~Counter() { DestroyWindow(window_); }
    HWND Window() const { return window_; }
    int Count() const { return count_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Counter*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_APP + 7) {
            ++self->count_;
            return 0;
        }
        return CallWindowProcW(self->previous_, window, message, wParam, lParam);
    }
    HWND window_ = nullptr;
    WNDPROC previous_ = nullptr;
    int count_ = 0;
};

TEST(EventLoop, DoEventsRunsWhatIsPendingAndReportsQuitToTheOuterLoop) {
    Win32EventLoop events;
    Counter counter;
    PostMessageW(counter.Window(), WM_APP + 7, 0, 0);
    PostMessageW(counter.Window(), WM_APP + 7, 0, 0);
    EXPECT_TRUE(events.DoEvents());
    EXPECT_EQ(counter.Count(), 2);
    EXPECT_TRUE(events.DoEvents()) << "nothing pending is no quit";

    PostQuitMessage(5);
    EXPECT_FALSE(events.DoEvents());
    // Posted again for the outer loop, with its exit code.
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 5u);
}

TEST(SystemHelper, PauseWaitsTheTimeWhileWindowEventsRun) {
    Win32EventLoop events;
    tidewell::win32::Win32SystemHelperControl system(events);
    Counter counter;
    PostMessageW(counter.Window(), WM_APP + 7, 0, 0);
    const ULONGLONG start = GetTickCount64();
    system.Pause(300);
    EXPECT_GE(GetTickCount64() - start, 300u);
    EXPECT_EQ(counter.Count(), 1);

    // A quitting application does not wait.
    PostQuitMessage(0);
    const ULONGLONG quitStart = GetTickCount64();
    system.Pause(30000);
    EXPECT_LT(GetTickCount64() - quitStart, 10000u);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    system.Pause(0);
    system.Pause(-5);
}

TEST(SystemHelper, ScreenSaverIsSwitchedOffAndOnAgain) {
    Win32EventLoop events;
    tidewell::win32::Win32SystemHelperControl system(events);
    BOOL active = TRUE;
    system.DisableScreenSaver();
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
    EXPECT_FALSE(active);
    system.EnableScreenSaver();
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0));
    EXPECT_TRUE(active);
}

// Answers the box with the title from another thread and records what it showed.
struct BoxAnswerer {
    BoxAnswerer(std::wstring title, int button) {
        worker = std::thread([this, title, button] {
            const auto box = uidriver::WaitForMessageBox(title, 10000ms, GetCurrentProcessId());
            if (!box) {
                return;
            }
            text = uidriver::MessageBoxText(*box);
            hasNo = GetDlgItem(*box, IDNO) != nullptr;
            pressed = uidriver::PressMessageBoxButton(*box, button, 5000ms);
        });
    }
    ~BoxAnswerer() {
        if (worker.joinable()) {
            worker.join();
        }
    }
    std::thread worker;
    std::wstring text;
    bool hasNo = false;
    std::atomic<bool> pressed{false};
};

TEST(MessageBoxPort, ShowsTheExactTextAndTitleAndReturnsTheAnswer) {
    tidewell::win32::Win32MessageBox messageBox;
    const std::string text =
        "Please Exercise CAUTION When Using This Option Of Tidewell!\xE2\x84\xA2"
        "\r\nIt Can Render Your System Inoperable If You Delete Necessary "
        "Components!\r\n\r\n                                  Do You Want To "
        "Continue?";
    int answer = 0;
    {
        BoxAnswerer user(L"CAUTION!", IDNO);
        answer = messageBox.Show(text, MB_YESNO | MB_ICONEXCLAMATION, "CAUTION!");
        user.worker.join();
        EXPECT_TRUE(user.pressed);
        EXPECT_TRUE(user.hasNo);
        EXPECT_EQ(uidriver::ToUtf8(user.text), text);
    }
    EXPECT_EQ(answer, IDNO);
    {
        BoxAnswerer user(L"Thank You!", IDOK);
        answer = messageBox.Show("Thank You For Downloading Tidewell!  Click OK To Continue.",
                                 MB_OK | MB_ICONINFORMATION, "Thank You!");
        user.worker.join();
        EXPECT_EQ(user.text, L"Thank You For Downloading Tidewell!  Click OK To Continue.");
        EXPECT_FALSE(user.hasNo);
    }
    EXPECT_EQ(answer, IDOK);
}

} // namespace
