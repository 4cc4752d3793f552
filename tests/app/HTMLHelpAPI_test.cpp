// The help class through recording fakes of its ports.
#include "HelpTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace tidewell;
using namespace tidewell::help;
using tidewell::testing::DataAs;

constexpr WindowHandle kCaller = 0x4242;
constexpr const char* kGuide = "C:\\Help\\Guide.chm";
constexpr std::string_view kRegKey = "Software\\Microsoft\\Windows\\HTML Help";

class HTMLHelpAPITest : public ::testing::Test, protected tidewell::testing::HelpPortsFixture {
protected:
    HTMLHelpAPI api{ports};
};

TEST_F(HTMLHelpAPITest, EveryPropertyStartsEmptyZeroOrFalse) {
    EXPECT_EQ(api.HHWindow(), "");
    EXPECT_EQ(api.HHTopicURL(), "");
    EXPECT_EQ(api.HHTopicID(), 0);
    EXPECT_EQ(api.HHMsgTitle(), "");
    EXPECT_EQ(api.HHMsgText(), "");
    EXPECT_EQ(api.HHKeyword(), "");
    EXPECT_EQ(api.HHDefaultURL(), "");
    EXPECT_EQ(api.HHALink(), "");
    EXPECT_EQ(api.CHMFile(), "");
    EXPECT_FALSE(api.HHShowOnTop());
    EXPECT_EQ(api.HHRegFileName(), "");
    EXPECT_EQ(api.HHRegFilePath(), "");
    EXPECT_FALSE(api.HHRegFileExists());
    EXPECT_FALSE(api.HHPopupCustomColors());
    EXPECT_TRUE(htmlHelp.Calls().empty());
}

// One row per display operation: what reaches the viewer for an existing file.
struct DisplayRow {
    const char* name;
    std::function<void(HTMLHelpAPI&, WindowHandle)> run;
    std::uint32_t command;
    HtmlHelpData data;
};

TEST_F(HTMLHelpAPITest, DisplayOperationsCallTheViewerOnceWithTheirCommandAndData) {
    system.AddFile(kGuide);
    api.SetHHTopicURL("tasks/cleanup.htm");
    api.SetHHTopicID(2000);
    const std::vector<DisplayRow> rows{
        {"TopicURL", [](HTMLHelpAPI& a, WindowHandle w) { a.HHDisplayTopicURL(w); }, 0,
         std::string("tasks/cleanup.htm")},
        {"TopicID", [](HTMLHelpAPI& a, WindowHandle w) { a.HHDisplayTopicID(w); }, 15,
         std::uint32_t{2000}},
        {"Index", [](HTMLHelpAPI& a, WindowHandle w) { a.HHDisplayIndex(w); }, 2, std::uint32_t{0}},
        {"Contents", [](HTMLHelpAPI& a, WindowHandle w) { a.HHDisplayContents(w); }, 1,
         std::uint32_t{0}},
    };
    for (const bool onTop : {false, true}) {
        api.SetHHShowOnTop(onTop);
        for (const DisplayRow& row : rows) {
            htmlHelp.Clear();
            api.SetCHMFile(kGuide);
            row.run(api, kCaller);
            ASSERT_EQ(htmlHelp.Calls().size(), 1u) << row.name;
            const auto& call = htmlHelp.Calls()[0];
            EXPECT_EQ(call.owner, onTop ? kCaller : 0u) << row.name << " on top " << onTop;
            EXPECT_EQ(call.target, std::optional<std::string>(kGuide)) << row.name;
            EXPECT_EQ(call.command, row.command) << row.name;
            EXPECT_EQ(call.data, row.data) << row.name;
        }
    }
}

TEST_F(HTMLHelpAPITest, TopicNumberReachesTheViewerAsItsThirtyTwoBits) {
    system.AddFile(kGuide);
    api.SetCHMFile(kGuide);
    api.SetHHTopicID(-1);
    api.HHDisplayTopicID();
    ASSERT_EQ(htmlHelp.Calls().size(), 1u);
    EXPECT_EQ(DataAs<std::uint32_t>(htmlHelp.Calls()[0]), 0xFFFFFFFFu);
}

TEST_F(HTMLHelpAPITest, WindowTypeJoinsTheTargetUnlessBlank) {
    system.AddFile(kGuide);
    api.SetCHMFile(kGuide);
    api.SetHHWindow("   ");
    api.HHDisplayContents();
    api.SetHHWindow("Main");
    api.HHDisplayContents();
    ASSERT_EQ(htmlHelp.Calls().size(), 2u);
    EXPECT_EQ(htmlHelp.Calls()[0].target, std::optional<std::string>(kGuide));
    EXPECT_EQ(htmlHelp.Calls()[1].target, std::optional<std::string>("C:\\Help\\Guide.chm>Main"));
}

