// The runtime on real windows: forms made by ui::Form, list and text boxes, mouse moves with the
// real key state, the hourglass pointer and the modal loop.
#include "WindowTestSupport.h"

#include "ports/win32/Win32EventLoop.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/Runtime.h"
#include "ui/TextBox.h"
#include "ui/win32/Win32Forms.h"

#include "UiAutomation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using tidewell::test::PumpFor;
using tidewell::test::PumpUntil;
using tidewell::test::TestApplication;
namespace ui = tidewell::ui;

class Editor final : public ui::FormCore {
public:
    static constexpr std::string_view kCaption = "Registry Entries Test";
    static constexpr int kClientWidth = 6000;
    static constexpr int kClientHeight = 3600;

    Editor(ui::Runtime& runtime, tidewell::WindowView& view) : FormCore(view, runtime) {
        lstbxEntries.OnClick([this] { clicks.push_back(lstbxEntries.ListIndex()); });
        cmdFinished.OnClick([this] { Unload(); });
        cmdFinished.OnMouseMove(
            [this](int button, int shift, int, int) { moves.push_back(button * 10 + shift); });
    }
    std::vector<ui::Control*> Controls() override {
        return {&lstbxEntries, &txtData, &cmdFinished};
    }

    ui::ListBox lstbxEntries{"lstbxEntries", "The entries", {120, 120, 2400, 2400}};
    ui::TextBox txtData{"txtData", "", {2640, 120, 3240, 1200}};
    ui::CommandButton cmdFinished{"cmdFinished", "&Finished!", "", {2640, 1800, 1800, 480}};
    std::vector<int> clicks;
    std::vector<int> moves;
};

class FormRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app_.created); }
    void TearDown() override {
        MSG message{};
        PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE); // the last form's quit
    }
    HWND Real(ui::Form<Editor>& form, const ui::Control& control) {
        return static_cast<tidewell::win32::Win32FormView&>(form.View()).ControlWindow(control);
    }

    TestApplication app_;
    tidewell::win32::Win32EventLoop events_;
    ui::Runtime runtime_{events_};
    tidewell::win32::Win32Forms forms_{GetModuleHandleW(nullptr), app_.hooks};
};

void MoveMouseTo(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    uidriver::MoveMouseTo(point);
}

void ClickMouseAt(HWND window, int x, int y) {
    POINT point{x, y};
    ClientToScreen(window, &point);
    uidriver::LeftClickAt(point);
}

std::wstring ListItem(HWND list, int index) {
    wchar_t text[256] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
    return text;
}

TEST_F(FormRuntimeTest, ListAndTextBoxesFollowTheModelAndAUserSelectionRunsTheClickOnce) {
    ui::Form<Editor> form(forms_, runtime_);
    form->Show();
    HWND list = Real(form, form->lstbxEntries);
    HWND text = Real(form, form->txtData);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(uidriver::ClassName(list), L"ListBox");
    EXPECT_EQ(GetWindowLongPtrW(list, GWL_STYLE) & LBS_SORT, 0) << "unsorted";
    EXPECT_NE(GetWindowLongPtrW(text, GWL_STYLE) & ES_READONLY, 0);

    for (const char* item : {"Zeta", "Alpha", "Tidewell!\xE2\x84\xA2", "  spaced  "}) {
        form->lstbxEntries.AddItem(item);
    }
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 4);
    EXPECT_EQ(ListItem(list, 0), L"Zeta");
    EXPECT_EQ(ListItem(list, 2), L"Tidewell!\x2122");
    EXPECT_EQ(ListItem(list, 3), L"  spaced  ");

    form->lstbxEntries.SetListIndex(1); // from code: the real list follows, the click runs once
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    PumpFor(100ms);
    EXPECT_EQ(form->clicks, (std::vector<int>{1}));

    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item));
    POINT inList{item.left + 5, (item.top + item.bottom) / 2};
    MapWindowPoints(list, reinterpret_cast<HWND>(form.View().Handle()), &inList, 1);
    SetForegroundWindow(reinterpret_cast<HWND>(form.View().Handle()));
    ClickMouseAt(reinterpret_cast<HWND>(form.View().Handle()), inList.x, inList.y);
    ASSERT_TRUE(PumpUntil([&] { return form->clicks.size() == 2; }));
    PumpFor(150ms);
    EXPECT_EQ(form->clicks, (std::vector<int>{1, 3}));
    EXPECT_EQ(form->lstbxEntries.ListIndex(), 3);

    form->lstbxEntries.SetListIndex(-1);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    form->lstbxEntries.Clear();
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(form->clicks, (std::vector<int>{1, 3, -1}));

    form->txtData.SetText("C:\\Program Files\\App\\app.exe /quiet \"x\"\xE2\x84\xA2");
    EXPECT_EQ(uidriver::WindowText(text), L"C:\\Program Files\\App\\app.exe /quiet \"x\"\x2122");
}

