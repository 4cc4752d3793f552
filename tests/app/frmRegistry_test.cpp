#include "TestApp.h"
#include "fakes/FakeInputBox.h"
#include "fakes/FakeRegistryLibrary.h"
#include "fakes/FakeTextFiles.h"
#include "settings/RegistryErrorMessage.h"
#include "startup_entries/EditorTexts.h"
#include "startup_entries/StartupEntriesEditor.h"
#include "startup_entries/frmRegistry.h"
#include "ui/Form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tidewell::testing {
namespace {

using fakes::FakeRegistryLibrary;
using Operation = fakes::FakeRegistryLibrary::Operation;

constexpr std::string_view kRun = frmRegistry::kRunKeyPath;
const std::string kBackupFile =
    "c:\\Program Files\\Vellmoor\\Tidewell\\Registry Backup\\Registry Backup.Reg";
const std::string kLocalSection =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";
const std::string kUserSection =
    "[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";

class RegistryEditorTest : public ::testing::Test, public TestApp {
protected:
    RegistryEditorTest() { flags.maintenanceRunning = true; }

    // HKLM: Tray, "Quoted \"App\"", Number(DWORD 123); HKCU: Messenger.
    void ArrangeBothKeys() {
        registryLibrary.SetText(kHkeyLocalMachine, kRun, "Tray", "c:\\windows\\tray.exe");
        registryLibrary.SetText(kHkeyLocalMachine, kRun, "Quoted \"App\"",
                                "\"C:\\Program Files\\App\\app.exe\" /min");
        registryLibrary.Set(kHkeyLocalMachine, kRun, "Number", RegistryData::Number(123));
        registryLibrary.SetText(kHkeyCurrentUser, kRun, "Messenger", "c:\\im\\msg.exe /bg");
    }

    // Creates and loads the editor; the caution question is answered `caution`.
    frmRegistry& Load(int caution = answer::kYes) {
        messageBox.Expect(std::string(editor_text::kCautionText), mb::kYesNo | mb::kIconExclamation,
                          "CAUTION!", caution);
        // An earlier editor stays alive: the fake event loop still watches its (stopped) timer.
        if (editor) {
            retired.push_back(std::move(editor));
        }
        editor = std::make_unique<ui::Form<frmRegistry>>(formsPort, ports, entryPorts,
                                                         chkCurrentUser, chkLocalMachine);
        events.Watch((*editor)->MyTimer);
        (*editor)->Form_Load();
        return **editor;
    }
    fakes::FakeWindowView& View() { return *formsPort.Find("Registry Entries"); }

    void ExpectBox(std::string_view text, unsigned flags, std::string_view title,
                   int reply = answer::kOk) {
        messageBox.Expect(std::string(text), flags, std::string(title), reply);
    }
    void ExpectInput(std::string_view prompt, std::string_view title, std::string_view def,
                     std::string reply) {
        inputBox.Expect(std::string(prompt), std::string(title), std::string(def),
                        std::move(reply));
    }

    // "Continue?" answered Yes, then the three input boxes answered with these texts.
    void ExpectAddQuestions(const std::string& name, const std::string& residency,
                            const std::string& path) {
        ExpectBox(editor_text::kContinueText, mb::kYesNo | mb::kIconExclamation, "Continue?",
                  answer::kYes);
        ExpectInput(editor_text::kNamePrompt, "Entry Name?", "NewEntry", name);
        ExpectInput(editor_text::kResidencyPrompt, "Residency?", "LOCAL", residency);
        ExpectInput(editor_text::kPathPrompt, "Entry Location?", "c:\\windows\\readme.exe", path);
    }
    void ExpectConfirmation(const std::string& name, const std::string& path,
                            const std::string& place, int reply) {
        ExpectBox("Is This Information Correct?\r\nEntry Name: " + name + "\r\nValue: " + path +
                      "\r\nResident At: " + place,
                  mb::kYesNo | mb::kIconQuestion, "Information Correct?", reply);
    }
    void ExpectCreated() {
        ExpectBox("Entry Has Been Created!", mb::kOk | mb::kIconInformation, "Complete!");
        ExpectBox(editor_text::kNoInformationText, mb::kOk | mb::kIconInformation,
                  "No Information!");
    }
    // The whole add dialogue of an accepted entry.
    void ExpectAdd(const std::string& name, const std::string& residency, const std::string& path,
                   const std::string& place) {
        ExpectAddQuestions(name, residency, path);
        ExpectConfirmation(name, path, place, answer::kYes);
        ExpectCreated();
    }
    // Yes to deleting, `backup` to the backup question, then the boxes that follow when the
    // backup (if any) was written.
    void ExpectDelete(int backup) {
        ExpectBox(editor_text::kDeleteText, mb::kYesNo | mb::kIconExclamation,
                  "Delete Selected Entries?", answer::kYes);
        ExpectBox(editor_text::kBackupText, mb::kYesNo | mb::kIconQuestion, "Create Backup?",
                  backup);
        if (backup == answer::kYes) {
            ExpectBox("Selected Entries Have Been Backed Up!", mb::kOk | mb::kIconInformation,
                      "Backup Complete!");
        }
        ExpectBox("Selected Entries Will Now Be Deleted!", mb::kOk | mb::kIconExclamation,
                  "Deletion Commencing. . .");
    }
    void ExpectBackupRefused() {
        ExpectBox(editor_text::kDeleteText, mb::kYesNo | mb::kIconExclamation,
                  "Delete Selected Entries?", answer::kYes);
        ExpectBox(editor_text::kBackupText, mb::kYesNo | mb::kIconQuestion, "Create Backup?",
                  answer::kYes);
        ExpectBox(editor_text::kBackupFailedText, mb::kOk | mb::kIconStop, "Backup Failed!");
    }

