// The input box dialog, driven from a second thread as a user (or a tool) would drive it.
#include "startup_entries/win32/Win32InputBox.h"
#include "UiAutomation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace {

using namespace std::chrono_literals;
using tidewell::ScreenPosition;
using tidewell::win32::Win32InputBox;

// What the driving thread saw of the box.
struct Seen {
    bool found = false;
    std::wstring staticText;
    std::wstring editText;
    RECT rect{};
};

// Waits for the dialog titled `title` in this process, records it, then does `act` to it.
class BoxDriver {
public:
    BoxDriver(std::wstring title, std::function<void(HWND box, HWND edit)> act) {
        worker_ = std::thread([this, title = std::move(title), act = std::move(act)] {
            const auto box =
                uidriver::WaitForWindow(L"#32770", title, 10000ms, GetCurrentProcessId(), true);
            if (!box) {
                return;
            }
            HWND edit = nullptr;
            for (const uidriver::ChildControl& child : uidriver::Children(*box)) {
                if (child.className == L"Static" && seen.staticText.empty()) {
                    seen.staticText = child.text;
                } else if (child.className == L"Edit") {
                    edit = child.handle;
                    seen.editText = uidriver::WindowText(child.handle);
                }
            }
            GetWindowRect(*box, &seen.rect);
            seen.found = true;
            act(*box, edit);
        });
    }
    ~BoxDriver() { Result(); }
    // What the thread saw, once it is done.
    const Seen& Result() {
        if (worker_.joinable()) {
            worker_.join();
        }
        return seen;
    }

private:
    Seen seen;
    std::thread worker_;
};

HWND ButtonWithText(HWND box, const wchar_t* text) {
    const auto button = uidriver::ChildByText(box, text);
    return button ? button->handle : nullptr;
}

TEST(InputBox, ShowsPromptTitleAndDefaultAndReturnsWhatWasTyped) {
    Win32InputBox inputBox;
    std::string answer;
    Seen seen;
    {
        BoxDriver driver(L"Entry Location?", [](HWND, HWND edit) {
            SendMessageW(edit, WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(L"\"C:\\Program Files\\caf\u00e9.exe\" /s"));
            uidriver::ClickControl(ButtonWithText(GetParent(edit), L"OK"));
        });
        answer = inputBox.Show(
            "Please Type The Path To The New Entry  (e.g. c:\\windows\\readme.exe)",
            "Entry Location?", "c:\\windows\\readme.exe", ScreenPosition{1440 * 2, 1440});
        seen = driver.Result();
    }
    ASSERT_TRUE(seen.found) << "no input box appeared";
    EXPECT_EQ(seen.staticText,
              L"Please Type The Path To The New Entry  (e.g. c:\\windows\\readme.exe)");
    EXPECT_EQ(seen.editText, L"c:\\windows\\readme.exe");
    EXPECT_EQ(answer, "\"C:\\Program Files\\caf\xC3\xA9.exe\" /s");

    // Two inches right, one down: 192 and 96 pixels at 96 dpi.
    HDC screen = GetDC(nullptr);
    const int dpiX = GetDeviceCaps(screen, LOGPIXELSX);
    const int dpiY = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(seen.rect.left, 2 * dpiX);
    EXPECT_EQ(seen.rect.top, dpiY);
}

TEST(InputBox, CancelOrCloseGiveTheEmptyStringAndOkKeepsAnEmptyField) {
    Win32InputBox inputBox;
    {
        BoxDriver driver(L"Residency?", [](HWND box, HWND) {
            uidriver::ClickControl(ButtonWithText(box, L"Cancel"));
        });
        EXPECT_EQ(inputBox.Show("Where Will This Entry Reside? (e.g. LOCAL or USER)", "Residency?",
                                "LOCAL", ScreenPosition{}),
                  "");
        EXPECT_TRUE(driver.Result().found);
    }
    {
        BoxDriver driver(L"Entry Name?", [](HWND box, HWND) { PostMessageW(box, WM_CLOSE, 0, 0); });
        EXPECT_EQ(inputBox.Show("Give Tidewell! The Name Of Your New Registry Entry", "Entry Name?",
                                "NewEntry", ScreenPosition{}),
                  "");
        EXPECT_EQ(driver.Result().editText, L"NewEntry");
    }
    {
        BoxDriver driver(L"Entry Name?", [](HWND box, HWND edit) {
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            uidriver::ClickControl(ButtonWithText(box, L"OK"));
        });
        EXPECT_EQ(inputBox.Show("Give Tidewell! The Name Of Your New Registry Entry", "Entry Name?",
                                "NewEntry", ScreenPosition{}),
                  "");
    }
}

TEST(InputBox, APositionOffTheScreenIsBroughtBackOntoIt) {
    Win32InputBox inputBox;
    BoxDriver driver(L"Far Away",
                     [](HWND box, HWND) { uidriver::ClickControl(ButtonWithText(box, L"OK")); });
    EXPECT_EQ(inputBox.Show("prompt", "Far Away", "kept", ScreenPosition{-200000, 10000000}),
              "kept");
    ASSERT_TRUE(driver.Result().found);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_GE(driver.Result().rect.left, 0);
    EXPECT_LE(driver.Result().rect.bottom, screenHeight);
    EXPECT_LE(driver.Result().rect.right, screenWidth);
}

} // namespace