TEST_F(HTMLHelpAPITest, NameNotEndingInChmIsRefusedWithItsMessageAndOpensNothing) {
    api.SetCHMFile("C:\\Help\\Guide.hlp");
    helpBoxes.ExpectError("C:\\Help\\Guide.hlp is not a valid HTML Help file.");
    api.HHDisplayContents(kCaller);
    EXPECT_TRUE(htmlHelp.Calls().empty());
    EXPECT_TRUE(system.Searches().empty());

    // The ending is compared without regard to case.
    system.AddFile("C:\\Help\\GUIDE.CHM");
    api.SetCHMFile("C:\\Help\\GUIDE.CHM");
    api.HHDisplayIndex();
    EXPECT_EQ(htmlHelp.Calls().size(), 1u);
}

TEST_F(HTMLHelpAPITest, MissingFileShowsTheTwoSentencesAcrossALineFeedAndOpensNothing) {
    api.SetCHMFile(kGuide);
    helpBoxes.ExpectError("The file C:\\Help\\Guide.chm does not exist.\nPlease make sure that "
                          "you have installed Orvane Help files");
    api.HHDisplaySearch();
    EXPECT_TRUE(htmlHelp.Calls().empty());
}

TEST_F(HTMLHelpAPITest, WildcardNameCountsAsMissingRatherThanOpeningAnotherFile) {
    system.AddFile(kGuide);
    api.SetCHMFile("C:\\Help\\*.chm");
    helpBoxes.ExpectError("The file C:\\Help\\*.chm does not exist.\nPlease make sure that you "
                          "have installed Orvane Help files");
    api.HHDisplayContents();
    EXPECT_TRUE(htmlHelp.Calls().empty());
}

TEST_F(HTMLHelpAPITest, BareNameNotRegisteredIsFoundInTheProgramFolderAndWrittenBack) {
    const std::string full = ProgramFile("Tidewell! Help.chm");
    system.AddFile(full);
    api.SetCHMFile("Tidewell! Help.chm");
    api.HHDisplayContents();
    EXPECT_EQ(api.CHMFile(), full);
    ASSERT_EQ(htmlHelp.Calls().size(), 1u);
    EXPECT_EQ(htmlHelp.Calls()[0].target, std::optional<std::string>(full));
    EXPECT_EQ(registry.Operations().front(),
              "open 80000002\\Software\\Microsoft\\Windows\\HTML Help access 1");
}

TEST_F(HTMLHelpAPITest, BareNameRegisteredIsTakenFromTheRegistrationKey) {
    system.AddFile(kGuide);
    system.longPaths["c:\\help\\"] = "C:\\Help\\";
    registry.Set(reg::kLocalMachine, kRegKey, "guide.CHM", reg::kSz, "C:\\Help\\");
    api.SetCHMFile("Guide.chm");
    api.HHDisplayTopicURL();
    EXPECT_EQ(api.CHMFile(), kGuide);
    EXPECT_EQ(api.HHRegFileName(), "Guide.chm");
    EXPECT_EQ(api.HHRegFilePath(), "C:\\Help\\");
    EXPECT_TRUE(api.HHRegFileExists());
    ASSERT_EQ(htmlHelp.Calls().size(), 1u);
    EXPECT_EQ(htmlHelp.Calls()[0].target, std::optional<std::string>(kGuide));
}

TEST_F(HTMLHelpAPITest, KeywordOpensTheDefaultTopicFirstAndPassesNullsForEmptyTexts) {
    system.AddFile(kGuide);
    api.SetCHMFile(kGuide);
    api.SetHHShowOnTop(true);
    api.SetHHKeyword("cleanup;scandisk");
    api.SetHHWindow("  ");
    api.HHDisplayKeyword(kCaller);

    ASSERT_EQ(htmlHelp.Calls().size(), 2u);
    const auto& open = htmlHelp.Calls()[0];
    EXPECT_EQ(open.command, hh::kDisplayTopic);
    EXPECT_EQ(open.data, HtmlHelpData(std::uint32_t{0}));
    const auto& lookup = htmlHelp.Calls()[1];
    EXPECT_EQ(lookup.owner, kCaller);
    EXPECT_EQ(lookup.target, std::optional<std::string>(kGuide));
    EXPECT_EQ(lookup.command, hh::kKeywordLookup);
    HhAkLink want;
    want.pszKeywords = "cleanup;scandisk";
    EXPECT_EQ(DataAs<HhAkLink>(lookup), want);
    EXPECT_EQ(api.HHDefaultURL(), "");
    EXPECT_EQ(api.HHMsgText(), "");
    EXPECT_EQ(api.HHMsgTitle(), "");
}

