#include "TestApp.h"
#include "fakes/FakeElevation.h"
#include "settings/RegistryErrorMessage.h"
#include "startup/frmSharewareIntro.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

using testing::TestApp;
constexpr WindowHandle kIntroHandle = 0x1000;
const std::string kThankYou = "Thank You For Downloading Tidewell!  Click OK To Continue.";
const std::string kRegistryError =
    "There was an error writing to the registry!\r\nPlease restart your computer!";

class SharewareIntroTest : public ::testing::Test, public TestApp {
protected:
    SharewareIntroTest() {
        events.Watch(intro.MyTimer);
        windows.AddOwnApplicationWindow(0x100);
    }
    void LaterStart(std::string_view nextRun) {
        SetSetting("NextRun", nextRun);
        SetSetting("Keep On Top", "No");
    }
    void ExpectEndedQuietly() {
        EXPECT_TRUE(process.Ended());
        EXPECT_TRUE(introView.Unloaded());
        EXPECT_LT(log.IndexOf("view:intro.Destroy"), log.IndexOf("process:End"));
        EXPECT_TRUE(messageBox.Transcript().empty());
        EXPECT_EQ(events.Passes(), 0);
        EXPECT_EQ(forms.Calls(), 0);
        EXPECT_TRUE(registry.Writes().empty());
        EXPECT_EQ(introView.Shows(), 0);
    }
    void ExpectMainWindowOpened() {
        EXPECT_FALSE(process.Ended());
        EXPECT_EQ(forms.Calls(), 1);
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(mainView.Visible());
        EXPECT_TRUE(introView.Unloaded());
        EXPECT_LT(log.IndexOf("view:main.Show"), log.IndexOf("view:intro.Destroy"));
    }

    fakes::FakeTrayIcon introTray{"introTray", &log};
    fakes::FakeWindowView introView{"intro", kIntroHandle, &log, &introTray, &screen};
    fakes::FakeElevation elevation{&log};
    frmSharewareIntro intro{ports, elevation, introView};
};

TEST_F(SharewareIntroTest, FirstStartCreatesTheKeyThanksWaitsSevenTicksAndOpensTheMainWindow) {
    messageBox.Expect(kThankYou, 0x40, "Thank You!");
    int showsBeforeFirstTick = -1;
    events.OnPass([&](int) {
        if (events.Ticks() == 0) {
            showsBeforeFirstTick = introView.Shows();
        }
    });

    intro.Form_Load();

    EXPECT_EQ(registry.CreateCalls(), 1);
    EXPECT_EQ(log.IndexOf("registry:create SOFTWARE\\Vellmoor\\Tidewell!"), 0);
    EXPECT_EQ(Setting("NextRun"), "NONE");
    EXPECT_EQ(registry.Type(kSettingsRoot, kSettingsKey, "NextRun"), kRegSz);
    EXPECT_LT(log.IndexOf("registry:write NextRun=NONE"), log.IndexOf("box:Thank You!"));
    EXPECT_LT(log.IndexOf("box:Thank You!"), log.IndexOf("view:intro.Show"));
    // No start-up entry under the key path that lacks "Windows".
    for (const auto& write : registry.Writes()) {
        EXPECT_NE(write.keyPath, "SOFTWARE\\Microsoft\\CurrentVersion\\Run");
    }

    EXPECT_EQ(showsBeforeFirstTick, 0);
    EXPECT_EQ(events.Ticks(), 7);
    EXPECT_EQ(intro.ProgressBar1.Value(), 7);
    EXPECT_EQ(intro.ProgressBar1.Max(), 7);
    EXPECT_EQ(introView.Refreshes(), 7);
    EXPECT_EQ(introView.Shows(), 7);
    EXPECT_GE(events.NowMilliseconds(), 7000);
    EXPECT_LT(events.NowMilliseconds(), 7200);

    ExpectMainWindowOpened();
    EXPECT_FALSE(intro.MyTimer.Enabled());
    EXPECT_EQ(Setting("Keep On Top"), "No"); // written by the main window's load
    EXPECT_EQ(mainView.Caption().rfind("Tidewell!\xE2\x84\xA2 Version ", 0), 0u);
}

TEST_F(SharewareIntroTest, FirstStartRegistryFailuresShowTheErrorAndEnd) {
    for (int failure = 0; failure < 2; ++failure) {
        SCOPED_TRACE(failure == 0 ? "key not created" : "NextRun not written");
        TestApp app;
        fakes::FakeTrayIcon tray;
        fakes::FakeWindowView view{"intro", kIntroHandle, &app.log, &tray};
        frmSharewareIntro form{app.ports, elevation, view};
        app.events.Watch(form.MyTimer);
        if (failure == 0) {
            app.registry.FailCreateKey();
        } else {
            app.registry.FailWritesOf("NextRun");
        }
        app.messageBox.Expect(kRegistryError, 0x10, "ERROR!");

        form.Form_Load();

        EXPECT_EQ(app.messageBox.Transcript().size(), 1u);
        EXPECT_TRUE(view.Unloaded());
        EXPECT_TRUE(app.process.Ended());
        EXPECT_LT(app.log.IndexOf("box:ERROR!"), app.log.IndexOf("view:intro.Destroy"));
        EXPECT_EQ(app.events.Passes(), 0);
        EXPECT_EQ(app.forms.Calls(), 0);
        EXPECT_EQ(app.registry.Writes().size(), failure == 0 ? 0u : 1u);
    }
    EXPECT_EQ(kRegistryErrorFlags, 0x10u);
}

