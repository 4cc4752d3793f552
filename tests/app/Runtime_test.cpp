// The window runtime: waits on the virtual clock, unload requests, modal forms and boxes, the
// quit hooks, list boxes and mouse moves.
#include "TestApp.h"
#include "ui/CommandButton.h"
#include "ui/Form.h"
#include "ui/ListBox.h"
#include "ui/Runtime.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace tidewell {
namespace {

using testing::TestApp;

// A small dialog: a button that unloads it, and a query that may refuse.
class Dialog final : public ui::FormCore {
public:
    static constexpr std::string_view kCaption = "Dialog";
    static constexpr int kClientWidth = 3000;
    static constexpr int kClientHeight = 2000;

    Dialog(std::vector<std::string>& log, WindowView& view, ui::Runtime& runtime)
        : FormCore(view, runtime), log_(log) {}
    // ui::Form passes the view last.
    Dialog(std::vector<std::string>& log, ui::Runtime& runtime, WindowView& view)
        : Dialog(log, view, runtime) {}

    std::vector<ui::Control*> Controls() override { return {&cmdOK}; }
    bool Form_QueryUnload(ui::UnloadMode mode) override {
        log_.push_back("query " + std::to_string(static_cast<int>(mode)));
        if (onQuery) {
            onQuery();
        }
        return allowUnload;
    }