TEST_F(HTMLHelpAPITest, ALinkPassesItsTextsAndWindowTypeInsideTheRecordWithoutAPrecedingCall) {
    system.AddFile(kGuide);
    api.SetCHMFile(kGuide);
    api.SetHHALink("RunKeys");
    api.SetHHDefaultURL("default.htm");
    api.SetHHMsgText("Nothing found.");
    api.SetHHMsgTitle("Lookup");
    api.SetHHWindow("Main");
    api.HHDisplayALink(kCaller);

    ASSERT_EQ(htmlHelp.Calls().size(), 1u);
    const auto& call = htmlHelp.Calls()[0];
    EXPECT_EQ(call.owner, 0u);
    EXPECT_EQ(call.target, std::optional<std::string>(kGuide)) << "window type stays out";
    EXPECT_EQ(call.command, hh::kAlinkLookup);
    const HhAkLink want{false, "RunKeys", "default.htm", "Nothing found.", "Lookup", "Main", false};
    EXPECT_EQ(DataAs<HhAkLink>(call), want);
}

TEST_F(HTMLHelpAPITest, SearchOpensWithAnEmptyQueryThatExecutes) {
    system.AddFile(kGuide);
    api.SetCHMFile(kGuide);
    api.HHDisplaySearch();
    ASSERT_EQ(htmlHelp.Calls().size(), 1u);
    EXPECT_EQ(htmlHelp.Calls()[0].command, hh::kDisplaySearch);
    const HhFtsQuery want{false, std::string(), 0, false, false, true, std::string()};
    EXPECT_EQ(DataAs<HhFtsQuery>(htmlHelp.Calls()[0]), want);
}

TEST_F(HTMLHelpAPITest, CloseAsksTheViewerToCloseEverythingWithoutAnyCheck) {
    api.SetCHMFile("not a help file.doc");
    api.HHClose();
    ASSERT_EQ(htmlHelp.Calls().size(), 1u);
    const auto& call = htmlHelp.Calls()[0];
    EXPECT_EQ(call.owner, 0u);
    EXPECT_EQ(call.target, std::optional<std::string>("not a help file.doc"));
    EXPECT_EQ(call.command, hh::kCloseAll);
    EXPECT_EQ(call.data, HtmlHelpData(std::uint32_t{0}));
    EXPECT_TRUE(system.Searches().empty());
}

class PopupTest : public HTMLHelpAPITest {
protected:
    void SetUp() override {
        system.AddFile(kGuide);
        system.cursor = ScreenPoint{640, 480};
        api.SetCHMFile(kGuide);
        api.SetHHPopupFile("Context.txt");
        api.SetHHPopupID(6000);
    }
    const HhPopup& OnlyPopup() {
        EXPECT_EQ(htmlHelp.Calls().size(), 1u);
        return DataAs<HhPopup>(htmlHelp.Calls().back());
    }
};

TEST_F(PopupTest, TopicPopupAddressesTheTextFileInsideTheHelpFileAtTheMouse) {
    api.SetHHPopupType(1);
    api.SetHHPopupTextColor(0x000080);
    api.SetHHPopupBackColor(0xFFFFFF);
    api.SetHHPopupCustomTextColor(0x111111);
    api.SetHHPopupTextFont("Comic Sans MS");
    api.SetHHPopupTextSize("8");
    api.HHDisplayPopup(kCaller);

    const auto& call = htmlHelp.Calls().at(0);
    EXPECT_EQ(call.owner, kCaller) << "the popup's owner does not depend on HHShowOnTop";
    EXPECT_EQ(call.target, std::optional<std::string>("C:\\Help\\Guide.chm::/Context.txt"));
    EXPECT_EQ(call.command, hh::kDisplayTextPopup);
    HhPopup want;
    want.idString = 6000;
    want.pt = {640, 480};
    want.clrForeground = 0x000080;
    want.clrBackground = 0xFFFFFF;
    want.pszFont = "Comic Sans MS, 8, ascii, ";
    EXPECT_EQ(OnlyPopup(), want);
    EXPECT_FALSE(OnlyPopup().pszText.has_value());
    EXPECT_EQ(OnlyPopup().rcMargins, (Margins{-1, -1, -1, -1}));
}

