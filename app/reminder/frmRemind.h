#pragma once

#include "settings/Settings.h"
#include "ports/AppPorts.h"
#include "ui/CommandButton.h"
#include "ui/FormCore.h"
#include "ui/Label.h"
#include "ui/OptionButton.h"

#include <string_view>
#include <vector>

namespace tidewell {

// The reminder dialog: shown modally by the main window's "Set Re&minder". It stores the next
// maintenance date (NextRun) and registers the program to start with Windows.
class frmRemind : public ui::FormCore {
public:
    static constexpr std::string_view kCaption = "Set Reminders";
    static constexpr int kClientWidth = 4680;  // twips
    static constexpr int kClientHeight = 2760; // twips

    static constexpr std::string_view kTodayPrefix = "Today's Date: ";
    static constexpr std::string_view kPriorNoteTitle = "Prior Reminder Setting Note!";
    static constexpr std::string_view kPriorNoteText =
        "Please take note that if you have already set a reminder,\r\nSetting a reminder now "
        "will set the date back further\r\nconcurrent to the first!";
    static constexpr std::string_view kDateIssuesTitle = "Date Issues";
    static constexpr std::string_view kDateIssuesText =
        "If the program encounters a date that is  \r\nquestionable, it will automatically set it "
        "for\r\na date that will be accurate!";
    static constexpr std::string_view kConfirmTitle = "Maintenance Date";
    static constexpr std::string_view kConfirmText =
        "Maintenance Will Be Performed On The Following Date: \r\n\r\n"
        "                                   "; // 35 blanks, then the date
    static constexpr std::string_view kNever = "Never!";

    frmRemind(const AppPorts& ports, WindowView& view);

    std::vector<ui::Control*> Controls() override;
    void Form_Load() override;

    void cmdOK_Click();
    void cmdCancel_Click();

    ui::OptionButton optThreeDays;
    ui::OptionButton optOneWeek;
    ui::OptionButton optTwoWeeks;
    ui::OptionButton optOneMonth;
    ui::OptionButton optNone;
    ui::Label Label1;
    ui::CommandButton cmdOK;
    ui::CommandButton cmdCancel;

private:
    AppPorts ports_;
    Settings settings_;
};

} // namespace tidewell