    FakeRegistryLibrary registryLibrary{&log};
    RegistryDatabaseHolder holder{registryLibrary, shared};
    fakes::FakeInputBox inputBox{&log};
    fakes::FakeTextFiles files;
    std::vector<std::string> sentKeys;
    // Whose window is active as the editor loads: another program's unless a test says so.
    bool anotherProgramActive = true;
    StartupEntriesPorts entryPorts{holder, inputBox, files,
                                   [this](std::string_view keys) {
                                       sentKeys.emplace_back(keys);
                                       log.Add("keys:" + std::string(keys));
                                   },
                                   [this] { return anotherProgramActive; }};
    ui::CheckBox chkCurrentUser{"chkCurrentUser", "", "", {}, 1};
    ui::CheckBox chkLocalMachine{"chkLocalMachine", "", "", {}, 1};
    std::unique_ptr<ui::Form<frmRegistry>> editor;
    std::vector<std::unique_ptr<ui::Form<frmRegistry>>> retired;
};

TEST_F(RegistryEditorTest, ControlsCarryTheirCaptionsTipsAndDesignState) {
    ui::Form<frmRegistry> form(formsPort, ports, entryPorts, chkCurrentUser, chkLocalMachine);
    frmRegistry& f = *form;
    EXPECT_EQ(View().Caption(), "Registry Entries");
    EXPECT_EQ(f.cmdRefresh.Caption(), "&Refresh");
    EXPECT_EQ(f.cmdAddEntry.Caption(), "&Add Entry");
    EXPECT_EQ(f.cmdAddEntry.TipText(), "Click Here To Add Your Own Entry.");
    EXPECT_EQ(f.cmdDeleteEntry.Caption(), "&Delete Value");
    EXPECT_EQ(f.cmdDeleteEntry.TipText(),
              "Click Here To Delete A Value.  You Will Be Prompted To Create A Backup.");
    EXPECT_EQ(f.cmdExit.Caption(), "&Finished!");
    EXPECT_EQ(f.cmdExit.TipText(), "Click Here When You're Finished.");
    EXPECT_EQ(f.lstbxLocal.TipText(),
              "This box contains programs that start BEFORE windows starts.");
    EXPECT_EQ(f.lstbxCurrent.TipText(),
              "This box contains programs that start WHILE booting into windows.");
    EXPECT_EQ(f.txtLocalValue.TipText(),
              "Look Here For Values From Programs That Start BEFORE Windows.");
    EXPECT_EQ(f.txtCurrentValue.TipText(),
              "Look Here For Values From Programs That Start WHILE Windows Is Booting.");
    EXPECT_EQ(f.StatusBar1.PanelText(), "Status Of Program Here.");
    EXPECT_EQ(f.StatusBar1.TipText(), "Look Here For Status Of Registry Operations");
    EXPECT_EQ(f.lblProgress.Caption(), "Progress Of Process:");
    EXPECT_EQ(f.Label1.Caption(), "Programs That Start Before Windows:");
    EXPECT_EQ(f.Label3.Caption(), "Programs That Start While Windows Is Starting:");
    EXPECT_EQ(f.Label6.Caption(), "Star (*) = Deleted Entry");
    EXPECT_EQ(f.Label7.Caption(), "Pound (#) = New Entry");
    EXPECT_EQ(f.ProgressBar1.Min(), 0);
    EXPECT_EQ(f.ProgressBar1.Max(), 14);
    EXPECT_EQ(f.MyTimer.Interval(), 450);
    EXPECT_FALSE(f.MyTimer.Enabled());
    EXPECT_EQ(f.Controls().size(), 19u);
    EXPECT_EQ(registryLibrary.DatabasesCreated(), 0) << "made before the load";
}

TEST_F(RegistryEditorTest, LoadWaitsFourteenTicksThenListsBothKeysInTheirOrder) {
    ArrangeBothKeys();
    struct Sample {
        int value;
        std::string status;
        bool buttonsEnabled;
    };
    std::vector<Sample> samples;
    events.OnPass([&](int) {
        if (editor) {
            frmRegistry& f = **editor;
            samples.push_back({f.ProgressBar1.Value(), f.StatusBar1.PanelText(),
                               f.cmdExit.Enabled() || f.cmdAddEntry.Enabled() ||
                                   f.cmdDeleteEntry.Enabled() || f.cmdRefresh.Enabled()});
        }
    });
    frmRegistry& f = Load();

    // The ENTER key and the hourglass come before the question; the lists after the wait.
    EXPECT_EQ(sentKeys, std::vector<std::string>{"{ENTER}"});
    EXPECT_LT(log.IndexOf("keys:{ENTER}"), log.IndexOf("box:CAUTION!"));
    EXPECT_LT(log.IndexOf("view:Registry Entries.Pointer=Hourglass"), log.IndexOf("box:CAUTION!"));
    EXPECT_LT(log.IndexOf("box:CAUTION!"), log.IndexOf("view:Registry Entries.Show"));
    EXPECT_LT(
        log.IndexOf("view:Registry Entries.Show"),
        log.IndexOf("library:Values HKCU\\software\\microsoft\\windows\\currentversion\\run"));
    EXPECT_EQ(events.Ticks(), 14);
    EXPECT_EQ(events.NowMilliseconds(), 14 * 450);
    ASSERT_FALSE(samples.empty());
    for (const Sample& sample : samples) {
        EXPECT_FALSE(sample.buttonsEnabled) << "a button was enabled during the wait";
        const bool converting = sample.status == "Converting Values. . . .";
        EXPECT_EQ(converting, sample.value >= 10) << "value " << sample.value;
        if (!converting) {
            EXPECT_EQ(sample.status, "Scanning Registry. . . . ");
        }
    }
    EXPECT_FALSE(f.MyTimer.Enabled());
    EXPECT_EQ(f.ProgressBar1.Value(), 14);
    EXPECT_TRUE(f.cmdExit.Enabled() && f.cmdAddEntry.Enabled() && f.cmdDeleteEntry.Enabled() &&
                f.cmdRefresh.Enabled());

    EXPECT_EQ(f.lstbxLocal.Items(), (std::vector<std::string>{"Tray", "Quoted \"App\"", "Number"}));
    EXPECT_EQ(f.lstbxCurrent.Items(), std::vector<std::string>{"Messenger"});
    EXPECT_EQ(
        f.LocalMachineValues(),
        (std::vector<RegistryData>{RegistryData::Text("c:\\windows\\tray.exe"),
                                   RegistryData::Text("\"C:\\Program Files\\App\\app.exe\" /min"),
                                   RegistryData::Number(123), RegistryData()}));
    EXPECT_EQ(
        f.CurrentUserValues(),
        (std::vector<RegistryData>{RegistryData::Text("c:\\im\\msg.exe /bg"), RegistryData()}));
    EXPECT_EQ(f.StatusBar1.PanelText(),
              "Viewing Registry Values.  Select A Value To See Its Entry.");
    EXPECT_TRUE(f.lstbxLocal.Enabled());
    EXPECT_TRUE(f.lstbxCurrent.Enabled());
    EXPECT_EQ(View().Pointer(), ui::MousePointer::Default);
    EXPECT_TRUE(flags.maintenanceRunning);
}

TEST_F(RegistryEditorTest, NoEnterIsSentWhileAWindowOfOursIsActive) {
    anotherProgramActive = false;
    frmRegistry& f = Load();
    EXPECT_TRUE(sentKeys.empty());
    EXPECT_TRUE(f.cmdExit.Enabled()) << "the caution question was asked and answered";
}

TEST_F(RegistryEditorTest, CautionNoClearsTheRunFlagAndLeavesEverythingEmpty) {
    ArrangeBothKeys();
    frmRegistry& f = Load(answer::kNo);
    EXPECT_FALSE(flags.maintenanceRunning);
    EXPECT_EQ(f.lstbxLocal.ListCount(), 0);
    EXPECT_EQ(f.lstbxCurrent.ListCount(), 0);
    EXPECT_EQ(View().Shows(), 0);
    EXPECT_EQ(View().Pointer(), ui::MousePointer::Hourglass);
    EXPECT_EQ(events.Ticks(), 0);
    EXPECT_EQ(registryLibrary.Calls(Operation::Values), 0);
}

TEST_F(RegistryEditorTest, MissingCurrentUserKeyIsAnEmptyListAndUncheckedListsAreDisabled) {
    registryLibrary.SetText(kHkeyLocalMachine, kRun, "Tray", "c:\\tray.exe");
    chkCurrentUser.SetValue(0);
    frmRegistry& f = Load();
    EXPECT_EQ(f.lstbxCurrent.ListCount(), 0);
    EXPECT_EQ(f.CurrentUserValues().size(), 1u);
    EXPECT_EQ(f.lstbxLocal.Items(), std::vector<std::string>{"Tray"});
    EXPECT_FALSE(f.lstbxCurrent.Enabled());
    EXPECT_TRUE(f.lstbxLocal.Enabled());
    EXPECT_TRUE(flags.maintenanceRunning);
}

TEST_F(RegistryEditorTest, LibraryFailureDuringTheLoadReachesTheCaller) {
    ArrangeBothKeys();
    registryLibrary.Fail(Operation::Values, 0x80070005u, "Error enumerating value names");
    try {
        Load();
        ADD_FAILURE() << "the failure was swallowed";
    } catch (const RegistryLibraryError& error) {
        EXPECT_EQ(error.HResult(), 0x80070005u);
        EXPECT_EQ(error.Description(), "Error enumerating value names");
    }
}

TEST_F(RegistryEditorTest, EntryAddedDuringTheWaitStillGetsItsSlot) {
    registryLibrary.SetText(kHkeyLocalMachine, kRun, "A", "a");
    registryLibrary.AddKey(kHkeyCurrentUser, kRun);
    events.At(1000, [this] { registryLibrary.SetText(kHkeyLocalMachine, kRun, "B", "b"); });
    events.At(1000, [this] { registryLibrary.SetText(kHkeyCurrentUser, kRun, "C", "c"); });
    frmRegistry& f = Load();
    EXPECT_EQ(f.lstbxLocal.Items(), (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(f.LocalMachineValues().size(), 3u);
    EXPECT_EQ(f.lstbxCurrent.Items(), std::vector<std::string>{"C"});
    EXPECT_EQ(f.CurrentUserValues(),
              (std::vector<RegistryData>{RegistryData::Text("c"), RegistryData()}));
}

TEST_F(RegistryEditorTest, ClosingTheWindowDuringTheWaitEndsTheLoad) {
    ArrangeBothKeys();
    events.At(2000, [this] { (*editor)->Unload(ui::UnloadMode::ControlMenu); });
    frmRegistry& f = Load();
    EXPECT_FALSE(f.Loaded());
    EXPECT_LT(events.Ticks(), 14);
    EXPECT_EQ(registryLibrary.Calls(Operation::Values), 0);
}

TEST_F(RegistryEditorTest, SelectionShowsTheLoadedDataAndMarksOnlyEntriesThatAreGone) {
    ArrangeBothKeys();
    registryLibrary.SetText(kHkeyLocalMachine, kRun, "Zero", "0");
    registryLibrary.Set(kHkeyLocalMachine, kRun, "Bytes",
                        RegistryData::Bytes(kRegBinaryType, {0x01, 0xfe}));
    frmRegistry& f = Load();

    f.lstbxLocal.SetListIndex(0);
    EXPECT_EQ(f.txtLocalValue.Text(), "c:\\windows\\tray.exe");
    f.lstbxLocal.SetListIndex(2); // a REG_DWORD: its number, and no marker
    EXPECT_EQ(f.txtLocalValue.Text(), "123");
    f.lstbxLocal.SetListIndex(3); // "0" is text that exists
    EXPECT_EQ(f.txtLocalValue.Text(), "0");
    f.lstbxLocal.SetListIndex(4); // bytes show as their own hexadecimal pairs
    EXPECT_EQ(f.txtLocalValue.Text(), "01 fe");

    registryLibrary.Remove(kHkeyLocalMachine, kRun, "Quoted \"App\"");
    registryLibrary.Remove(kHkeyLocalMachine, kRun, "Number");
    registryLibrary.Remove(kHkeyLocalMachine, kRun, "Bytes");
    f.lstbxLocal.SetListIndex(3);
    f.lstbxLocal.SetListIndex(4);
    EXPECT_EQ(f.txtLocalValue.Text(), "01 fe (*) ");
    f.lstbxLocal.SetListIndex(1);
    EXPECT_EQ(f.txtLocalValue.Text(), "\"C:\\Program Files\\App\\app.exe\" /min (*) ");
    f.lstbxLocal.SetListIndex(2);
    EXPECT_EQ(f.txtLocalValue.Text(), "123 (*) ");
    f.lstbxLocal.SetListIndex(1); // the marker never piles up
    EXPECT_EQ(f.txtLocalValue.Text(), "\"C:\\Program Files\\App\\app.exe\" /min (*) ");

    f.lstbxCurrent.SetListIndex(0);
    EXPECT_EQ(f.txtCurrentValue.Text(), "c:\\im\\msg.exe /bg");
    EXPECT_EQ(f.txtLocalValue.Text(), "\"C:\\Program Files\\App\\app.exe\" /min (*) ");
}

TEST_F(RegistryEditorTest, EveryTypeHasATextForm) {
    registryLibrary.Set(kHkeyCurrentUser, kRun, "Multi", RegistryData::Strings({"a.exe", "b c"}));
    registryLibrary.Set(kHkeyCurrentUser, kRun, "Qword",
                        RegistryData::Bytes(kRegQwordType, {0, 0, 0, 0, 1, 0, 0, 0}));
    registryLibrary.Set(kHkeyCurrentUser, kRun, "Expand",
                        RegistryData::ExpandText("%windir%\\x.exe"));
    registryLibrary.Set(kHkeyCurrentUser, kRun, "Odd", RegistryData::Bytes(0x99, {0x0a}));
    frmRegistry& f = Load();
    const char* const shown[] = {"a.exe | b c", "4294967296", "%windir%\\x.exe", "0a"};
    for (int i = 0; i < 4; ++i) {
        f.lstbxCurrent.SetListIndex(i);
        EXPECT_EQ(f.txtCurrentValue.Text(), shown[i]);
    }
}

TEST_F(RegistryEditorTest, SelectionStopsQuietlyOnAFailedCheckOrAnIgnoredClick) {
    ArrangeBothKeys();
    frmRegistry& f = Load();
    registryLibrary.Fail(Operation::ValueExists, 0x80070005u, "Access denied");
    f.lstbxLocal.SetListIndex(0);
    EXPECT_EQ(f.txtLocalValue.Text(), "c:\\windows\\tray.exe");

    f.ignoreNextListClick = true;
    f.lstbxCurrent.SetListIndex(0);
    EXPECT_FALSE(f.ignoreNextListClick);
    EXPECT_EQ(f.txtCurrentValue.Text(), "");
}

TEST_F(RegistryEditorTest, RefreshEndsWithNoSelectionHavingShownTheFirstCurrentUserEntry) {
    ArrangeBothKeys();
    frmRegistry& f = Load();
    f.lstbxLocal.SetListIndex(1);
    const int refreshes = View().Refreshes();
    f.cmdRefresh.Click();
    EXPECT_EQ(f.lstbxLocal.ListIndex(), -1);
    EXPECT_EQ(f.lstbxCurrent.ListIndex(), -1);
    EXPECT_FALSE(f.ignoreNextListClick);
    EXPECT_GT(View().Refreshes(), refreshes);
    // The first change was swallowed; selecting the current user's first entry ran as a click.
    EXPECT_EQ(f.txtLocalValue.Text(), "\"C:\\Program Files\\App\\app.exe\" /min");
    EXPECT_EQ(f.txtCurrentValue.Text(), "c:\\im\\msg.exe /bg");
    EXPECT_EQ(f.lstbxLocal.ListCount(), 3) << "Refresh does not reload";
}

TEST_F(RegistryEditorTest, RefreshWithEmptyListsSkipsThemAndSwallowsNoLaterClick) {
    frmRegistry& f = Load();
    f.cmdRefresh.Click();
    EXPECT_FALSE(f.ignoreNextListClick);
    EXPECT_EQ(f.lstbxLocal.ListIndex(), -1);
}

TEST_F(RegistryEditorTest, RegistryDatabaseIsMadeOnceAndReleasedWithTheSharedObjects) {
    ArrangeBothKeys();
    Load();
    Load();
    EXPECT_EQ(registryLibrary.DatabasesCreated(), 1);
    EXPECT_TRUE(holder.Held());
    shared.ReleaseAll();
    EXPECT_FALSE(holder.Held());
}

// --- adding

TEST_F(RegistryEditorTest, AddWritesTheEntryWhereTheUserSaidAndListsIt) {
    frmRegistry& f = Load();
    ExpectAdd("My \"Tool\"", "USER", "C:\\windows\\readme.exe", "USER");
    f.cmdAddEntry.Click();

    EXPECT_EQ(registryLibrary.Data(kHkeyCurrentUser, kRun, "My \"Tool\""),
              RegistryData::Text("C:\\windows\\readme.exe"));
    EXPECT_EQ(f.lstbxCurrent.Items(), std::vector<std::string>{"My \"Tool\""});
    EXPECT_EQ(f.lstbxLocal.ListCount(), 0);
    EXPECT_EQ(f.ProgressBar1.Value(), 14);
    EXPECT_TRUE(
        log.Contains("library:CreateKey HKCU\\software\\microsoft\\windows\\currentversion\\run"));
    // Each input box sits at the editor window.
    ASSERT_EQ(inputBox.Transcript().size(), 3u);
    for (const auto& box : inputBox.Transcript()) {
        EXPECT_EQ(box.owner, View().Handle());
    }
}

TEST_F(RegistryEditorTest, ResidencyOtherThanExactlyUserGoesToLocalMachine) {
    frmRegistry& f = Load();
    const std::vector<std::string> names{"A", "B", "C", "D"};
    const std::string residencies[] = {"user", "Local", "", "LOCAL"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE("residency \"" + residencies[i] + "\"");
        ExpectAdd(names[i], residencies[i], "c:\\x.exe", "LOCAL");
        f.cmdAddEntry.Click();
    }
    EXPECT_EQ(registryLibrary.Data(kHkeyLocalMachine, kRun, "D"), RegistryData::Text("c:\\x.exe"));
    EXPECT_EQ(f.lstbxLocal.Items(), names);
    EXPECT_FALSE(registryLibrary.HasKey(kHkeyCurrentUser, kRun));
}

TEST_F(RegistryEditorTest, CancelAtTheNameAddsNothing) {
    frmRegistry& f = Load();
    ExpectBox(editor_text::kContinueText, mb::kYesNo | mb::kIconExclamation, "Continue?",
              answer::kYes);
    ExpectInput(editor_text::kNamePrompt, "Entry Name?", "NewEntry", "");
    f.cmdAddEntry.Click();
    EXPECT_EQ(registryLibrary.Calls(Operation::WriteString), 0);
    EXPECT_EQ(f.lstbxLocal.ListCount(), 0);
}

TEST_F(RegistryEditorTest, AnExistingNameIsReplacedOnlyAfterAskingAndBackingItUp) {
    ArrangeBothKeys();
    frmRegistry& f = Load();
    const auto addTray = [&](int reply) {
        ExpectAddQuestions("TRAY", "LOCAL", "c:\\new.exe");
        ExpectConfirmation("TRAY", "c:\\new.exe", "LOCAL", answer::kYes);
        ExpectBox(editor_text::ReplaceText("TRAY"),
                  mb::kYesNo | mb::kIconExclamation | editor_text::kDefaultNo, "Replace Entry?",
                  reply);
    };
    addTray(answer::kNo);
    ExpectBox("Value has NOT been created!", mb::kOk | mb::kIconInformation, "ABORTED!");
    f.cmdAddEntry.Click();
    EXPECT_EQ(registryLibrary.Data(kHkeyLocalMachine, kRun, "Tray"),
              RegistryData::Text("c:\\windows\\tray.exe"));
    EXPECT_FALSE(files.File(kBackupFile));

    addTray(answer::kYes);
    ExpectCreated();
    f.cmdAddEntry.Click();
    ASSERT_TRUE(files.File(kBackupFile));
    EXPECT_EQ(*files.File(kBackupFile), "REGEDIT4\r\n\r\n\r\n" + kLocalSection +
                                            "\"TRAY\"=\"c:\\\\windows\\\\tray.exe\"\r\n");
    EXPECT_EQ(registryLibrary.Data(kHkeyLocalMachine, kRun, "Tray"),
              RegistryData::Text("c:\\new.exe"));
    EXPECT_EQ(f.lstbxLocal.Items(), (std::vector<std::string>{"Tray", "Quoted \"App\"", "Number"}));
}

TEST_F(RegistryEditorTest, DefaultPathIsRejectedAndGetsOneRetry) {
    frmRegistry& f = Load();
    const auto syntax = [&](int reply) {
        ExpectAddQuestions("NewEntry", "LOCAL", "c:\\windows\\readme.exe");
        ExpectBox(editor_text::kSyntaxText, mb::kYesNo | mb::kIconStop, "SYNTAX INCORRECT!", reply);
    };
    syntax(answer::kNo); // retry declined: nothing more
    f.cmdAddEntry.Click();
    syntax(answer::kYes); // retry cancelled: stops without a further message
    ExpectInput(editor_text::kPathPrompt, "Entry Location?", "c:\\windows\\readme.exe", "");
    f.cmdAddEntry.Click();
    EXPECT_EQ(registryLibrary.Calls(Operation::WriteString), 0);
    EXPECT_EQ(f.ProgressBar1.Value(), 0);

    syntax(answer::kYes); // retry accepted; the confirmation declined
    ExpectInput(editor_text::kPathPrompt, "Entry Location?", "c:\\windows\\readme.exe",
                "c:\\ok.exe");
    ExpectConfirmation("NewEntry", "c:\\ok.exe", "LOCAL", answer::kNo);
    ExpectBox("Value has NOT been created!", mb::kOk | mb::kIconInformation, "ABORTED!");
    f.cmdAddEntry.Click();
    EXPECT_EQ(registryLibrary.Calls(Operation::WriteString), 0);
    EXPECT_EQ(f.ProgressBar1.Value(), 7);
    EXPECT_EQ(f.lstbxLocal.ListCount(), 0);
}

TEST_F(RegistryEditorTest, NoAtTheFirstQuestionAsksNothingElse) {
    frmRegistry& f = Load();
    f.ProgressBar1.SetValue(9);
    ExpectBox(editor_text::kContinueText, mb::kYesNo | mb::kIconExclamation, "Continue?",
              answer::kNo);
    f.cmdAddEntry.Click();
    EXPECT_TRUE(inputBox.Transcript().empty());
    EXPECT_EQ(f.ProgressBar1.Value(), 0);
}

TEST_F(RegistryEditorTest, FailedWriteShowsTheRegistryErrorAndListsNothing) {
    frmRegistry& f = Load();
    registryLibrary.Fail(Operation::WriteString, 0x80070005u,
                         "Error setting the registry value - Access denied.");
    ExpectAddQuestions("NewEntry", "LOCAL", "c:\\a.exe");
    ExpectConfirmation("NewEntry", "c:\\a.exe", "LOCAL", answer::kYes);
    ExpectBox(kRegistryErrorText, kRegistryErrorFlags, kRegistryErrorTitle);
    f.cmdAddEntry.Click();
    EXPECT_EQ(f.lstbxLocal.ListCount(), 0);
    EXPECT_EQ(f.ProgressBar1.Value(), 7);
}

// --- deleting

TEST_F(RegistryEditorTest, DeleteWithNothingSelectedSaysSo) {
    ArrangeBothKeys();
    frmRegistry& f = Load();
    ExpectBox("Nothing Has Been Selected!", mb::kOk | mb::kIconExclamation, "Nothing To Backup!");
    f.cmdDeleteEntry.Click();
    EXPECT_EQ(registryLibrary.Calls(Operation::DeleteValue), 0);
}

TEST_F(RegistryEditorTest, DeleteWithBackupWritesTheExportThenDeletesAndMarksTheEntry) {
    ArrangeBothKeys();
    frmRegistry& f = Load();
    f.lstbxLocal.SetListIndex(1);
    ExpectDelete(answer::kYes);
    f.cmdDeleteEntry.Click();

    ASSERT_NE(files.File(kBackupFile), nullptr);
    EXPECT_EQ(
        *files.File(kBackupFile),
        "REGEDIT4\r\n\r\n\r\n" + kLocalSection +
            "\"Quoted \\\"App\\\"\"=\"\\\"C:\\\\Program Files\\\\App\\\\app.exe\\\" /min\"\r\n");
    EXPECT_EQ(registryLibrary.Names(kHkeyLocalMachine, kRun),
              (std::vector<std::string>{"Tray", "Number"}));
    EXPECT_LT(log.IndexOf("box:Deletion Commencing. . ."),
              log.IndexOf("library:DeleteValue HKLM\\software\\microsoft\\windows\\currentversion"
                          "\\run|Quoted \"App\""));
    EXPECT_EQ(f.lstbxLocal.ListCount(), 3) << "the deleted name stays listed";

    // The user's next click shows its entry, the deleted one with the marker.
    f.lstbxLocal.SetListIndex(0);
    EXPECT_EQ(f.txtLocalValue.Text(), "c:\\windows\\tray.exe");
    f.lstbxLocal.SetListIndex(1);
    EXPECT_EQ(f.txtLocalValue.Text(), "\"C:\\Program Files\\App\\app.exe\" /min (*) ");
}

TEST_F(RegistryEditorTest, BothSelectedBacksUpLocalThenCurrentAndDeletesBoth) {
    ArrangeBothKeys();
    files.AddFile(kBackupFile, "REGEDIT4\r\n\r\n\r\n" + kUserSection + "\"Old\"=\"x\"\r\n");
    frmRegistry& f = Load();
    f.lstbxLocal.SetListIndex(0);
    f.lstbxCurrent.SetListIndex(0);
    ExpectDelete(answer::kYes);
    f.cmdDeleteEntry.Click();

    EXPECT_EQ(*files.File(kBackupFile),
              "REGEDIT4\r\n\r\n\r\n" + kUserSection + "\"Old\"=\"x\"\r\n" + kLocalSection +
                  "\"Tray\"=\"c:\\\\windows\\\\tray.exe\"\r\n" + kUserSection +
                  "\"Messenger\"=\"c:\\\\im\\\\msg.exe /bg\"\r\n");
    EXPECT_FALSE(registryLibrary.Data(kHkeyLocalMachine, kRun, "Tray").has_value());
    EXPECT_FALSE(registryLibrary.Data(kHkeyCurrentUser, kRun, "Messenger").has_value());
}

TEST_F(RegistryEditorTest, BothSelectedReportsEachFailedDelete) {
    ArrangeBothKeys();
    frmRegistry& f = Load();
    f.lstbxLocal.SetListIndex(0);
    f.lstbxCurrent.SetListIndex(0);
    registryLibrary.Fail(Operation::DeleteValue, 0x80070005u, "Access denied");
    ExpectDelete(answer::kNo);
    ExpectBox(kRegistryErrorText, kRegistryErrorFlags, kRegistryErrorTitle);
    ExpectBox(kRegistryErrorText, kRegistryErrorFlags, kRegistryErrorTitle);
    f.cmdDeleteEntry.Click();
    EXPECT_EQ(registryLibrary.Calls(Operation::DeleteValue), 2);
}

TEST_F(RegistryEditorTest, DeleteWithoutBackupAndDeclinedDeleteTouchNoFile) {
    ArrangeBothKeys();
    frmRegistry& f = Load();
    f.lstbxCurrent.SetListIndex(0);
    ExpectBox(editor_text::kDeleteText, mb::kYesNo | mb::kIconExclamation,
              "Delete Selected Entries?", answer::kNo);
    f.cmdDeleteEntry.Click();
    EXPECT_TRUE(registryLibrary.Data(kHkeyCurrentUser, kRun, "Messenger").has_value());

    ExpectDelete(answer::kNo);
    f.cmdDeleteEntry.Click();
    EXPECT_FALSE(registryLibrary.Data(kHkeyCurrentUser, kRun, "Messenger").has_value());
    EXPECT_TRUE(files.Writes().empty());
}

TEST_F(RegistryEditorTest, BackupThatCannotBeWrittenDeletesNothing) {
    ArrangeBothKeys();
    const std::string smile = "\xF0\x9F\x98\x80 Smile";
    registryLibrary.SetText(kHkeyCurrentUser, kRun, smile, "c:\\smile.exe");
    frmRegistry& f = Load();
    // A folder that cannot be made.
    f.lstbxLocal.SetListIndex(0);
    files.RefuseFolder("c:\\Program Files\\Vellmoor\\Tidewell\\");
    ExpectBackupRefused();
    f.cmdDeleteEntry.Click();
    // A name the backup file's code page cannot hold: named in the message.
    f.lstbxLocal.SetListIndex(-1);
    f.lstbxCurrent.SetListIndex(1);
    ExpectBox(editor_text::kDeleteText, mb::kYesNo | mb::kIconExclamation,
              "Delete Selected Entries?", answer::kYes);
    ExpectBox(editor_text::kBackupText, mb::kYesNo | mb::kIconQuestion, "Create Backup?",
              answer::kYes);
    ExpectBox(editor_text::NotBackedUpText(smile), mb::kOk | mb::kIconStop, "Backup Failed!");
    f.cmdDeleteEntry.Click();

    EXPECT_EQ(registryLibrary.Calls(Operation::DeleteValue), 0);
    EXPECT_TRUE(files.Writes().empty());
}

TEST_F(RegistryEditorTest, NamesAddedWhileOpenAreBackedUpWithTheirDataInTheRegistry) {
    registryLibrary.SetText(kHkeyLocalMachine, kRun, "Old", "c:\\old.exe");
    frmRegistry& f = Load();
    // Two additions: the first lands in the spare slot, the second beyond the table.
    for (const std::string name : {"First", "Second"}) {
        ExpectAdd(name, "LOCAL", "c:\\" + name + ".exe", "LOCAL");
        f.cmdAddEntry.Click();
    }
    ASSERT_EQ(f.lstbxLocal.Items(), (std::vector<std::string>{"Old", "First", "Second"}));
    for (int index : {1, 2}) {
        f.lstbxLocal.SetListIndex(index);
        ExpectDelete(answer::kYes);
        f.cmdDeleteEntry.Click();
    }
    EXPECT_EQ(*files.File(kBackupFile), "REGEDIT4\r\n\r\n\r\n" + kLocalSection +
                                            "\"First\"=\"c:\\\\First.exe\"\r\n" + kLocalSection +
                                            "\"Second\"=\"c:\\\\Second.exe\"\r\n");
    EXPECT_EQ(registryLibrary.Names(kHkeyLocalMachine, kRun), std::vector<std::string>{"Old"});
}

TEST_F(RegistryEditorTest, FailedDeleteShowsTheRegistryErrorButAVanishedEntryDoesNot) {
    ArrangeBothKeys();
    frmRegistry& f = Load();
    f.lstbxLocal.SetListIndex(0);
    registryLibrary.Remove(kHkeyLocalMachine, kRun, "Tray");
    ExpectDelete(answer::kNo);
    f.cmdDeleteEntry.Click();

    f.lstbxCurrent.SetListIndex(0);
    f.lstbxLocal.SetListIndex(-1);
    registryLibrary.Fail(Operation::DeleteValue, 0x80070005u, "Access denied");
    ExpectDelete(answer::kNo);
    ExpectBox(kRegistryErrorText, kRegistryErrorFlags, kRegistryErrorTitle);
    f.cmdDeleteEntry.Click();
    EXPECT_TRUE(registryLibrary.Data(kHkeyCurrentUser, kRun, "Messenger").has_value());
}

TEST_F(RegistryEditorTest, FinishedUnloadsTheWindow) {
    frmRegistry& f = Load();
    f.cmdExit.Click();
    EXPECT_FALSE(f.Loaded());
    EXPECT_EQ(formsPort.Find("Registry Entries"), nullptr);
    EXPECT_TRUE(log.Contains("view:Registry Entries.Destroy"));
}

// --- the run's entry

TEST_F(RegistryEditorTest, ShowEditorRunsModallyUntilFinished) {
    ArrangeBothKeys();
    messageBox.Expect(std::string(editor_text::kCautionText), mb::kYesNo | mb::kIconExclamation,
                      "CAUTION!", answer::kYes);
    bool wasModal = false;
    events.At(60000, [&] {
        fakes::FakeWindowView* view = formsPort.Find("Registry Entries");
        ASSERT_NE(view, nullptr);
        wasModal = runtime.InModal() && view->Visible();
        static_cast<frmRegistry*>(view->Core())->cmdExit.Click();
    });
    // The run's timer is not ticking here; the editor's own must be watched to fill its bar.
    bool watched = false;
    events.OnPass([&](int) {
        if (fakes::FakeWindowView* view = formsPort.Find("Registry Entries")) {
            if (!watched) {
                watched = true;
                events.Watch(static_cast<frmRegistry*>(view->Core())->MyTimer);
            }
        }
    });
    EXPECT_EQ(ShowStartupEntriesEditor(ports, entryPorts, chkCurrentUser, chkLocalMachine),
              EditorOutcome::Finished);
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(formsPort.Find("Registry Entries"), nullptr);
}

TEST_F(RegistryEditorTest, ShowEditorAfterNoNeverShowsIt) {
    messageBox.Expect(std::string(editor_text::kCautionText), mb::kYesNo | mb::kIconExclamation,
                      "CAUTION!", answer::kNo);
    EXPECT_EQ(ShowStartupEntriesEditor(ports, entryPorts, chkCurrentUser, chkLocalMachine),
              EditorOutcome::Declined);
    EXPECT_FALSE(flags.maintenanceRunning);
    EXPECT_FALSE(log.Contains("view:Registry Entries.Show"));
    EXPECT_EQ(formsPort.Find("Registry Entries"), nullptr);
}

} // namespace
} // namespace tidewell::testing