TEST_F(PopupTest, ShownPopupResetsTheStylingButKeepsTypeNumberFileAndColourChoice) {
    api.SetHHPopupType(1);
    api.SetHHPopupCustomColors(true);
    api.SetHHPopupCustomTextColor(0x0000FF);
    api.SetHHPopupCustomBackColor(0x00FF00);
    api.SetHHPopupTextFont("Tahoma");
    api.SetHHPopupTextSize("12");
    api.SetHHPopupTextBold(true);
    api.SetHHPopupTextItalic(true);
    api.SetHHPopupTextUnderline(true);
    api.HHDisplayPopup(kCaller);
    api.HHDisplayPopup(kCaller);

    ASSERT_EQ(htmlHelp.Calls().size(), 2u);
    const auto& first = DataAs<HhPopup>(htmlHelp.Calls()[0]);
    EXPECT_EQ(first.clrForeground, 0x0000FFu);
    EXPECT_EQ(first.clrBackground, 0x00FF00u);
    EXPECT_EQ(first.pszFont,
              std::optional<std::string>("Tahoma, 12, ascii, Bold Italic Underline"));
    const auto& second = DataAs<HhPopup>(htmlHelp.Calls()[1]);
    EXPECT_EQ(second.idString, 6000u);
    EXPECT_EQ(htmlHelp.Calls()[1].target, htmlHelp.Calls()[0].target);
    EXPECT_EQ(second.clrForeground, 0u);
    EXPECT_EQ(second.clrBackground, 0u);
    EXPECT_EQ(second.pszFont, std::optional<std::string>("Arial, 10, ascii, "));
    EXPECT_TRUE(api.HHPopupCustomColors());
}

TEST_F(PopupTest, PopupsThatShowNothingKeepTheirStyling) {
    api.SetHHPopupTextFont("Tahoma");
    api.SetHHPopupTextColor(0x123456);
    for (const std::int32_t type : {0, 3, 5, -1}) {
        api.SetHHPopupType(type);
        api.HHDisplayPopup(kCaller);
    }
    api.SetHHPopupType(4);
    api.HHDisplayPopup(kCaller); // literal popup without a text
    EXPECT_TRUE(htmlHelp.Calls().empty());

    api.SetHHPopupText("Literal text");
    api.HHDisplayPopup(kCaller);
    const auto& call = htmlHelp.Calls().at(0);
    EXPECT_FALSE(call.target.has_value());
    EXPECT_EQ(OnlyPopup().idString, 0u);
    EXPECT_EQ(OnlyPopup().pszText, std::optional<std::string>("Literal text"));
    EXPECT_EQ(OnlyPopup().clrForeground, 0x123456u);
    EXPECT_EQ(OnlyPopup().pszFont, std::optional<std::string>("Tahoma, 10, ascii, "));
}

TEST_F(PopupTest, StringResourcePopupTakesTheProgramsOwnText) {
    system.strings[6000] = "From the resources.";
    api.SetHHPopupType(2);
    api.HHDisplayPopup(kCaller);
    EXPECT_FALSE(htmlHelp.Calls().at(0).target.has_value());
    EXPECT_EQ(OnlyPopup().idString, 0u);
    EXPECT_EQ(OnlyPopup().pszText, std::optional<std::string>("From the resources."));
    EXPECT_TRUE(system.Searches().empty()) << "only a topic popup needs the help file";
}

TEST_F(PopupTest, TopicPopupRefusesAPopupFileThatIsNoTextFile) {
    api.SetHHPopupType(1);
    api.SetHHPopupTextColor(0x123456);
    api.SetHHPopupFile("Context.rtf");
    helpBoxes.ExpectError("The file specified as the text popup source, 'Context.rtf', is not a "
                          "valid popup file.");
    api.HHDisplayPopup(kCaller);
    EXPECT_TRUE(htmlHelp.Calls().empty());

    api.SetHHPopupFile("CONTEXT.TXT");
    api.HHDisplayPopup(kCaller);
    EXPECT_EQ(OnlyPopup().clrForeground, 0x123456u) << "nothing was shown, nothing was reset";
}

TEST_F(PopupTest, TopicPopupNeedsTheHelpFile) {
    system.RemoveFile(kGuide);
    api.SetHHPopupType(1);
    helpBoxes.ExpectError("The file C:\\Help\\Guide.chm does not exist.\nPlease make sure that "
                          "you have installed Orvane Help files");
    api.HHDisplayPopup(kCaller);
    EXPECT_TRUE(htmlHelp.Calls().empty());
}