TEST_F(SharewareIntroTest, PreviousInstanceEndsAtOnceWithoutTouchingTheRegistry) {
    windows.Add({0x900, "ThunderRT6FormDC", "first instance", true});
    windows.Add({0x901, "ThunderRT6Main", "Tidewell"});
    intro.Form_Load();
    EXPECT_EQ(windows.Foreground(), 0x900u);
    EXPECT_EQ(registry.CreateCalls(), 0);
    ExpectEndedQuietly();
}

TEST_F(SharewareIntroTest, DateGateEndsQuietlyOnFutureGarbageAndWrongTypes) {
    const std::pair<const char*, std::int32_t> stored[] = {
        {"12/21/2026", kRegSz}, {"1/1/2027", kRegSz}, {"garbage", kRegSz}, {"", kRegSz},
        {"none", kRegSz},       {"NONE", kRegDword},  {"NONE", kRegBinary}};
    for (const auto& [nextRun, type] : stored) {
        SCOPED_TRACE(std::string(nextRun) + " type " + std::to_string(type));
        TestApp app;
        fakes::FakeTrayIcon tray;
        fakes::FakeWindowView view{"intro", kIntroHandle, &app.log, &tray};
        frmSharewareIntro form{app.ports, elevation, view};
        app.SetSetting("NextRun", nextRun, type);
        app.process.commandLine = "   "; // blanks are no command line

        form.Form_Load();

        EXPECT_TRUE(app.process.Ended());
        EXPECT_TRUE(view.Unloaded());
        EXPECT_TRUE(app.messageBox.Transcript().empty());
        EXPECT_EQ(app.events.Passes(), 0);
        EXPECT_EQ(app.registry.CreateCalls(), 0);
        EXPECT_TRUE(app.registry.Writes().empty());
    }
}

TEST_F(SharewareIntroTest, DateGateLetsThroughNoneTodayPassedDatesAndAnyCommandLine) {
    const std::pair<const char*, const char*> starts[] = {
        {"NONE", ""},       {"NONE123", ""},      {"  12/20/2026  ", ""},
        {"11/30/2026", ""}, {"12/21/2026", "/x"}, {"garbage", "anything"},
    };
    for (const auto& [nextRun, commandLine] : starts) {
        SCOPED_TRACE(std::string(nextRun) + " / command line \"" + commandLine + "\"");
        TestApp app;
        fakes::FakeTrayIcon tray;
        fakes::FakeWindowView view{"intro", kIntroHandle, &app.log, &tray};
        frmSharewareIntro form{app.ports, elevation, view};
        app.events.Watch(form.MyTimer);
        app.SetSetting("NextRun", nextRun);
        app.process.commandLine = commandLine;

        form.Form_Load();

        EXPECT_FALSE(app.process.Ended());
        EXPECT_EQ(app.registry.CreateCalls(), 0);
        EXPECT_TRUE(app.messageBox.Transcript().empty()); // no thanks on later starts
        EXPECT_EQ(app.events.Ticks(), 7);
        EXPECT_EQ(app.forms.Calls(), 1);
        EXPECT_EQ(app.Setting("NextRun"), nextRun);
    }
}

