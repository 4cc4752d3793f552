// The form view: real controls made from the control model, and the traffic between them.
#include "WindowTestSupport.h"

#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/Frame.h"
#include "ui/Label.h"
#include "ui/OptionButton.h"
#include "ui/ProgressBar.h"
#include "ui/StatusBar.h"
#include "ui/FormCore.h"
#include "ui/Runtime.h"
#include "ui/Timer.h"
#include "ports/win32/Win32EventLoop.h"

#include "UiAutomation.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using tidewell::test::PumpFor;
using tidewell::test::PumpUntil;
using tidewell::test::TestApplication;
using tidewell::win32::Win32FormView;
namespace ui = tidewell::ui;

constexpr char kTm[] = "\xE2\x84\xA2";

struct Model {
    ui::Frame frame{"Frame1", "Speed It All Up", {120, 120, 3000, 1500}};
    ui::CheckBox onTop{"chkOnTop",
                       "&Keep On Top",
                       "Check Here To Keep Program Window On Top.",
                       {240, 360, 2400, 300},
                       1};
    ui::CheckBox plain{"chkTEMP", "Delete &TEMP Contents", "", {240, 720, 2400, 300}};
    ui::OptionButton space{
        "optSpace", "Free &Disk Space", "Free disk space on this PC.", {3300, 120, 2400, 300}};
    ui::OptionButton performance{"optPerformance",
                                 "Optimize &Performance",
                                 "Optimize performance on this PC.",
                                 {3300, 480, 2400, 300}};
    ui::CommandButton exit{
        "cmdExit", "&Exit", std::string("Exits Tidewell!") + kTm, {3300, 900, 1200, 360}};
    ui::Label label{"Label1", "Progress of Process:", {120, 1800, 1800, 255}};
    ui::ProgressBar bar{"ProgressBar1", {2000, 1800, 3000, 255}, 0, 100};
    ui::StatusBar status{"StatusBar1", "Look Here For Information.", "Ready.", {0, 0, 0, 0}};
    ui::Timer timer{"MyTimer", 50};

    std::vector<ui::Control*> All() {
        return {&frame, &onTop, &plain, &space, &performance, &exit, &label, &bar, &status, &timer};
    }
};

// A core that only hands its controls over.
class ModelCore final : public ui::FormCore {
public:
    ModelCore(tidewell::WindowView& view, ui::Runtime& runtime, Model& model)
        : FormCore(view, runtime), model_(model) {}
    std::vector<ui::Control*> Controls() override { return model_.All(); }

private:
    Model& model_;
};

class FormViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app_.created);
        ui::OptionButton::MakeGroup({&model_.space, &model_.performance});
        model_.onTop.OnClick([this] { ++onTopClicks_; });
        model_.space.OnClick([this] { ++spaceClicks_; });
        model_.exit.OnClick([this] { ++exitClicks_; });
        model_.timer.OnTimer([this] { ++ticks_; });
        ASSERT_TRUE(
            view_.Create(GetModuleHandleW(nullptr), std::string("Tidewell!") + kTm, 6000, 2600));
        view_.Bind(core_);
        view_.Show();
        PumpFor(50ms);
    }

    HWND Real(const ui::Control& control) { return view_.ControlWindow(control); }
    LRESULT Check(const ui::Control& control) {
        return SendMessageW(Real(control), BM_GETCHECK, 0, 0);
    }

    TestApplication app_;
    Model model_;
    Win32FormView view_{app_.hooks};
    tidewell::win32::Win32EventLoop events_;
    ui::Runtime runtime_{events_};
    ModelCore core_{view_, runtime_, model_};
    int onTopClicks_ = 0;
    int spaceClicks_ = 0;
    int exitClicks_ = 0;
    int ticks_ = 0;
};

