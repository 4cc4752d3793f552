// frmMaintenance on its real window with the real user32 adapters and an in-memory registry:
// the greyed Close, and the keep-on-top box as a user clicks it.
#include "app_wine/RealApp.h"
#include "fakes/FakeMessageBox.h"
#include "main/frmMaintenance.h"
#include "ui/Form.h"
#include "ui/win32/Win32FormView.h"

#include "UiAutomation.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using namespace std::chrono_literals;
using namespace tidewell;
using tidewell::test::PumpUntil;

constexpr char kSettings[] = "SOFTWARE\\Vellmoor\\Tidewell!\\";
constexpr char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";

class MaintenanceWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app_.application.created);
        app_.forms.onShowMaintenance = [this] {
            if (!main_) {
                main_.emplace(app_.formsPort, app_.ports);
                (*main_)->Form_Load();
            }
            (*main_)->Show();
        };
    }
    void TearDown() override { main_.reset(); }
    win32::Win32FormView& View() { return static_cast<win32::Win32FormView&>(main_->View()); }

    int WritesOf(const std::string& name, const std::string& data) const {
        int count = 0;
        for (const auto& write : app_.registry.Writes()) {
            count += write.valueName == name && write.data == data ? 1 : 0;
        }
        return count;
    }
    HWND Real(const ui::Control& control) { return View().ControlWindow(control); }
    bool Topmost() {
        return (GetWindowLongPtrW(View().Window(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    }

    test::RealApp<fakes::FakeMessageBox> app_; // no box is expected
    std::optional<ui::Form<frmMaintenance>> main_;
};

TEST_F(MaintenanceWindowTest, LoadsWithGreyedCloseAndStoredSettingsAndKeepsOnTopOnClick) {
    app_.registry.Set(kHkeyLocalMachine, kSettings, "Keep On Top", "Yes");
    app_.registry.Set(kHkeyLocalMachine, kSettings, "StartInTray", "No");
    app_.registry.Set(kHkeyLocalMachine, kRun, "PC Maintenance", "C:\\Other\\program.exe");
    app_.forms.ShowMaintenanceWindow();
    frmMaintenance* core = &**main_;
    ASSERT_NE(core, nullptr);
    HWND main = View().Window();
    ASSERT_TRUE(IsWindowVisible(main));
    EXPECT_EQ(uidriver::WindowText(main), uidriver::FromUtf8(core->Caption()));
    EXPECT_EQ(GetWindow(app_.application.window.Handle(), GW_HWNDPREV), main);

    // The system menu's Close is greyed and no longer sends the close command.
    HMENU menu = GetSystemMenu(main, FALSE);
    EXPECT_EQ(GetMenuItemID(menu, 6), 0xFFFFFFF7u);
    EXPECT_TRUE(GetMenuState(menu, 6, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));

    // A stored "Yes" leaves the box as built (checked) without running its behaviour; the foreign
    // start-up entry of an .exe turns the box on, whose behaviour rewrites it.
    EXPECT_EQ(SendMessageW(Real(core->chkOnTop), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(Real(core->chkStartInTray), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(Real(core->chkStartWithWindows), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(
        app_.registry.Data(kHkeyLocalMachine, kRun, "PC Maintenance"),
        std::optional<std::string>("\"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\""));
    EXPECT_EQ(WritesOf("Keep On Top", "Yes") + WritesOf("Keep On Top", "No"), 0);
    EXPECT_FALSE(Topmost());

    // The user unticks and ticks the box: one behaviour, one write per click.
    ASSERT_TRUE(uidriver::ClickControl(Real(core->chkOnTop)));
    ASSERT_TRUE(PumpUntil([&] { return WritesOf("Keep On Top", "No") == 1; }));
    EXPECT_EQ(core->chkOnTop.Value(), 0);
    EXPECT_FALSE(Topmost());
    ASSERT_TRUE(uidriver::ClickControl(Real(core->chkOnTop)));
    ASSERT_TRUE(PumpUntil([&] { return WritesOf("Keep On Top", "Yes") == 1; }));
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(GetWindow(app_.application.window.Handle(), GW_HWNDPREV), main) << "still just above";
    test::PumpFor(100ms);
    EXPECT_EQ(WritesOf("Keep On Top", "No"), 1);
    EXPECT_EQ(WritesOf("Keep On Top", "Yes"), 1);

    // From code, as the reminder does: the real box follows and the behaviour runs once.
    core->chkOnTop.SetValue(0);
    test::PumpFor(100ms);
    EXPECT_EQ(SendMessageW(Real(core->chkOnTop), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(WritesOf("Keep On Top", "No"), 2);
    EXPECT_FALSE(Topmost());

    // Showing again only shows: no second load.
    const size_t writes = app_.registry.Writes().size();
    app_.forms.ShowMaintenanceWindow();
    EXPECT_EQ(View().Window(), main);
    EXPECT_EQ(app_.registry.Writes().size(), writes);
}

} // namespace
