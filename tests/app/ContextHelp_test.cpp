// The main window's context help and Help button, and the program-wide help object.
#include "HelpTestSupport.h"
#include "fakes/FakeMessageBox.h"
#include "help/AppHelp.h"
#include "help/ContextHelp.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>

namespace {

using namespace tidewell;
using namespace tidewell::help;
using tidewell::testing::DataAs;

constexpr WindowHandle kMain = 0x2000;

class ContextHelpTest : public ::testing::Test, protected tidewell::testing::HelpPortsFixture {
protected:
    ContextHelpTest() {
        contextHelp = std::make_unique<ContextHelp>(appHelp, boxes, [this](bool hourglass) {
            log.Add(hourglass ? "pointer:hourglass" : "pointer:normal");
        });
    }
    std::string HelpFile() const { return ProgramFile("Tidewell! Help.chm"); }
    void InstallHelpFile() { system.AddFile(HelpFile()); }

    fakes::FakeMessageBox boxes{&log};
    AppHelp appHelp{ports};
    std::unique_ptr<ContextHelp> contextHelp;
};

TEST_F(ContextHelpTest, ShiftOverEachControlOfTheTableAsksForItsPopup) {
    InstallHelpFile();
    const std::map<std::string, std::uint32_t> table{
        {"optPerformance", 1000},   {"chkScandisk", 2000},
        {"chkCurrentUser", 3000},   {"chkDefrag", 4000},
        {"chkLocalMachine", 5000},  {"chkAllSpaceOptions", 6000},
        {"optSpace", 7000},         {"chkCleanup", 8000},
        {"chkTEMP", 9000},          {"chkAllSpeedOptions", 11000},
        {"chkCacheHistory", 12000}, {"chkStartWithWindows", 13000},
        {"cmdMin2Tray", 14000},     {"cmdReminder", 15000},
        {"cmdExit", 16000},         {"chkStartInTray", 17000},
        {"chkOnTop", 19000},        {"cmdStart", 20000},
    };
    for (const auto& [control, topic] : table) {
        htmlHelp.Clear();
        contextHelp->OnMouseMove(control, 1, kMain);
        ASSERT_EQ(htmlHelp.Calls().size(), 1u) << control;
        const auto& call = htmlHelp.Calls()[0];
        EXPECT_EQ(call.owner, kMain) << control;
        EXPECT_EQ(call.target, HelpFile() + "::/Context.txt") << control;
        EXPECT_EQ(call.command, hh::kDisplayTextPopup) << control;
        HhPopup want;
        want.idString = topic;
        want.pt = {300, 200};
        want.clrForeground = 0x000000;
        want.clrBackground = 0xFFFFFF;
        want.pszFont = "Comic Sans MS, 8, ascii, ";
        EXPECT_EQ(DataAs<HhPopup>(call), want) << control;
    }
    EXPECT_EQ(appHelp->CHMFile(), HelpFile());
    EXPECT_TRUE(boxes.Transcript().empty());
}

TEST_F(ContextHelpTest, OnlyShiftAloneAsksAndOnlyOverTheControlsOfTheTable) {
    InstallHelpFile();
    for (const int shift : {0, 2, 3, 4, 5, 6, 7, 8, -1}) {
        contextHelp->OnMouseMove("chkAllSpaceOptions", shift, kMain);
    }
    for (const char* control : {"cmdHelp", "chkOrphanEntries", "Frame1", "Frame2", "Label1",
                                "ProgressBar1", "StatusBar1", "frmMaintenance", ""}) {
        contextHelp->OnMouseMove(control, 1, kMain);
    }
    EXPECT_TRUE(htmlHelp.Calls().empty());
    EXPECT_TRUE(helpBoxes.Transcript().empty());
}

TEST_F(ContextHelpTest, HelpFileIsLookedForAtEveryEvent) {
    contextHelp->OnMouseMove("cmdStart", 1, kMain);
    EXPECT_TRUE(htmlHelp.Calls().empty()) << "no help file: silent";
    EXPECT_TRUE(helpBoxes.Transcript().empty());

    InstallHelpFile(); // installed while the program runs
    contextHelp->OnMouseMove("cmdStart", 1, kMain);
    EXPECT_EQ(htmlHelp.Calls().size(), 1u);

    system.RemoveFile(HelpFile());
    contextHelp->OnMouseMove("cmdStart", 1, kMain);
    EXPECT_EQ(htmlHelp.Calls().size(), 1u);
    EXPECT_EQ(std::count(system.Searches().begin(), system.Searches().end(), HelpFile()), 4)
        << "one search per event, plus the help class's own before the popup";
}

TEST_F(ContextHelpTest, EveryPopupSetsItsStyleAgainAfterTheResetOfThePreviousOne) {
    InstallHelpFile();
    contextHelp->OnMouseMove("chkOnTop", 1, kMain);
    contextHelp->OnMouseMove("chkOnTop", 1, kMain);
    ASSERT_EQ(htmlHelp.Calls().size(), 2u);
    EXPECT_EQ(DataAs<HhPopup>(htmlHelp.Calls()[1]), DataAs<HhPopup>(htmlHelp.Calls()[0]));
}

TEST_F(ContextHelpTest, HelpButtonOpensTheContentsWithoutAnOwnerUnderTheHourglass) {
    InstallHelpFile();
    appHelp->SetHHShowOnTop(true);
    contextHelp->cmdHelp_Click();
    ASSERT_EQ(htmlHelp.Calls().size(), 1u);
    EXPECT_EQ(htmlHelp.Calls()[0].owner, 0u);
    EXPECT_EQ(htmlHelp.Calls()[0].target, std::optional<std::string>(HelpFile()));
    EXPECT_EQ(htmlHelp.Calls()[0].command, hh::kDisplayToc);
    EXPECT_EQ(log.WithPrefix("pointer:"),
              (std::vector<std::string>{"pointer:hourglass", "pointer:normal"}));
    EXPECT_LT(log.IndexOf("pointer:hourglass"), log.IndexOf("htmlhelp:1"));
    EXPECT_LT(log.IndexOf("htmlhelp:1"), log.IndexOf("pointer:normal"));
}

TEST_F(ContextHelpTest, HelpButtonWithoutTheHelpFileSaysSoOnTwoLines) {
    boxes.Expect("Help File Could Not Be Found!\r\nContext-Sensitive Help Is Also Disabled!",
                 mb::kOk | mb::kIconStop, "Tidewell! Help");
    contextHelp->cmdHelp_Click();
    EXPECT_TRUE(htmlHelp.Calls().empty());
    EXPECT_TRUE(helpBoxes.Transcript().empty()) << "the help class's own box is not shown";
    EXPECT_LT(log.IndexOf("pointer:hourglass"), log.IndexOf("box:Tidewell! Help"));
    EXPECT_LT(log.IndexOf("box:Tidewell! Help"), log.IndexOf("pointer:normal"));
}

TEST_F(ContextHelpTest, ClosingReleasesTheHelpObjectAndALaterUseMakesAFreshOne) {
    InstallHelpFile();
    HTMLHelpAPI& first = appHelp.Get();
    EXPECT_EQ(&appHelp.Get(), &first);
    contextHelp->cmdHelp_Click();
    appHelp->SetHHWindow("Main");

    appHelp.CloseAndRelease();
    EXPECT_FALSE(appHelp.Exists());
    ASSERT_EQ(htmlHelp.Calls().size(), 2u);
    EXPECT_EQ(htmlHelp.Calls()[1].command, hh::kCloseAll);
    EXPECT_EQ(htmlHelp.Calls()[1].target, std::optional<std::string>(HelpFile()));
    EXPECT_EQ(htmlHelp.Calls()[1].owner, 0u);

    EXPECT_EQ(appHelp->HHWindow(), "") << "a fresh object starts from the starting values";
    EXPECT_EQ(appHelp->CHMFile(), "");
    EXPECT_TRUE(appHelp.Exists());
}

// The popup texts ship in the help file's sources; the build checks the compiled file holds them.
TEST(ContextTextSource, HoldsATextForEveryTopicOfTheTableAndNoOther) {
    std::ifstream file(std::string(TIDEWELL_HELP_SOURCE_DIR) + "/Context.txt");
    ASSERT_TRUE(file.good()) << "help/Context.txt is missing";
    std::map<std::int32_t, std::string> texts;
    std::optional<std::int32_t> current;
    const std::regex topicLine(R"(^\.topic\s+(\d+)\s*$)");
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        std::smatch match;
        if (std::regex_match(line, match, topicLine)) {
            current = std::stoi(match[1]);
            EXPECT_FALSE(texts.contains(*current)) << "topic " << *current << " twice";
            texts[*current];
        } else if (current) {
            texts[*current] += line;
        }
    }
    std::set<std::int32_t> numbers;
    for (const auto& topic : ContextHelp::kTopics) {
        numbers.insert(topic.number);
        const auto found = texts.find(topic.number);
        ASSERT_NE(found, texts.end()) << topic.control << " " << topic.number;
        EXPECT_GE(found->second.size(), 40u) << "a real description for " << topic.control;
    }
    EXPECT_EQ(numbers.size(), 18u);
    for (const auto& [number, text] : texts) {
        EXPECT_TRUE(numbers.contains(number)) << "topic " << number << " belongs to no control";
    }
}

} // namespace