TEST_F(FormViewTest, RealControlsCarryTheModelsKindsTextsStatesAndTwipPositions) {
    struct Row {
        const ui::Control* model;
        const wchar_t* className;
        DWORD buttonType; // BS_TYPEMASK bits for buttons
        const wchar_t* text;
    };
    const Row rows[] = {
        {&model_.frame, L"Button", BS_GROUPBOX, L"Speed It All Up"},
        {&model_.onTop, L"Button", BS_AUTOCHECKBOX, L"&Keep On Top"},
        {&model_.space, L"Button", BS_AUTORADIOBUTTON, L"Free &Disk Space"},
        {&model_.exit, L"Button", BS_PUSHBUTTON, L"&Exit"},
        {&model_.label, L"Static", 0, L"Progress of Process:"},
        {&model_.bar, PROGRESS_CLASSW, 0, L""},
        {&model_.status, STATUSCLASSNAMEW, 0, L"Ready."},
    };
    const std::vector<ui::Control*> all = model_.All();
    for (const Row& row : rows) {
        HWND real = Real(*row.model);
        ASSERT_NE(real, nullptr) << row.model->Name();
        EXPECT_EQ(uidriver::ClassName(real), row.className) << row.model->Name();
        EXPECT_EQ(uidriver::WindowText(real), row.text) << row.model->Name();
        if (std::wstring(row.className) == L"Button") {
            EXPECT_EQ(GetWindowLongPtrW(real, GWL_STYLE) & BS_TYPEMASK, row.buttonType)
                << row.model->Name();
        }
        const auto index = std::find(all.begin(), all.end(), row.model) - all.begin();
        EXPECT_EQ(GetDlgCtrlID(real), Win32FormView::kFirstControlId + index) << row.model->Name();
    }
    EXPECT_EQ(uidriver::WindowText(view_.Window()), L"Tidewell!\x2122");
    EXPECT_EQ(Check(model_.onTop), BST_CHECKED);
    EXPECT_EQ(Check(model_.space), BST_UNCHECKED);
    EXPECT_EQ(Check(model_.performance), BST_UNCHECKED);

    // 240 twips left, 360 top: 16 and 24 pixels at 96 dpi.
    RECT rect{};
    GetWindowRect(Real(model_.onTop), &rect);
    MapWindowPoints(nullptr, view_.Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, view_.TwipsToPixelsX(240));
    EXPECT_EQ(rect.top, view_.TwipsToPixelsY(360));
    EXPECT_EQ(rect.right - rect.left, view_.TwipsToPixelsX(2400));
    EXPECT_EQ(view_.TwipsToPixelsX(1440), GetDeviceCaps(GetDC(nullptr), LOGPIXELSX));
}

TEST_F(FormViewTest, AUserClickRunsTheClickBehaviourOnceAndSettingFromCodeDoesNotClickTwice) {
    uidriver::ClickControl(Real(model_.onTop));
    ASSERT_TRUE(PumpUntil([&] { return onTopClicks_ == 1; }));
    EXPECT_EQ(model_.onTop.Value(), 0);
    EXPECT_EQ(Check(model_.onTop), BST_UNCHECKED);

    // From code: the real box follows, the behaviour runs once (from the model), not again from
    // a notification of the real control.
    model_.onTop.SetValue(1);
    PumpFor(100ms);
    EXPECT_EQ(onTopClicks_, 2);
    EXPECT_EQ(Check(model_.onTop), BST_CHECKED);
    model_.onTop.SetValue(1); // no change, no behaviour
    PumpFor(50ms);
    EXPECT_EQ(onTopClicks_, 2);
}

TEST_F(FormViewTest, AnErrorEscapingAHandlerIsReportedInOneBox) {
    model_.exit.OnClick([] { throw std::runtime_error("the disk went away"); });
    // The box is modal on this thread: another thread reads and closes it.
    std::wstring text;
    bool closed = false;
    std::thread answer([&] {
        if (const auto box =
                uidriver::WaitForMessageBox(L"ERROR!", 10000ms, GetCurrentProcessId())) {
            text = uidriver::MessageBoxText(*box);
            closed = uidriver::PressMessageBoxButton(*box, IDOK, 5000ms);
        }
    });
    uidriver::ClickControl(Real(model_.exit));
    PumpUntil([&] { return closed; });
    answer.join();
    EXPECT_EQ(text, L"An Unexpected Error Occurred!\r\nthe disk went away");
    EXPECT_TRUE(IsWindow(Real(model_.exit))) << "the window goes on";
}

TEST_F(FormViewTest, OptionButtonsExcludeEachOtherThroughTheModel) {
    uidriver::ClickControl(Real(model_.space));
    ASSERT_TRUE(PumpUntil([&] { return spaceClicks_ == 1; }));
    EXPECT_TRUE(model_.space.Value());
    EXPECT_EQ(Check(model_.space), BST_CHECKED);

    model_.performance.SetValue(true);
    PumpFor(50ms);
    EXPECT_EQ(Check(model_.performance), BST_CHECKED);
    EXPECT_EQ(Check(model_.space), BST_UNCHECKED);
    EXPECT_FALSE(model_.space.Value());
    EXPECT_EQ(spaceClicks_, 1);
}