TEST_F(HTMLHelpAPITest, SetHelpFileNamesTheProgramsHelpFileAndItsPopupFile) {
    EXPECT_EQ(api.HHSetHelpFile(1), ProgramFile("Tidewell! Help.chm"));
    EXPECT_EQ(api.HHSetHelpFile(2), "Context.txt");
    EXPECT_EQ(api.HHSetHelpFile(0), "");
    EXPECT_EQ(api.HHSetHelpFile(3), "");
    EXPECT_EQ(api.HHSetHelpFile(-1), "");
    EXPECT_EQ(api.CHMFile(), "");
}

TEST_F(HTMLHelpAPITest, WhatsThisSendsTheContextHelpSystemCommand) {
    api.HHInvokeWhatsThisHelp(kCaller);
    ASSERT_EQ(system.WindowCalls().size(), 1u);
    EXPECT_EQ(system.WindowCalls()[0].window, kCaller);
    EXPECT_EQ(system.WindowCalls()[0].message, 0x0112u);
    EXPECT_EQ(system.WindowCalls()[0].wParam, 0xF180u);
    EXPECT_EQ(system.WindowCalls()[0].lParam, 0);
}

TEST_F(HTMLHelpAPITest, WindowsVersionCodes) {
    struct Row {
        std::optional<OsVersion> version;
        std::int32_t code;
    };
    const Row rows[] = {
        {OsVersion{1, 4, 0}, 2},  {OsVersion{1, 4, 10}, 4}, {OsVersion{1, 4, 90}, 0},
        {OsVersion{2, 3, 51}, 1}, {OsVersion{2, 4, 0}, 3},  {OsVersion{2, 5, 1}, 5},
        {OsVersion{2, 6, 1}, 0},  {OsVersion{0, 3, 1}, 0},  {std::nullopt, 0},
    };
    for (const Row& row : rows) {
        system.version = row.version;
        EXPECT_EQ(api.GetWindowsVersion(), row.code)
            << "platform " << (row.version ? row.version->platformId : 99) << " version "
            << (row.version ? row.version->majorVersion : 99) << "."
            << (row.version ? row.version->minorVersion : 99);
    }
}

class RegistrationTest : public HTMLHelpAPITest {
protected:
    void SetUp() override {
        system.AddFile(kGuide);
        system.longPaths["c:\\help\\guide.chm"] = kGuide;
        system.longPaths["c:\\help\\"] = "C:\\Help\\";
        system.longPaths["c:\\help~1\\guide.chm"] = kGuide;
    }
};

TEST_F(RegistrationTest, RegisteringAnExistingFileWritesItsFolderInLongForm) {
    std::string file = "C:\\HELP~1\\GUIDE.CHM";
    api.HHRegister(file);
    EXPECT_EQ(file, kGuide);
    const auto stored = registry.Get(reg::kLocalMachine, kRegKey, "Guide.chm");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, reg::kSz);
    EXPECT_EQ(stored->data, "C:\\Help\\");
    const std::vector<std::string> writes(registry.Operations().end() - 3,
                                          registry.Operations().end());
    EXPECT_EQ(writes, (std::vector<std::string>{
                          "create 80000002\\Software\\Microsoft\\Windows\\HTML Help access 6",
                          "set Guide.chm type 1 = C:\\Help\\", "close"}));
    EXPECT_EQ(api.HHRegFileName(), "") << "properties stay as the check before the write left them";
}

TEST_F(RegistrationTest, BareNameIsRefusedBeforeAnythingElse) {
    std::string file = "Guide.chm";
    helpBoxes.ExpectError("Cannot register Guide.chm without having a supplied path.\"");
    api.HHRegister(file);
    EXPECT_TRUE(registry.Operations().empty());
    EXPECT_FALSE(registry.HasKey(reg::kLocalMachine, kRegKey));
}

TEST_F(RegistrationTest, EmptyOrNonHelpNamesAreIgnoredSilently) {
    std::string empty;
    std::string text = "C:\\Help\\readme.txt";
    api.HHRegister(empty);
    api.HHRegister(text);
    api.HHUnRegister(empty);
    api.HHUnRegister(text);
    EXPECT_TRUE(registry.Operations().empty());
}

TEST_F(RegistrationTest, AlreadyRegisteredFileIsReportedAndNotWrittenAgain) {
    registry.Set(reg::kLocalMachine, kRegKey, "Guide.chm", reg::kSz, "C:\\Help\\");
    std::string file = kGuide;
    helpBoxes.ExpectInfo("The file C:\\Help\\Guide.chm is already registered.  HHRegister will "
                         "not be run as no action need be taken.");
    api.HHRegister(file);
    for (const std::string& operation : registry.Operations()) {
        EXPECT_FALSE(operation.starts_with("create") || operation.starts_with("set")) << operation;
    }
}

