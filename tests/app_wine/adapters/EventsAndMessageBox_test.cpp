// The event loop, Pause, and message boxes answered from another thread as a user would.
#include "WindowTestSupport.h"

#include "controls/win32/Win32SystemHelperControl.h"
#include "ports/win32/Win32EventLoop.h"
#include "ui/Runtime.h"
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

TEST(Runtime, PauseSleepsUntilItsEndWhileWindowEventsRunAndStopsAtOnceOnQuit) {
    Win32EventLoop events;
    tidewell::ui::Runtime runtime(events);
    Counter counter;
    PostMessageW(counter.Window(), WM_APP + 7, 0, 0);
    FILETIME createdAt{}, exitedAt{}, kernelBefore{}, userBefore{};
    GetThreadTimes(GetCurrentThread(), &createdAt, &exitedAt, &kernelBefore, &userBefore);
    const ULONGLONG start = GetTickCount64();
    runtime.Pause(300);
    const ULONGLONG waited = GetTickCount64() - start;
    EXPECT_GE(waited, 300u);
    EXPECT_LT(waited, 1000u);
    EXPECT_EQ(counter.Count(), 1);
    // Asleep, not spinning: far less processor time than wall time.
    FILETIME kernelAfter{}, userAfter{};
    GetThreadTimes(GetCurrentThread(), &createdAt, &exitedAt, &kernelAfter, &userAfter);
    const auto busy = [](FILETIME kernel, FILETIME user) {
        return (ULARGE_INTEGER{{kernel.dwLowDateTime, kernel.dwHighDateTime}}.QuadPart +
                ULARGE_INTEGER{{user.dwLowDateTime, user.dwHighDateTime}}.QuadPart) /
               10000;
    };
    EXPECT_LT(busy(kernelAfter, userAfter) - busy(kernelBefore, userBefore), 150u);

    // A quitting program does not wait: the wait throws, and keeps throwing for every later wait.
    int putBack = 0;
    auto hook = runtime.OnQuit([&] { ++putBack; });
    PostQuitMessage(0);
    const ULONGLONG quitStart = GetTickCount64();
    EXPECT_THROW(runtime.Pause(30000), tidewell::ui::ProgramQuitting);
    EXPECT_THROW(runtime.WaitUntil([] { return false; }), tidewell::ui::ProgramQuitting);
    EXPECT_LT(GetTickCount64() - quitStart, 10000u);
    EXPECT_EQ(putBack, 1);
    EXPECT_TRUE(events.Quitting());
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
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