TEST_F(FormViewTest, EnabledVisibleCaptionPositionAndValuesFollowTheModel) {
    model_.plain.SetEnabled(false);
    model_.exit.SetVisible(false);
    model_.label.SetCaption("Working. . .");
    model_.plain.Move(2080, 3000);
    model_.bar.SetMax(7);
    model_.bar.SetValue(3);
    model_.status.SetPanelText(std::string("Tidewell!") + kTm + " ready");
    EXPECT_FALSE(IsWindowEnabled(Real(model_.plain)));
    EXPECT_FALSE(IsWindowVisible(Real(model_.exit)));
    EXPECT_EQ(uidriver::WindowText(Real(model_.label)), L"Working. . .");
    RECT rect{};
    GetWindowRect(Real(model_.plain), &rect);
    MapWindowPoints(nullptr, view_.Window(), reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_EQ(rect.left, view_.TwipsToPixelsX(2080));
    EXPECT_EQ(rect.top, view_.TwipsToPixelsY(3000));
    EXPECT_EQ(SendMessageW(Real(model_.bar), PBM_GETRANGE, FALSE, 0), 7);
    EXPECT_EQ(SendMessageW(Real(model_.bar), PBM_GETPOS, 0, 0), 3);
    wchar_t panel[64] = {};
    SendMessageW(Real(model_.status), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(panel));
    EXPECT_STREQ(panel, L"Tidewell!\x2122 ready");

    // A disabled button cannot be clicked.
    model_.exit.SetVisible(true);
    model_.exit.SetEnabled(false);
    EXPECT_FALSE(uidriver::ClickControl(Real(model_.exit)));
    model_.exit.SetEnabled(true);
    ASSERT_TRUE(uidriver::ClickControl(Real(model_.exit)));
    EXPECT_TRUE(PumpUntil([&] { return exitClicks_ == 1; }));
}

TEST_F(FormViewTest, TipTextsAreToolTipsOfTheirControls) {
    model_.exit.SetTipText(std::string("Exits Tidewell!") + kTm + " now");
    const auto tips = uidriver::ToolTipsOfProcess(GetCurrentProcessId());
    auto tipOf = [&](const ui::Control& control) -> std::wstring {
        for (const auto& tip : tips) {
            if (tip.control == Real(control)) {
                return tip.text;
            }
        }
        return L"<none>";
    };
    EXPECT_EQ(tipOf(model_.onTop), L"Check Here To Keep Program Window On Top.");
    EXPECT_EQ(tipOf(model_.space), L"Free disk space on this PC.");
    EXPECT_EQ(tipOf(model_.exit), L"Exits Tidewell!\x2122 now");
    EXPECT_EQ(tipOf(model_.status), L"Look Here For Information.");
    EXPECT_EQ(tipOf(model_.plain), L"<none>");
}

TEST_F(FormViewTest, AFrameLiesBehindEveryControlEvenThoseMadeAfterIt) {
    // The frame comes first in the model; a control below it in the Z-order would be clipped.
    HWND frame = Real(model_.frame);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(GetWindow(frame, GW_HWNDNEXT), nullptr);
    HWND inside = ChildWindowFromPointEx(
        view_.Window(), POINT{view_.TwipsToPixelsX(300), view_.TwipsToPixelsY(420)},
        CWP_SKIPINVISIBLE);
    EXPECT_EQ(inside, Real(model_.onTop)) << "the box inside the frame is hit, not the frame";
}

TEST_F(FormViewTest, TimerTicksOnlyWhileEnabled) {
    PumpFor(150ms);
    EXPECT_EQ(ticks_, 0) << "created disabled";
    model_.timer.SetEnabled(true);
    ASSERT_TRUE(PumpUntil([&] { return ticks_ >= 2; }));
    model_.timer.SetEnabled(false);
    const int stopped = ticks_;
    PumpFor(200ms);
    EXPECT_EQ(ticks_, stopped);
}

TEST_F(FormViewTest, UnloadDestroysTheWindowAndTheLastFormEndsTheMessageLoop) {
    EXPECT_EQ(app_.forms.Count(), 1);
    HWND window = view_.Window();
    view_.Destroy();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(view_.Handle(), 0u);
    EXPECT_EQ(app_.forms.Count(), 0);
    MSG message{};
    EXPECT_TRUE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    // The model lives on without its view.
    model_.onTop.SetValue(0);
    EXPECT_EQ(onTopClicks_, 1);
}

} // namespace