    ui::CommandButton cmdOK{"cmdOK", "OK", "", {0, 0, 100, 100}};
    bool allowUnload = true;
    std::function<void()> onQuery;

private:
    std::vector<std::string>& log_;
};

struct RuntimeTest : ::testing::Test, TestApp {
    std::vector<std::string> calls;
};

TEST_F(RuntimeTest, PauseMovesTheClockExactlyAndLetsTimersTickMeanwhile) {
    ui::Timer timer("MyTimer", 1000);
    int ticks = 0;
    timer.OnTimer([&] { ++ticks; });
    events.Watch(timer);
    timer.SetEnabled(true);

    runtime.Pause(5000);
    EXPECT_EQ(events.NowMilliseconds(), 5000);
    EXPECT_EQ(ticks, 5); // at 1, 2, 3, 4 and 5 s, counted from the pass that saw it enabled
    runtime.Pause(0);
    runtime.Pause(-20);
    EXPECT_EQ(events.NowMilliseconds(), 5000);
    EXPECT_LT(events.Passes(), 10) << "a pause sleeps to what is due, it does not spin";
}

TEST_F(RuntimeTest, WaitUntilEndsWhenAnEventMakesTheConditionTrue) {
    bool closed = false;
    events.At(12345, [&] { closed = true; });
    runtime.WaitUntil([&] { return closed; });
    EXPECT_TRUE(closed);
    EXPECT_GE(events.NowMilliseconds(), 12345);
    EXPECT_LT(events.NowMilliseconds(), 12345 + ui::Runtime::kDefaultPollMilliseconds);
    // Already true: no pass at all.
    const int passes = events.Passes();
    runtime.WaitUntil([] { return true; });
    EXPECT_EQ(events.Passes(), passes);
}

TEST_F(RuntimeTest, AQuitStopsEveryWaitAndRunsEachLivePutBackHookOnce) {
    int screenSaver = 0;
    int released = 0;
    auto dropped = runtime.OnQuit([&] { ++released; });
    dropped.Release();
    {
        auto hook = runtime.OnQuit([&] { ++screenSaver; });
        events.At(2000, [&] { events.Quit(); });
        EXPECT_THROW(runtime.Pause(60000), ui::ProgramQuitting);
        EXPECT_EQ(screenSaver, 1);
        EXPECT_LT(events.NowMilliseconds(), 60000);
        // Every later wait stops too, without running the hook again.
        EXPECT_THROW(runtime.WaitUntil([] { return false; }), ui::ProgramQuitting);
        EXPECT_THROW(runtime.DoEvents(), ui::ProgramQuitting);
        EXPECT_EQ(screenSaver, 1);
    }
    EXPECT_EQ(released, 0) << "a released hook never runs";
}

TEST_F(RuntimeTest, AnUnloadAsksFirstAndCanBeCancelled) {
    fakes::FakeWindowView view("dialog", 0x3000, &log, nullptr, &screen);
    Dialog dialog(calls, view, runtime);
    view.Bind(dialog);

    dialog.allowUnload = false;
    EXPECT_FALSE(dialog.Unload(ui::UnloadMode::ControlMenu));
    EXPECT_TRUE(dialog.Loaded());
    EXPECT_FALSE(view.Unloaded());

    // A second request while the question is open (a click behind the box) is refused.
    dialog.allowUnload = true;
    bool nested = true;
    dialog.onQuery = [&] {
        dialog.onQuery = nullptr;
        nested = dialog.Unload(ui::UnloadMode::Code);
    };
    EXPECT_TRUE(dialog.Unload(ui::UnloadMode::Code));
    EXPECT_FALSE(nested);
    EXPECT_TRUE(view.Unloaded());
    EXPECT_EQ(view.Destroys(), 1);
    EXPECT_EQ(calls, (std::vector<std::string>{"query 0", "query 1"}));
    // Unloaded stays unloaded, without asking again.
    EXPECT_TRUE(dialog.Unload());
    EXPECT_EQ(calls.size(), 2u);
}

TEST_F(RuntimeTest, AModalFormShownFromAHandlerReturnsOnlyAfterItsUnloadWithOthersDisabled) {
    fakes::FakeWindowView mainWindow("owner", 0x3000, &log, nullptr, &screen);
    bool ownerEnabledDuringModal = true;
    bool modalDuringModal = false;
    ui::CommandButton cmdOpen("cmdOpen", "Open", "", {0, 0, 10, 10});
    cmdOpen.OnClick([&] {
        ui::Form<Dialog> dialog(formsPort, calls, runtime);
        dialog->cmdOK.OnClick([&] { dialog->Unload(); });
        events.At(events.NowMilliseconds() + 3000, [&] {
            ownerEnabledDuringModal = mainWindow.Enabled();
            modalDuringModal = runtime.InModal();
            dialog->cmdOK.Click();
        });
        dialog->ShowModal();
        calls.push_back("returned at " + std::to_string(events.NowMilliseconds()));
    });

    cmdOpen.Click();

    EXPECT_FALSE(ownerEnabledDuringModal);
    EXPECT_TRUE(modalDuringModal);
    EXPECT_TRUE(mainWindow.Enabled());
    EXPECT_FALSE(runtime.InModal());
    EXPECT_EQ(calls, (std::vector<std::string>{"query 1", "returned at 3000"}));
    EXPECT_LT(log.IndexOf("view:Dialog.Show"), log.IndexOf("view:Dialog.Destroy"));
    EXPECT_EQ(formsPort.Find("Dialog"), nullptr);
}

TEST_F(RuntimeTest, QuittingEndsTheModalLoopAndEnablesTheOthersAgain) {
    fakes::FakeWindowView mainWindow("owner", 0x3000, &log, nullptr, &screen);
    {
        ui::Form<Dialog> dialog(formsPort, calls, runtime);
        events.At(500, [&] { events.Quit(); });
        EXPECT_THROW(dialog->ShowModal(), ui::ProgramQuitting);
        EXPECT_TRUE(mainWindow.Enabled());
        EXPECT_FALSE(runtime.InModal());
    }
    // The form's window went with the form, without a question.
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(formsPort.Find("Dialog"), nullptr);
}

TEST_F(RuntimeTest, AMessageBoxIsModalAndAQuitDuringItStopsTheHandlerThatAsked) {
    bool modal = false;
    fakes::FakeMessageBox inner;
    struct Recording : MessageBoxPort {
        std::function<int()> show;
        int Show(std::string_view, unsigned, std::string_view) override { return show(); }
    } box;
    ui::ModalMessageBox modalBox(box, runtime);
    box.show = [&] {
        modal = runtime.InModal();
        return answer::kYes;
    };
    EXPECT_EQ(modalBox.Show("text", mb::kYesNo, "title"), answer::kYes);
    EXPECT_TRUE(modal);
    EXPECT_FALSE(runtime.InModal());

    // The program ends while the box is open (the system's box loop took the quit).
    box.show = [&] {
        events.Quit();
        return answer::kYes;
    };
    EXPECT_THROW(modalBox.Show("text", mb::kYesNo, "title"), ui::ProgramQuitting);
    EXPECT_FALSE(runtime.InModal());
    // And none is shown any more.
    box.show = [] {
        ADD_FAILURE() << "box shown while quitting";
        return answer::kNo;
    };
    EXPECT_THROW(modalBox.Show("text", mb::kYesNo, "title"), ui::ProgramQuitting);
}

TEST_F(RuntimeTest, ModalLeavesTheModalStateHoweverItEndsAndShowsNothingOnceQuitting) {
    bool modal = false;
    runtime.Modal([&] { modal = runtime.InModal(); });
    EXPECT_TRUE(modal);
    EXPECT_THROW(runtime.Modal([]() -> int { throw std::runtime_error("box failed"); }),
                 std::runtime_error);
    EXPECT_FALSE(runtime.InModal());

    // A quit during the modal step puts back what a handler changed before the caller stops.
    int putBack = 0;
    const auto hook = runtime.OnQuit([&] { ++putBack; });
    EXPECT_THROW(runtime.Modal([&] { events.Quit(); }), ui::ProgramQuitting);
    EXPECT_EQ(putBack, 1);
    EXPECT_FALSE(runtime.InModal());

    // Once quitting, a modal form is not shown either.
    ui::Form<Dialog> dialog(formsPort, calls, runtime);
    EXPECT_THROW(dialog->ShowModal(), ui::ProgramQuitting);
    EXPECT_EQ(log.IndexOf("view:Dialog.Show"), -1);
}

TEST(ListBox, ListIndexRunsTheClickOncePerChangeFromCodeAndFromTheUser) {
    ui::ListBox list("lstbxLocal", "", {0, 0, 100, 100});
    std::vector<int> clicks;
    list.OnClick([&] { clicks.push_back(list.ListIndex()); });
    list.AddItem("first");
    list.AddItem("second");
    list.AddItem("");
    EXPECT_EQ(list.ListCount(), 3);
    EXPECT_EQ(list.List(1), "second");
    EXPECT_EQ(list.List(3), "");
    EXPECT_EQ(list.List(-1), "");

    list.SetListIndex(1);
    list.SetListIndex(1); // no change
    list.SetListIndex(2);
    list.SetListIndex(-1); // no selection is a change as well
    list.SetListIndex(-1);
    list.SetListIndex(3);  // outside the list: ignored
    list.SetListIndex(-2); // ignored
    EXPECT_EQ(clicks, (std::vector<int>{1, 2, -1}));

    list.SetListIndex(0);
    list.Clear(); // drops the selection without a click
    EXPECT_EQ(list.ListIndex(), -1);
    EXPECT_EQ(list.ListCount(), 0);
    EXPECT_EQ(clicks, (std::vector<int>{1, 2, -1, 0}));
}

TEST(MouseMove, CarriesButtonsAndKeysAndADisabledControlRaisesNone) {
    ui::CommandButton button("cmdExit", "&Exit", "", {0, 0, 100, 100});
    std::vector<std::string> moves;
    button.OnMouseMove([&](int buttons, int shift, int x, int y) {
        moves.push_back(std::to_string(buttons) + "/" + std::to_string(shift) + "@" +
                        std::to_string(x) + "," + std::to_string(y));
    });
    button.MouseMove(0, 1, 15, 30);
    button.MouseMove(1, 1 | 2 | 4, 0, 0);
    button.SetEnabled(false);
    button.MouseMove(0, 1, 15, 30);
    button.SetEnabled(true);
    button.MouseMove(2, 0, 45, 60);
    EXPECT_EQ(moves, (std::vector<std::string>{"0/1@15,30", "1/7@0,0", "2/0@45,60"}));
}

} // namespace
} // namespace tidewell
