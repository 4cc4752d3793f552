#include "fakes/RecordingObserver.h"
#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/OptionButton.h"
#include "ui/ProgressBar.h"
#include "ui/StatusBar.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

namespace tidewell::ui {
namespace {

using fakes::RecordingObserver;
using Changes = std::vector<std::string>;

TEST(CheckBox, RunsItsClickOnlyWhenTheValueChangesAfterTheViewWasTold) {
    CheckBox box("chkA", "&A", "tip", {0, 0, 100, 100}, 1);
    RecordingObserver view;
    box.SetObserver(&view);
    std::vector<int> clicks;
    box.OnClick([&] {
        clicks.push_back(box.Value());
        EXPECT_EQ(view.changes.size(), clicks.size()) << "view told before the click";
    });

    box.SetValue(1); // built checked: no change
    EXPECT_TRUE(clicks.empty());
    box.SetValue(0);
    box.SetValue(0);
    box.SetValue(7); // any non-zero value checks
    EXPECT_EQ(box.Value(), 1);
    EXPECT_EQ(clicks, (std::vector<int>{0, 1}));
    EXPECT_EQ(view.changes, (Changes{"chkA:Value", "chkA:Value"}));
}

TEST(CheckBox, ClickThatUnchecksItsOwnBoxRunsOnceMoreWithNothingToDo) {
    CheckBox box("chkLocalMachine", "", "", {});
    int clicks = 0;
    box.OnClick([&] {
        ++clicks;
        if (box.Checked()) {
            box.SetValue(0); // "No" to a warning
        }
    });
    box.SetValue(1);
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(box.Value(), 0);
}

TEST(OptionButton, SelectingOneUnselectsTheOthersAndClicksOnlyTheSelectedOne) {
    OptionButton space("optSpace", "", "", {});
    OptionButton performance("optPerformance", "", "", {});
    OptionButton::MakeGroup({&space, &performance});
    RecordingObserver view;
    space.SetObserver(&view);
    performance.SetObserver(&view);
    Changes clicks;
    space.OnClick([&] { clicks.push_back("space"); });
    performance.OnClick([&] { clicks.push_back("performance"); });

    space.SetValue(false); // already unselected
    space.SetValue(true);
    space.SetValue(true);
    performance.SetValue(true);
    EXPECT_FALSE(space.Value());
    EXPECT_TRUE(performance.Value());
    EXPECT_EQ(clicks, (Changes{"space", "performance"}));
    EXPECT_EQ(view.changes, (Changes{"optSpace:Value", "optSpace:Value", "optPerformance:Value"}));
    performance.SetValue(false);
    EXPECT_EQ(clicks.size(), 2u);
}

TEST(Control, NotifiesOnlyRealChanges) {
    CommandButton button("cmdStart", "Start", "tip", {10, 20, 30, 40});
    RecordingObserver view;
    button.SetObserver(&view);
    button.SetEnabled(true);
    button.SetVisible(true);
    button.SetCaption("Start");
    button.Move(10, 20);
    EXPECT_TRUE(view.changes.empty());
    button.SetEnabled(false);
    button.SetVisible(false);
    button.SetCaption("Go");
    button.SetTipText("other");
    button.Move(2080, 3000);
    EXPECT_EQ(view.changes, (Changes{"cmdStart:Enabled", "cmdStart:Visible", "cmdStart:Caption",
                                     "cmdStart:TipText", "cmdStart:Position"}));
    EXPECT_EQ(button.Bounds(), (Rect{2080, 3000, 30, 40}));

    int clicks = 0;
    button.Click(); // no handler yet
    button.OnClick([&] { ++clicks; });
    button.Click();
    EXPECT_EQ(clicks, 1);

    button.SetObserver(nullptr);
    button.SetCaption("detached");
    EXPECT_EQ(view.changes.size(), 5u);
}

TEST(ProgressBar, KeepsItsValueWithinTheRange) {
    ProgressBar bar("ProgressBar1", {}, 0, 100);
    RecordingObserver view;
    bar.SetObserver(&view);
    bar.SetValue(100);
    bar.SetMax(7); // value follows the maximum down
    EXPECT_EQ(bar.Value(), 7);
    bar.SetValue(8);
    bar.SetValue(-3);
    EXPECT_EQ(bar.Value(), 0);
    bar.SetMax(-5);
    EXPECT_EQ(bar.Max(), 0);
    EXPECT_EQ(view.changes,
              (Changes{"ProgressBar1:Value", "ProgressBar1:Range", "ProgressBar1:Value",
                       "ProgressBar1:Value", "ProgressBar1:Range"}));
}

TEST(TimerAndStatusBar, TimerTicksOnlyWhileEnabledStatusTextNotifiesAsValue) {
    Timer timer("MyTimer", 1000);
    EXPECT_FALSE(timer.Enabled());
    EXPECT_FALSE(timer.Visible());
    int ticks = 0;
    timer.OnTimer([&] { ++ticks; });
    timer.Tick(); // a WM_TIMER still queued after disabling
    timer.SetEnabled(true);
    timer.Tick();
    EXPECT_EQ(ticks, 1);
    RecordingObserver view;
    timer.SetObserver(&view);
    timer.SetEnabled(true);
    timer.SetInterval(450);
    EXPECT_EQ(view.changes, (Changes{"MyTimer:Interval"}));

    StatusBar status("StatusBar1", "Look Here For Information.", "Ready.", {});
    status.SetObserver(&view);
    status.SetPanelText("Ready.");
    status.SetPanelText("Setting Reminders. . .");
    EXPECT_EQ(status.PanelText(), "Setting Reminders. . .");
    EXPECT_EQ(view.changes.back(), "StatusBar1:Value");
}

} // namespace
} // namespace tidewell::ui