TEST_F(RegistrationTest, KeyThatCannotBeCreatedShowsTheRegisterError) {
    registry.failCreate = true;
    std::string file = kGuide;
    helpBoxes.ExpectError("HTML Help Class: HHRegister Error");
    api.HHRegister(file);
    EXPECT_FALSE(registry.Get(reg::kLocalMachine, kRegKey, "Guide.chm").has_value());
}

TEST_F(RegistrationTest, FailedWriteRefreshesTheRegistrationProperties) {
    registry.failSet = true;
    std::string file = kGuide;
    api.HHRegister(file);
    const auto& ops = registry.Operations();
    const auto set = std::find(ops.begin(), ops.end(), "set Guide.chm type 1 = C:\\Help\\");
    ASSERT_NE(set, ops.end());
    EXPECT_EQ(std::count_if(set, ops.end(),
                            [](const std::string& op) { return op.starts_with("open "); }),
              1)
        << "one more registry check after the failed write";
    EXPECT_EQ(api.HHRegFileName(), "");
}

TEST_F(RegistrationTest, UnregisteringDeletesTheValueAndClearsTheProperties) {
    registry.Set(reg::kLocalMachine, kRegKey, "Guide.chm", reg::kSz, "C:\\Help\\");
    std::string file = kGuide;
    api.HHUnRegister(file);
    EXPECT_EQ(file, "Guide.chm");
    EXPECT_FALSE(registry.Get(reg::kLocalMachine, kRegKey, "Guide.chm").has_value());
    EXPECT_NE(std::find(registry.Operations().begin(), registry.Operations().end(),
                        "open 80000002\\Software\\Microsoft\\Windows\\HTML Help access 2"),
              registry.Operations().end());
    EXPECT_EQ(api.HHRegFileName(), "");
    EXPECT_EQ(api.HHRegFilePath(), "");
    EXPECT_FALSE(api.HHRegFileExists());
}

TEST_F(RegistrationTest, UnregisteringAFileNotRegisteredSaysSo) {
    registry.AddKey(reg::kLocalMachine, kRegKey);
    std::string file = kGuide;
    helpBoxes.ExpectInfo("The file C:\\Help\\Guide.chm is not registered.  HHUnRegister will not "
                         "be run as no action need be taken.");
    api.HHUnRegister(file);
    for (const std::string& operation : registry.Operations()) {
        EXPECT_FALSE(operation.starts_with("delete")) << operation;
    }
}

TEST_F(RegistrationTest, CheckFindsOnlyStringValuesByNameWithoutRegardToCaseAndExpandsThem) {
    system.version = OsVersion{kPlatformWindows, 4, 0}; // no long-path function: the walk
    system.AddFile("C:\\WINDOWS\\Help\\Tidewell.chm");
    registry.Set(reg::kLocalMachine, kRegKey, "Other.chm", 4, "C:\\Other\\");
    registry.Set(reg::kLocalMachine, kRegKey, "TIDEWELL.CHM", reg::kExpandSz, "%windir%\\Help\\");
    std::string file = "D:\\anywhere\\Tidewell.chm";
    api.HHCheckRegistry(file);
    EXPECT_EQ(api.HHRegFileName(), "Tidewell.chm");
    EXPECT_EQ(api.HHRegFilePath(), "C:\\WINDOWS\\Help\\");
    EXPECT_TRUE(api.HHRegFileExists());

    std::string other = "Other.chm";
    api.HHCheckRegistry(other); // a DWORD value of that name is not a registration
    EXPECT_EQ(api.HHRegFileName(), "");
    EXPECT_EQ(api.HHRegFilePath(), "");
    EXPECT_FALSE(api.HHRegFileExists());
}

TEST_F(RegistrationTest, CheckOfARegisteredFileThatIsGoneSaysSoAndReadsNotExisting) {
    registry.Set(reg::kLocalMachine, kRegKey, "Lost.chm", reg::kSz, "C:\\Help\\");
    std::string file = "Lost.chm";
    helpBoxes.ExpectError("The file C:\\Help\\Lost.chm does not exist.\nPlease make sure that you "
                          "have installed Orvane Help files");
    api.HHCheckRegistry(file);
    EXPECT_EQ(api.HHRegFileName(), "Lost.chm");
    EXPECT_FALSE(api.HHRegFileExists());
}

