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
using tidewell::WindowHandle;
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

// A plain top-level window standing in for the editor.
class OwnerWindow {
public:
    OwnerWindow(int left, int top)
        : window_(CreateWindowExW(0, L"STATIC", L"Registry Entries", WS_OVERLAPPEDWINDOW, left, top,
                                  400, 300, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr)) {
    }
    ~OwnerWindow() {
        if (window_) {
            DestroyWindow(window_);
        }
    }
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;
    WindowHandle Handle() const { return reinterpret_cast<WindowHandle>(window_); }
    RECT Rect() const {
        RECT rect{};
        GetWindowRect(window_, &rect);
        return rect;
    }

private:
    HWND window_;
};

HWND ButtonWithText(HWND box, const wchar_t* text) {
    const auto button = uidriver::ChildByText(box, text);
    return button ? button->handle : nullptr;
}

TEST(InputBox, ShowsPromptTitleAndDefaultAndReturnsWhatWasTyped) {
    Win32InputBox inputBox;
    OwnerWindow owner(150, 120);
    std::string answer;
    Seen seen;
    {
        BoxDriver driver(L"Entry Location?", [](HWND, HWND edit) {
            SendMessageW(edit, WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(L"\"C:\\Program Files\\caf\u00e9.exe\" /s"));
            uidriver::ClickControl(ButtonWithText(GetParent(edit), L"OK"));
        });
        answer =
            inputBox.Show("Please Type The Path To The New Entry  (e.g. c:\\windows\\readme.exe)",
                          "Entry Location?", "c:\\windows\\readme.exe", owner.Handle());
        seen = driver.Result();
    }
    ASSERT_TRUE(seen.found) << "no input box appeared";
    EXPECT_EQ(seen.staticText,
              L"Please Type The Path To The New Entry  (e.g. c:\\windows\\readme.exe)");
    EXPECT_EQ(seen.editText, L"c:\\windows\\readme.exe");
    EXPECT_EQ(answer, "\"C:\\Program Files\\caf\xC3\xA9.exe\" /s");
    // At the editor window's top-left corner.
    EXPECT_EQ(seen.rect.left, owner.Rect().left);
    EXPECT_EQ(seen.rect.top, owner.Rect().top);
}

TEST(InputBox, CancelOrCloseGiveTheEmptyStringAndOkKeepsAnEmptyField) {
    Win32InputBox inputBox;
    {
        BoxDriver driver(L"Residency?", [](HWND box, HWND) {
            uidriver::ClickControl(ButtonWithText(box, L"Cancel"));
        });
        EXPECT_EQ(inputBox.Show("Where Will This Entry Reside? (e.g. LOCAL or USER)", "Residency?",
                                "LOCAL", 0),
                  "");
        EXPECT_TRUE(driver.Result().found);
    }
    {
        BoxDriver driver(L"Entry Name?", [](HWND box, HWND) { PostMessageW(box, WM_CLOSE, 0, 0); });
        EXPECT_EQ(inputBox.Show("Give Tidewell! The Name Of Your New Registry Entry", "Entry Name?",
                                "NewEntry", 0),
                  "");
        EXPECT_EQ(driver.Result().editText, L"NewEntry");
    }
    {
        BoxDriver driver(L"Entry Name?", [](HWND box, HWND edit) {
            SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
            uidriver::ClickControl(ButtonWithText(box, L"OK"));
        });
        EXPECT_EQ(inputBox.Show("Give Tidewell! The Name Of Your New Registry Entry", "Entry Name?",
                                "NewEntry", 0),
                  "");
    }
}

TEST(InputBox, AnOwnerOffTheScreenLeavesTheBoxOnItAndNoOwnerCentresIt) {
    Win32InputBox inputBox;
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    {
        OwnerWindow owner(-3000, 5000);
        BoxDriver driver(L"Far Away", [](HWND box, HWND) {
            uidriver::ClickControl(ButtonWithText(box, L"OK"));
        });
        EXPECT_EQ(inputBox.Show("prompt", "Far Away", "kept", owner.Handle()), "kept");
        ASSERT_TRUE(driver.Result().found);
        EXPECT_GE(driver.Result().rect.left, 0);
        EXPECT_LE(driver.Result().rect.bottom, screenHeight);
        EXPECT_LE(driver.Result().rect.right, screenWidth);
    }
    {
        BoxDriver driver(L"Centred", [](HWND box, HWND) {
            uidriver::ClickControl(ButtonWithText(box, L"Cancel"));
        });
        EXPECT_EQ(inputBox.Show("prompt", "Centred", "x", 0), "");
        const RECT rect = driver.Result().rect;
        EXPECT_NEAR((rect.left + rect.right) / 2, screenWidth / 2, 2);
        EXPECT_NEAR((rect.top + rect.bottom) / 2, screenHeight / 2, 2);
    }
}

} // namespace