TEST_F(FormRuntimeTest, MouseMovesCarryTheRealKeyStateAndADisabledButtonRaisesNone) {
    ui::Form<Editor> form(forms_, runtime_);
    form->Show();
    HWND main = reinterpret_cast<HWND>(form.View().Handle());
    HWND button = Real(form, form->cmdFinished);
    SetForegroundWindow(main);
    PumpFor(100ms);
    RECT rect{};
    GetWindowRect(button, &rect);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);

    uidriver::PressKeys({VK_SHIFT});
    MoveMouseTo(main, rect.left + 5, rect.top + 5);
    MoveMouseTo(main, rect.left + 9, rect.top + 7);
    const bool sawShift = PumpUntil(
        [&] { return std::find(form->moves.begin(), form->moves.end(), 1) != form->moves.end(); });
    uidriver::ReleaseKeys({VK_SHIFT});
    uidriver::PressKeys({VK_SHIFT, VK_CONTROL});
    MoveMouseTo(main, rect.left + 12, rect.top + 8);
    const bool sawShiftCtrl = PumpUntil(
        [&] { return std::find(form->moves.begin(), form->moves.end(), 3) != form->moves.end(); });
    uidriver::ReleaseKeys({VK_CONTROL, VK_SHIFT});
    EXPECT_TRUE(sawShift);
    EXPECT_TRUE(sawShiftCtrl) << ::testing::PrintToString(form->moves);

    form->cmdFinished.SetEnabled(false);
    PumpFor(50ms);
    form->moves.clear();
    MoveMouseTo(main, rect.left + 6, rect.top + 6);
    MoveMouseTo(main, rect.left + 14, rect.top + 9);
    PumpFor(200ms);
    EXPECT_TRUE(form->moves.empty());
}

TEST_F(FormRuntimeTest, TheHourglassIsShownOverTheWindowAndItsControlsUntilReset) {
    ui::Form<Editor> form(forms_, runtime_);
    form->Show();
    HWND main = reinterpret_cast<HWND>(form.View().Handle());
    SetForegroundWindow(main);
    MoveMouseTo(main, 20, 20);
    PumpFor(100ms);
    const HCURSOR wait = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));

    form->SetMousePointer(ui::MousePointer::Hourglass);
    EXPECT_EQ(GetCursor(), wait);
    // Over a control the form decides too (WM_SETCURSOR reaches the parent first).
    RECT rect{};
    GetWindowRect(Real(form, form->cmdFinished), &rect);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&rect), 2);
    MoveMouseTo(main, rect.left + 5, rect.top + 5);
    PumpFor(150ms);
    EXPECT_EQ(GetCursor(), wait);

    form->SetMousePointer(ui::MousePointer::Default);
    MoveMouseTo(main, 22, 22);
    PumpFor(150ms);
    EXPECT_EQ(GetCursor(), arrow);
}

TEST_F(FormRuntimeTest, AModalFormDisablesTheOtherFormsUntilItsUnloadAndAQuitEndsItsLoop) {
    ui::Form<Editor> owner(forms_, runtime_);
    owner->Show();
    HWND ownerWindow = reinterpret_cast<HWND>(owner.View().Handle());
    bool ownerEnabledMeanwhile = true;
    {
        ui::Form<Editor> dialog(forms_, runtime_);
        HWND finished = Real(dialog, dialog->cmdFinished);
        // The user presses the dialog's button a moment after it shows.
        std::thread user([&] {
            Sleep(400);
            ownerEnabledMeanwhile = IsWindowEnabled(ownerWindow) != FALSE;
            uidriver::ClickControl(finished);
        });
        dialog->ShowModal();
        user.join();
        EXPECT_FALSE(dialog->Loaded());
    }
    EXPECT_FALSE(ownerEnabledMeanwhile);
    EXPECT_TRUE(IsWindowEnabled(ownerWindow));
    EXPECT_FALSE(runtime_.InModal());

    // The program ends while a modal form is open: the loop stops and the others come back.
    ui::Form<Editor> dialog(forms_, runtime_);
    std::thread ending([&] {
        Sleep(300);
        PostThreadMessageW(GetWindowThreadProcessId(ownerWindow, nullptr), WM_QUIT, 0, 0);
    });
    EXPECT_THROW(dialog->ShowModal(), ui::ProgramQuitting);
    ending.join();
    EXPECT_TRUE(IsWindowEnabled(ownerWindow));
    EXPECT_FALSE(runtime_.InModal());
}

} // namespace
