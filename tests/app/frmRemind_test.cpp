// The reminder dialog: its notes, the calendar dates it stores, NONE, Cancel and failures.
#include "TestApp.h"
#include "reminder/ReminderDate.h"
#include "reminder/frmRemind.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tidewell {
namespace {

using testing::TestApp;
namespace chrono = std::chrono;

// The fake process runs from "c:\Program Files\Vellmoor\Tidewell".
const std::string kOwnPath = "\"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\"";
const std::string k35Blanks(35, ' ');

// An independent calendar: the standard library's.
CalendarDate Plus(CalendarDate date, int days) {
    const chrono::sys_days start = chrono::year_month_day{
        chrono::year{date.year}, chrono::month{static_cast<unsigned>(date.month)},
        chrono::day{static_cast<unsigned>(date.day)}};
    const chrono::year_month_day end{start + chrono::days{days}};
    return {static_cast<int>(end.year()), static_cast<int>(static_cast<unsigned>(end.month())),
            static_cast<int>(static_cast<unsigned>(end.day()))};
}

CalendarDate PlusMonth(CalendarDate date) {
    const chrono::year_month_day next =
        chrono::year_month_day{chrono::year{date.year},
                               chrono::month{static_cast<unsigned>(date.month)}, chrono::day{1}} +
        chrono::months{1};
    const chrono::year_month_day_last last{next.year(), chrono::month_day_last{next.month()}};
    const int lastDay = static_cast<int>(static_cast<unsigned>(last.day()));
    return {static_cast<int>(next.year()), static_cast<int>(static_cast<unsigned>(next.month())),
            std::min(date.day, lastDay)};
}

TEST(ReminderDate, AddsDaysAndMonthsAcrossMonthAndYearEndsForTwoWholeYears) {
    int checked = 0;
    for (CalendarDate day{2027, 1, 1}; day.year < 2029; day = Plus(day, 1)) {
        for (int days : {3, 7, 14}) {
            ASSERT_EQ(AddDays(day, days), Plus(day, days))
                << NextRunText(day) << " + " << days << " days";
        }
        ASSERT_EQ(AddOneMonth(day), PlusMonth(day)) << NextRunText(day) << " + 1 month";
        ++checked;
    }
    EXPECT_EQ(checked, 365 + 366);
}

TEST(ReminderDate, TheDecidedExamplesAndTheTextTheGateReads) {
    const struct {
        CalendarDate from;
        int days; // 0: one month
        const char* stored;
    } rows[] = {
        {{2026, 12, 20}, 3, "12/23/2026"}, {{2026, 12, 30}, 3, "1/2/2027"},
        {{2027, 2, 26}, 3, "3/1/2027"},    {{2028, 2, 26}, 3, "2/29/2028"},
        {{2027, 1, 31}, 0, "2/28/2027"},   {{2026, 11, 15}, 0, "12/15/2026"},
        {{2026, 12, 15}, 0, "1/15/2027"},  {{2026, 6, 15}, 14, "6/29/2026"},
        {{2026, 6, 17}, 14, "7/1/2026"},   {{2026, 1, 30}, 0, "2/28/2026"},
    };
    for (const auto& row : rows) {
        const CalendarDate due =
            row.days == 0 ? AddOneMonth(row.from) : AddDays(row.from, row.days);
        EXPECT_EQ(NextRunText(due), row.stored) << NextRunText(row.from) << " + " << row.days;
    }
}

class RemindTest : public ::testing::Test, public TestApp {
protected:
    RemindTest() {
        clock.Set({2026, 12, 30});
        messageBox.Expect(std::string(frmRemind::kPriorNoteText), 0x30,
                          "Prior Reminder Setting Note!");
        messageBox.Expect(std::string(frmRemind::kDateIssuesText), 0x40, "Date Issues");
        remind.Form_Load();
    }
    void ExpectConfirmation(const std::string& shown) {
        messageBox.Expect("Maintenance Will Be Performed On The Following Date: \r\n\r\n" +
                              k35Blanks + shown,
                          0x40, "Maintenance Date");
    }