// Every start kind with administrator rights, without them (the elevated copy started), and
// without them with the prompt declined or the start failed.
TEST_F(SharewareIntroTest, OnlyAStartThatGoesOnAsksForAdministratorRights) {
    enum class Kind { FirstStart, CommandLine, DueDay, NotDue, None, PreviousInstance };
    struct Rights {
        const char* name;
        bool elevated;
        ElevatedStart answer;
    };
    const Rights rightsCases[] = {{"elevated", true, ElevatedStart::Started},
                                  {"not elevated", false, ElevatedStart::Started},
                                  {"declined", false, ElevatedStart::Declined},
                                  {"failed", false, ElevatedStart::Failed}};
    for (Kind kind : {Kind::FirstStart, Kind::CommandLine, Kind::DueDay, Kind::NotDue, Kind::None,
                      Kind::PreviousInstance}) {
        for (const Rights& rights : rightsCases) {
            const char* const kindNames[] = {"first start", "command line", "due day",
                                             "not due",     "NONE",         "previous instance"};
            SCOPED_TRACE(std::string(kindNames[static_cast<int>(kind)]) + ", " + rights.name);
            TestApp app;
            fakes::FakeTrayIcon tray;
            fakes::FakeWindowView view{"intro", kIntroHandle, &app.log, &tray};
            fakes::FakeElevation rightsPort{&app.log};
            rightsPort.elevated = rights.elevated;
            rightsPort.answer = rights.answer;
            frmSharewareIntro form{app.ports, rightsPort, view};
            app.events.Watch(form.MyTimer);
            app.windows.AddOwnApplicationWindow(0x100);
            if (kind == Kind::FirstStart) {
                if (rights.elevated) {
                    app.messageBox.Expect(kThankYou, 0x40, "Thank You!");
                }
            } else {
                app.SetSetting("NextRun", kind == Kind::None     ? "NONE"
                                          : kind == Kind::DueDay ? "12/20/2026"
                                                                 : "12/21/2026");
                app.SetSetting("Keep On Top", "No");
            }
            if (kind == Kind::CommandLine) {
                app.process.commandLine = "/x";
            }
            if (kind == Kind::PreviousInstance) {
                app.windows.Add({0x900, "ThunderRT6FormDC", "first instance", true});
                app.windows.Add({0x901, "ThunderRT6Main", "Tidewell"});
            }
            const std::size_t writesBefore = app.registry.Writes().size();
            // The elevated copy must not take this ending process for a previous instance.
            bool findableAtElevatedStart = true;
            rightsPort.onStart = [&] {
                findableAtElevatedStart =
                    app.windows.FindTopLevelWindow("ThunderRT6Main", "Tidewell") != 0;
            };

            form.Form_Load();

            const bool goesOn = kind != Kind::NotDue && kind != Kind::PreviousInstance;
            EXPECT_EQ(rightsPort.Requests(), goesOn && !rights.elevated ? 1 : 0);
            if (goesOn && rights.elevated) {
                EXPECT_FALSE(app.process.Ended());
                EXPECT_EQ(app.forms.Calls(), 1);
                EXPECT_TRUE(app.Setting("NextRun").has_value());
                continue;
            }
            // Ended quietly, before any write, box, wait or window.
            EXPECT_EQ(app.process.Ends(), 1);
            EXPECT_TRUE(view.Unloaded());
            EXPECT_EQ(view.Shows(), 0);
            EXPECT_TRUE(app.messageBox.Transcript().empty());
            EXPECT_EQ(app.events.Passes(), 0);
            EXPECT_EQ(app.forms.Calls(), 0);
            EXPECT_EQ(app.registry.CreateCalls(), 0);
            EXPECT_EQ(app.registry.Writes().size(), writesBefore);
            if (rightsPort.Requests() == 1) {
                EXPECT_LT(app.log.IndexOf("elevation:StartElevated"),
                          app.log.IndexOf("process:End"));
                EXPECT_FALSE(findableAtElevatedStart);
            }
        }
    }
}

TEST_F(SharewareIntroTest, StartInTrayHidesBehindTheIconUntilARightClick) {
    LaterStart("NONE");
    SetSetting("StartInTray", "  Yes please");

    intro.Form_Load();

    EXPECT_FALSE(introView.Visible());
    EXPECT_FALSE(introView.Unloaded());
    EXPECT_TRUE(introTray.ShowIcon());
    EXPECT_EQ(introTray.IconNumber(), 1);
    EXPECT_EQ(introTray.TipText(), "Right Click To Show Tidewell!\xE2\x84\xA2");
    EXPECT_FALSE(intro.MyTimer.Enabled());
    EXPECT_EQ(forms.Calls(), 0);
    EXPECT_LT(log.IndexOf("view:intro.Hide"), log.IndexOf("introTray:ShowIcon=true"));

    intro.SysTray_TrayClick(1);
    EXPECT_EQ(forms.Calls(), 0);
    EXPECT_TRUE(introTray.ShowIcon());

    intro.SysTray_TrayClick(2);
    ExpectMainWindowOpened();
    EXPECT_FALSE(introTray.ShowIcon());

    intro.SysTray_TrayClick(2); // a click still queued for the removed icon
    EXPECT_EQ(forms.Calls(), 1);
}

TEST_F(SharewareIntroTest, LowerCaseYesShowsTheMainWindowAfterTheWait) {
    LaterStart("NONE");
    SetSetting("StartInTray", "yes");
    intro.Form_Load();
    ExpectMainWindowOpened();
    EXPECT_FALSE(introTray.ShowIcon());
    EXPECT_TRUE(log.WithPrefix("introTray:").empty());
}

TEST_F(SharewareIntroTest, QuittingDuringTheWaitStopsBeforeTheHandOver) {
    LaterStart("NONE");
    events.QuitAtPass(4);
    EXPECT_THROW(intro.Form_Load(), ui::ProgramQuitting);
    EXPECT_EQ(events.Passes(), 4);
    EXPECT_LT(intro.ProgressBar1.Value(), 7);
    EXPECT_EQ(forms.Calls(), 0);
    EXPECT_FALSE(introTray.ShowIcon());
}

} // namespace
} // namespace tidewell