TEST_F(HTMLHelpAPITest, LongNameWalkReplacesEachShortFolderAndKeepsTheRest) {
    system.version = OsVersion{kPlatformWindows, 4, 0};
    system.AddAlias("C:\\PROGRA~1", "Program Files");
    system.AddFile("C:\\Program Files\\Vellmoor\\Guide.chm");
    registry.Set(reg::kLocalMachine, kRegKey, "Guide.chm", reg::kSz, "\"C:\\PROGRA~1\\VELLMOOR\\");
    std::string file = "Guide.chm";
    api.HHCheckRegistry(file);
    EXPECT_EQ(api.HHRegFilePath(), "C:\\Program Files\\Vellmoor\\");
    EXPECT_TRUE(api.HHRegFileExists());
    EXPECT_TRUE(system.LongPathRequests().empty());
}

TEST_F(HTMLHelpAPITest, LongNameWalkLeavesAPathItCannotFollowAsItWas) {
    system.version = OsVersion{kPlatformNt, 4, 0};
    const char* stored[] = {"C:\\NOWHERE\\HELP\\", "\\\\server\\share\\", "Help\\"};
    for (const char* folder : stored) {
        registry.Set(reg::kLocalMachine, kRegKey, "Guide.chm", reg::kSz, folder);
        std::string file = "Guide.chm";
        helpBoxes.ExpectError(std::string("The file ") + folder +
                              "Guide.chm does not exist.\nPlease make sure that you have installed "
                              "Orvane Help files");
        api.HHCheckRegistry(file);
        EXPECT_EQ(api.HHRegFilePath(), folder);
    }
}

TEST_F(HTMLHelpAPITest, LongNameUsesThePlatformFunctionOnWindows98AndEveryLaterNt) {
    system.AddFile(kGuide);
    system.longPaths["c:\\help~1\\"] = "C:\\Help\\";
    registry.Set(reg::kLocalMachine, kRegKey, "Guide.chm", reg::kSz, "C:\\HELP~1\\");
    for (const OsVersion version : {OsVersion{1, 4, 10}, OsVersion{2, 5, 0}, OsVersion{2, 10, 0}}) {
        system.version = version;
        std::string file = "Guide.chm";
        api.HHCheckRegistry(file);
        EXPECT_EQ(api.HHRegFilePath(), "C:\\Help\\") << "major " << version.majorVersion;
    }
    EXPECT_EQ(system.LongPathRequests().size(), 3u);
}

class ComponentTest : public HTMLHelpAPITest {
protected:
    static constexpr std::string_view kHHKey =
        "CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32";
    static constexpr std::string_view kIEKey =
        "CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32";
    void Install(FileVersionParts hh, FileVersionParts ie) {
        registry.Set(reg::kClassesRoot, kHHKey, "", reg::kSz,
                     std::string("C:\\WINDOWS\\SYSTEM\\hhctrl.ocx\0junk", 34));
        registry.Set(reg::kClassesRoot, kHHKey, "ThreadingModel", reg::kSz, "Apartment");
        registry.Set(reg::kClassesRoot, kIEKey, "", reg::kExpandSz,
                     "%windir%\\SYSTEM\\shdocvw.dll");
        system.AddFile("C:\\WINDOWS\\SYSTEM\\hhctrl.ocx");
        system.AddFile("C:\\WINDOWS\\SYSTEM\\shdocvw.dll");
        system.longPaths["c:\\windows\\system\\hhctrl.ocx"] = "C:\\WINDOWS\\SYSTEM\\hhctrl.ocx";
        system.longPaths["c:\\windows\\system\\shdocvw.dll"] = "C:\\WINDOWS\\SYSTEM\\shdocvw.dll";
        system.versions["c:\\windows\\system\\hhctrl.ocx"] = hh;
        system.versions["c:\\windows\\system\\shdocvw.dll"] = ie;
    }
};