    fakes::FakeWindowView view{"remind", 0x4000, &log};
    frmRemind remind{ports, view};
};

TEST_F(RemindTest, LoadShowsTodayAndTheTwoNotesWordForWord) {
    EXPECT_EQ(remind.Label1.Caption(), "Today's Date: 12/30/2026");
    ASSERT_EQ(messageBox.Transcript().size(), 2u);
    EXPECT_EQ(messageBox.Transcript()[0].text,
              "Please take note that if you have already set a reminder,\r\nSetting a reminder now "
              "will set the date back further\r\nconcurrent to the first!");
    EXPECT_EQ(messageBox.Transcript()[1].text,
              "If the program encounters a date that is  \r\nquestionable, it will automatically "
              "set it for\r\na date that will be accurate!");
    EXPECT_EQ(remind.Controls().front(), &remind.optThreeDays);
    for (ui::OptionButton* option : {&remind.optThreeDays, &remind.optOneWeek, &remind.optTwoWeeks,
                                     &remind.optOneMonth, &remind.optNone}) {
        EXPECT_FALSE(option->Value()) << option->Name();
    }
    EXPECT_TRUE(registry.Writes().empty());
}

TEST_F(RemindTest, ADateChoiceStoresTheDateAndSwitchesTheStartupEntryOn) {
    registry.Set(kHkeyLocalMachine, kRunKey, kStartupEntryName,
                 "\"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe-\"");
    ExpectConfirmation("1/13/2027");
    remind.optTwoWeeks.SetValue(true);
    remind.cmdOK.Click();
    EXPECT_EQ(Setting("NextRun"), "1/13/2027");
    EXPECT_EQ(StartupEntry(), kOwnPath);
    EXPECT_TRUE(view.Unloaded());
    EXPECT_LT(log.IndexOf("registry:write NextRun=1/13/2027"), log.IndexOf("box:Maintenance Date"));
}

TEST_F(RemindTest, NoneStoresNoneShowsNeverAndLeavesTheStartupEntry) {
    ExpectConfirmation("Never!");
    remind.optNone.SetValue(true);
    remind.cmdOK.Click();
    EXPECT_EQ(Setting("NextRun"), "NONE");
    EXPECT_EQ(StartupEntry(), std::nullopt);
    EXPECT_EQ(registry.Writes().size(), 1u);
}

TEST_F(RemindTest, NothingSelectedStoresNothingAndCancelStoresNothingAndShowsNothing) {
    ExpectConfirmation("");
    remind.cmdOK.Click();
    EXPECT_TRUE(registry.Writes().empty());
    EXPECT_TRUE(view.Unloaded());

    TestApp other;
    other.messageBox.Expect(std::string(frmRemind::kPriorNoteText), 0x30,
                            "Prior Reminder Setting Note!");
    other.messageBox.Expect(std::string(frmRemind::kDateIssuesText), 0x40, "Date Issues");
    fakes::FakeWindowView otherView{"remind", 0x4000};
    frmRemind dialog{other.ports, otherView};
    dialog.Form_Load();
    dialog.optOneWeek.SetValue(true);
    dialog.cmdCancel.Click();
    EXPECT_TRUE(otherView.Unloaded());
    EXPECT_TRUE(other.registry.Writes().empty());
    EXPECT_EQ(other.messageBox.Transcript().size(), 2u);
}

TEST_F(RemindTest, AFailedNextRunWriteShowsTheRegistryErrorAndGoesOn) {
    registry.FailWritesOf("NextRun");
    messageBox.Expect("There was an error writing to the registry!\r\nPlease restart your "
                      "computer!",
                      0x10, "ERROR!");
    ExpectConfirmation("1/30/2027");
    remind.optOneMonth.SetValue(true);
    remind.cmdOK.Click();
    EXPECT_EQ(Setting("NextRun"), std::nullopt);
    EXPECT_EQ(StartupEntry(), kOwnPath);
    EXPECT_TRUE(view.Unloaded());
}

} // namespace
} // namespace tidewell
