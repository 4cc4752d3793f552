#include "TestApp.h"
#include "Version.h"
#include "fakes/RecordingObserver.h"

#include <gtest/gtest.h>

#include <map>

namespace tidewell {
namespace {

using testing::kMainHandle;
using testing::TestApp;
// The fake process runs from "c:\Program Files\Vellmoor\Tidewell".
const std::string kOwnPath = "\"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\"";

class MaintenanceTest : public ::testing::Test, public TestApp {
protected:
    frmMaintenance& Build() {
        main = std::make_unique<frmMaintenance>(ports, mainView);
        return *main;
    }
    frmMaintenance& Load() {
        Build().Form_Load();
        return *main;
    }
    std::vector<std::string> Writes() const {
        std::vector<std::string> writes;
        for (const auto& write : registry.Writes()) {
            writes.push_back(write.keyPath + write.valueName + "=" + write.data);
        }
        return writes;
    }
    static std::string Stored(const char* name, const char* data) {
        return std::string(kSettingsKey) + name + "=" + data;
    }
    static std::string Entry(const std::string& data) {
        return std::string(kRunKey) + "PC Maintenance=" + data;
    }
};

TEST_F(MaintenanceTest, ControlsCarryTheirExactCaptionsTipsAndBuiltState) {
    frmMaintenance& form = Build();
    const std::map<std::string, std::pair<std::string, std::string>> expected = {
        {"optSpace", {"Free &Disk Space", "Free disk space on this PC."}},
        {"optPerformance", {"Optimize &Performance", "Optimize performance on this PC."}},
        {"chkTEMP",
         {"Delete &TEMP Contents", "Check here to delete contents of 'c:\\windows\\temp'."}},
        {"chkCleanup", {"Disk &Cleanup", "Run disk cleanup."}},
        {"chkCacheHistory",
         {"&Force IE To Delete Cache And History",
          "Opens Internet Options Control Panel to delete cache and history manually."}},
        {"chkAllSpeedOptions",
         {"&Optimize Performance", "Include all Speed Options as well in this session."}},
        {"chkScandisk",
         {"&Scandisk For Errors",
          "Scan your hard disk for errors.  (This must be checked to run a defragment session)"}},
        {"chkDefrag",
         {"Defragment &Hard Drive",
          "Speed up access to the hard drive by the programs you use most often(You must Scan "
          "The Hard Disk For Errors First)."}},
        {"chkCurrentUser",
         {"Show Current &User Run Entries", "Shows Program That Run When You Log In, and Allows "
                                            "You To Edit Them. [ADVANCED USERS ONLY!]"}},
        {"chkLocalMachine",
         {"Show &Local Run Entries", "Shows Programs That Run When Your Computer Starts Up, and "
                                     "Allows You To Edit Them. [ADVANCED USERS ONLY!]"}},
        {"chkAllSpaceOptions",
         {"Fi&x Problems", "Include all Space Options as well in this session."}},
        {"chkOrphanEntries",
         {"&Remove Orphan Entries",
          "Removes registry entries that are no longer needed by windows.  Allows You To Select "
          "What Entries Are Deleted. [ADVANCED AND INTERMEDIATE USERS ONLY!]"}},
        {"chkOnTop", {"&Keep On Top", "Check Here To Keep Program Window On Top."}},
        {"chkStartWithWindows",
         {"Start Whe&n Windows Starts", "Check Here To Make Tidewell!™ Start Up With Windows"}},
        {"chkStartInTray",
         {"St&art In System Tray", "Keep Checked To Keep Program In System Tray Upon Start."}},
        {"cmdStart", {"Start &With Selected Options", "Click Here To Start Maintenance Tasks."}},
        {"cmdReminder",
         {"Set Re&minder", "Allows You To Set When Tidewell!™ Reminds You To Run Maintenance. "
                           "(DEFAULT IS NO REMINDER!)."}},
        {"cmdMin2Tray", {"Minimi&ze To System Tray", "Send Tidewell!™ to the System Tray."}},
        {"cmdHelp", {"Help", "Click Here For Help With Tidewell!™"}},
        {"cmdExit", {"&Exit", "Exits Tidewell!™"}},
        {"Frame1", {"Speed It All Up", ""}},
        {"Frame2", {"Fix Problems", ""}},
        {"Label1", {"Progress of Process:", ""}},
        {"StatusBar1", {"", "Look Here For Information."}},
        {"ProgressBar1", {"", ""}},
        {"MyTimer", {"", ""}},
    };
    std::map<std::string, int> seen;
    for (ui::Control* control : form.Controls()) {
        ++seen[control->Name()];
        const auto want = expected.find(control->Name());
        ASSERT_NE(want, expected.end()) << control->Name();
        EXPECT_EQ(control->Caption(), want->second.first) << control->Name();
        EXPECT_EQ(control->TipText(), want->second.second) << control->Name();
        EXPECT_EQ(control->Enabled(), control != &form.chkDefrag && control != &form.MyTimer)
            << control->Name();
        EXPECT_EQ(control->Visible(), control != &form.MyTimer) << control->Name();
        const ui::Rect& r = control->Bounds();
        if (control != &form.MyTimer) {
            EXPECT_TRUE(r.width > 0 && r.height > 0 && r.left >= 0 && r.top >= 0 &&
                        r.left + r.width <= frmMaintenance::kClientWidth &&
                        r.top + r.height <= frmMaintenance::kClientHeight)
                << control->Name();
        }
    }
    EXPECT_EQ(seen.size(), expected.size());
    for (const auto& [name, count] : seen) {
        EXPECT_EQ(count, 1) << name;
    }

    EXPECT_EQ(form.Caption(), "Tidewell!™ Version");
    EXPECT_EQ(form.chkOnTop.Value(), 1);
    EXPECT_EQ(form.chkStartInTray.Value(), 1);
    EXPECT_EQ(form.chkStartWithWindows.Value(), 0);
    EXPECT_FALSE(form.optSpace.Value());
    EXPECT_FALSE(form.optPerformance.Value());
    EXPECT_EQ(form.ProgressBar1.Value(), form.ProgressBar1.Max());
    EXPECT_EQ(form.StatusBar1.PanelText(),
              "Ready.  Press <SHIFT> Over An Element For Context-Sensitive Help.");
    EXPECT_TRUE(registry.Writes().empty());
}

TEST_F(MaintenanceTest, LoadSetsTitleGreysCloseAndEnablesTheTaskBoxes) {
    SetSetting("Keep On Top", "Yes");
    SetSetting("StartInTray", "Yes");
    frmMaintenance& form = Load();

    const std::string title = "Tidewell!™ Version " + std::to_string(TIDEWELL_VERSION_MAJOR) + "." +
                              std::to_string(TIDEWELL_VERSION_MINOR) +
                              std::to_string(TIDEWELL_VERSION_PATCH);
    EXPECT_EQ(mainView.Caption(), title);
    EXPECT_EQ(form.Caption(), title);
    if (std::string_view(TIDEWELL_VERSION_STRING) == "1.0.8") {
        EXPECT_EQ(title, "Tidewell!™ Version 1.08");
    }
    ASSERT_EQ(windows.DisabledCloses().size(), 1u);
    EXPECT_EQ(windows.DisabledCloses()[0].window, kMainHandle);
    EXPECT_EQ(windows.DisabledCloses()[0].position, 6);
    EXPECT_EQ(windows.DisabledCloses()[0].text, "&Close");
    EXPECT_LT(log.IndexOf("view:main.SetCaption"), log.IndexOf("windows:DisableCloseCommand"));

    EXPECT_FALSE(form.MyTimer.Enabled());
    for (ui::CheckBox* box :
         {&form.chkScandisk, &form.chkCurrentUser, &form.chkLocalMachine, &form.chkAllSpaceOptions,
          &form.chkCleanup, &form.chkCacheHistory, &form.chkAllSpeedOptions, &form.chkTEMP}) {
        EXPECT_TRUE(box->Enabled()) << box->Name();
    }
    EXPECT_FALSE(form.chkDefrag.Enabled());
    EXPECT_FALSE(form.chkOrphanEntries.Visible());
    EXPECT_EQ(form.chkTEMP.Bounds().left, 2080);
    EXPECT_EQ(form.chkTEMP.Bounds().top, 3000);

    // Stored "Yes" matches the built state: no click behaviour, nothing written.
    EXPECT_EQ(form.chkOnTop.Value(), 1);
    EXPECT_EQ(form.chkStartInTray.Value(), 1);
    EXPECT_EQ(form.chkStartWithWindows.Value(), 0);
    EXPECT_TRUE(library.TopmostWrites().empty());
    EXPECT_TRUE(registry.Writes().empty());
    EXPECT_FALSE(mainView.Visible()); // the loader shows it
}

TEST_F(MaintenanceTest, MissingOrOtherKeepOnTopRunsTheClickWhichReleasesAndWritesNo) {
    const std::pair<const char*, std::int32_t> rows[] = {
        {nullptr, kRegSz}, {"", kRegSz}, {"No", kRegSz}, {"yes", kRegSz}, {"Yes", kRegDword}};
    for (const auto& [stored, type] : rows) {
        SCOPED_TRACE(stored ? stored : "missing");
        TestApp app;
        if (stored) {
            app.SetSetting("Keep On Top", stored, type);
        }
        frmMaintenance form(app.ports, app.mainView);
        form.Form_Load();
        EXPECT_EQ(form.chkOnTop.Value(), 0);
        EXPECT_EQ(app.library.TopmostWrites(), (std::vector<WindowHandle>{0}));
        EXPECT_EQ(app.Setting("Keep On Top"), "No");
        EXPECT_EQ(app.registry.Type(kSettingsRoot, kSettingsKey, "Keep On Top"), kRegSz);
        ASSERT_EQ(app.registry.Writes().size(), 1u);
        EXPECT_EQ(app.registry.Writes()[0].root, kHkeyLocalMachine);
    }
}

TEST_F(MaintenanceTest, StartInTrayBoxFollowsTheSettingWithoutAnyBehaviour) {
    SetSetting("Keep On Top", "Yes");
    SetSetting("StartInTray", "No");
    frmMaintenance& form = Load();
    EXPECT_EQ(form.chkStartInTray.Value(), 0);
    EXPECT_TRUE(registry.Writes().empty());
    EXPECT_TRUE(library.TopmostWrites().empty());
}

TEST_F(MaintenanceTest, StartupEntryOfAnExeIsCheckedAndRewrittenWithTheOwnQuotedPath) {
    const struct {
        const char* entry;
        bool checked;
    } rows[] = {
        {"\"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\"", true},
        {"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe", true}, // earlier versions
        {"C:\\Other\\program.exe", true},
        {"D:\\Tidewell\\tidewell.exe", true},
        {"\"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe-\"", false}, // off stays off
        {"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe-", false},
        {"", false},
        {nullptr, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.entry ? row.entry : "missing");
        TestApp app;
        app.SetSetting("Keep On Top", "Yes");
        if (row.entry) {
            app.registry.Set(kHkeyLocalMachine, kRunKey, kStartupEntryName, row.entry);
        }
        frmMaintenance form(app.ports, app.mainView);
        form.Form_Load();
        EXPECT_EQ(form.chkStartWithWindows.Value(), row.checked ? 1 : 0);
        if (row.checked) {
            EXPECT_EQ(app.StartupEntry(), kOwnPath);
            EXPECT_EQ(app.registry.Writes().size(), 1u);
        } else {
            EXPECT_TRUE(app.registry.Writes().empty());
        }
    }
}

TEST_F(MaintenanceTest, KeepOnTopClickRunsOnChangesOnlyAndWritesTheNewState) {
    SetSetting("Keep On Top", "Yes");
    frmMaintenance& form = Load();
    fakes::RecordingObserver view;
    form.chkOnTop.SetObserver(&view);

    form.chkOnTop.SetValue(0);
    form.chkOnTop.SetValue(0);
    form.chkOnTop.SetValue(1);
    form.chkOnTop.SetValue(1);
    EXPECT_EQ(view.changes, (std::vector<std::string>{"chkOnTop:Value", "chkOnTop:Value"}));
    EXPECT_EQ(library.TopmostWrites(), (std::vector<WindowHandle>{0, kMainHandle}));
    EXPECT_EQ(Writes(), (std::vector<std::string>{Stored("Keep On Top", "No"),
                                                  Stored("Keep On Top", "Yes")}));

    // A failed write shows nothing and leaves the stored value.
    registry.FailWritesOf("Keep On Top");
    form.chkOnTop.SetValue(0);
    EXPECT_EQ(Setting("Keep On Top"), "Yes");
    EXPECT_TRUE(messageBox.Transcript().empty());
}

TEST_F(MaintenanceTest, StartWithWindowsClickSwitchesTheQuotedEntryWithADashInsideTheQuotes) {
    SetSetting("Keep On Top", "Yes");
    process.executableName = "TideWell";
    process.executableFolder = "D:\\Apps (x86)\\Tide";
    frmMaintenance& form = Load();

    form.chkStartWithWindows.SetValue(1);
    form.chkStartWithWindows.SetValue(0);
    form.chkStartWithWindows.SetValue(0);
    form.chkStartWithWindows.SetValue(1);
    const std::string on = "\"D:\\Apps (x86)\\Tide\\TideWell.exe\"";
    const std::string off = "\"D:\\Apps (x86)\\Tide\\TideWell.exe-\"";
    EXPECT_EQ(Writes(), (std::vector<std::string>{Entry(on), Entry(off), Entry(on)}));
    for (const auto& write : registry.Writes()) {
        EXPECT_EQ(write.root, kHkeyLocalMachine);
        EXPECT_EQ(write.keyPath, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\");
        EXPECT_EQ(write.type, kRegSz);
    }
}

} // namespace
} // namespace tidewell