TEST_F(ComponentTest, VersionTextsAndTheirReleaseNames) {
    struct Row {
        FileVersionParts parts;
        const char* text;
    };
    const Row rows[] = {
        {{4, 72, 7290, 0}, "4.72.7290.00"},   {{4, 74, 8566, 0}, "4.74.8566.00"},
        {{5, 0, 0, 2}, "5.00.0002"},          {{1, 2, 3, 4}, "1.02.03.04"},
        {{4, 72, 40000, 1}, "4.72.0001"},     {{4, 72, 1, 40000}, "4.72.01.-25536"},
        {{4, 40000, 1, 1}, "4.-25536.01.01"}, {{5, 0, 65535, 7}, "5.00.0007"},
        {{32768, 0, 0, 0}, "-32768.00.0000"},
    };
    for (const Row& row : rows) {
        HTMLHelpAPI fresh{ports};
        Install(row.parts, {5, 0, 2014, 2130});
        EXPECT_EQ(fresh.HHVersion(), row.text) << row.text;
        EXPECT_EQ(fresh.IEVersion(), "5.00.2014.2130");
    }
    HTMLHelpAPI named{ports};
    Install({4, 73, 8412, 0}, {5, 0, 2717, 2000});
    EXPECT_EQ(named.HHFriendlyName(), "1.21");
    EXPECT_EQ(named.IEFriendlyName(), "5.0c (Icon Security Issue Update)");
    HTMLHelpAPI newer{ports};
    Install({5, 2, 3790, 0}, {6, 0, 2900, 2180});
    EXPECT_EQ(newer.HHFriendlyName(), "unknown");
    EXPECT_EQ(newer.IEFriendlyName(), "unknown");
}

TEST_F(ComponentTest, UnregisteredOrMovedControlsAreReported) {
    helpBoxes.ExpectError("Hhctrl.ocx is not registered.  Please install HTML Help.");
    EXPECT_EQ(api.HHVersion(), "");
    helpBoxes.ExpectError("Shdocvw.dll is not registered.  Please install Internet Explorer.");
    EXPECT_EQ(api.IEVersion(), "");

    registry.Set(reg::kClassesRoot, kHHKey, "", reg::kSz, "C:\\gone\\hhctrl.ocx");
    registry.Set(reg::kClassesRoot, kIEKey, "", reg::kSz, "C:\\gone\\shdocvw.dll");
    helpBoxes.ExpectError("Hhctrl.ocx is not in its registered location.  Please reinstall HTML "
                          "Help.");
    EXPECT_EQ(api.HHVersion(), "");
    helpBoxes.ExpectError("Internet Explorer is not in its registered location.  Please "
                          "reinstall Internet Explorer.");
    EXPECT_EQ(api.IEVersion(), "");
}

TEST_F(ComponentTest, MinimumConfigurationComparesTheTextsCharacterByCharacter) {
    Install({4, 72, 8164, 0}, {5, 0, 2717, 2000});
    EXPECT_TRUE(api.HHVerifyMinConfig(19, 270)) << "4.72.8164.00 >= 4.72.8164.0, 5.00.… >= 5.0.…";
    EXPECT_EQ(api.HHFriendlyName(), "1.1b");
    EXPECT_FALSE(api.HHVerifyMinConfig(20, 256)) << "4.72.8164.00 < 4.73.8252";

    // The comparison is textual: a 10.x control sorts before 4.x.
    HTMLHelpAPI textual{ports};
    Install({10, 0, 1, 0}, {5, 0, 2717, 2000});
    EXPECT_FALSE(textual.HHVerifyMinConfig(16, 256));
}

TEST_F(ComponentTest, CodeOutOfRangeFailsAndLeavesTheVersionReadingUnknown) {
    Install({4, 74, 8566, 0}, {5, 0, 2717, 2000});
    EXPECT_FALSE(api.HHVerifyMinConfig(24, 256));
    EXPECT_EQ(api.HHVersion(), "unknown");
    EXPECT_EQ(api.HHFriendlyName(), "unknown");
    EXPECT_EQ(api.IEVersion(), "5.00.2717.2000");

    EXPECT_FALSE(api.HHVerifyMinConfig(16, 271));
    EXPECT_EQ(api.IEVersion(), "unknown");
    EXPECT_EQ(api.HHVersion(), "4.74.8566.00");
}

TEST_F(HTMLHelpAPITest, KeyInfoAndInstalledNeedTheKeyToOpenWithFullAccessAndClose) {
    constexpr std::string_view typeLib =
        "SOFTWARE\\Classes\\TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}";
    EXPECT_FALSE(api.HHInstalled());
    registry.AddKey(reg::kLocalMachine, typeLib);
    EXPECT_TRUE(api.HHInstalled());
    EXPECT_EQ(registry.Operations().back(), "close");
    EXPECT_NE(std::find(registry.Operations().begin(), registry.Operations().end(),
                        "open 80000002\\" + std::string(typeLib) + " access 983103"),
              registry.Operations().end());
    registry.failClose = true;
    EXPECT_FALSE(api.GetKeyInfo(typeLib, 0));
    registry.failClose = false;
    registry.deniedAccess = reg::kAllAccess;
    EXPECT_FALSE(api.GetKeyInfo(typeLib, 0));
}

} // namespace
