#include "reminder/frmRemind.h"

#include "settings/RegistryErrorMessage.h"
#include "ports/Clock.h"
#include "ports/MessageBox.h"
#include "ports/Process.h"
#include "reminder/ReminderDate.h"
#include "ui/Runtime.h"

#include <optional>

namespace tidewell {

frmRemind::frmRemind(const AppPorts& ports, WindowView& view)
    : FormCore(view, ports.runtime),
      optThreeDays("optThreeDays", "Three Days From Now", "Run Maintenance Three Days From Today.",
                   {240, 480, 2400, 300}),
      optOneWeek("optOneWeek", "One Week From Now", "Run Maintenance One Week From Today.",
                 {240, 840, 2400, 300}),
      optTwoWeeks("optTwoWeeks", "Two Weeks From Now", "Run Maintenance Two Weeks From Today.",
                  {240, 1200, 2400, 300}),
      optOneMonth("optOneMonth", "One Month From Now", "Run Maintenance One Month From Today.",
                  {240, 1560, 2400, 300}),
      optNone("optNone", "NONE",
              "Will require you to run program manually when maintenance is required.",
              {240, 1920, 2400, 300}),
      Label1("Label1", std::string(kTodayPrefix), {240, 120, 4200, 255}),
      cmdOK("cmdOK", "Set Reminder", "Click To Set Reminder", {2880, 600, 1560, 420}),
      cmdCancel("cmdCancel", "Cancel", "Cancel without setting reminders.",
                {2880, 1200, 1560, 420}),
      ports_(ports), settings_(ports.registry) {
    ui::OptionButton::MakeGroup({&optThreeDays, &optOneWeek, &optTwoWeeks, &optOneMonth, &optNone});
    cmdOK.OnClick([this] { cmdOK_Click(); });
    cmdCancel.OnClick([this] { cmdCancel_Click(); });
}

std::vector<ui::Control*> frmRemind::Controls() {
    // optThreeDays first in the tab order.
    return {&optThreeDays, &optOneWeek, &optTwoWeeks, &optOneMonth,
            &optNone,      &Label1,     &cmdOK,       &cmdCancel};
}

void frmRemind::Form_Load() {
    Label1.SetCaption(std::string(kTodayPrefix) + ports_.clock.ShortDateText());
    ports_.messageBox.Show(kPriorNoteText, mb::kOk | mb::kIconExclamation, kPriorNoteTitle);
    ports_.messageBox.Show(kDateIssuesText, mb::kOk | mb::kIconInformation, kDateIssuesTitle);
}

void frmRemind::cmdOK_Click() {
    const CalendarDate today = ports_.clock.Today();
    std::optional<CalendarDate> due;
    if (optThreeDays.Value()) {
        due = AddDays(today, 3);
    } else if (optOneWeek.Value()) {
        due = AddDays(today, 7);
    } else if (optTwoWeeks.Value()) {
        due = AddDays(today, 14);
    } else if (optOneMonth.Value()) {
        due = AddOneMonth(today);
    }

    std::string shown;
    if (due) {
        shown = NextRunText(*due);
        if (!settings_.WriteNextRun(shown)) {
            ShowRegistryError(ports_.messageBox); // and go on
        }
        // Also switches on an entry that "Start Whe&n Windows Starts" had switched off; the
        // result is not examined.
        settings_.WriteStartupEntry(Settings::StartupEntryText(
            ports_.process.ExecutableFolder(), ports_.process.ExecutableName(), true));
    } else if (optNone.Value()) {
        if (!settings_.WriteNextRun("NONE")) {
            ShowRegistryError(ports_.messageBox);
        }
        shown = kNever;
    }
    ports_.messageBox.Show(std::string(kConfirmText) + shown, mb::kOk | mb::kIconInformation,
                           kConfirmTitle);
    Unload();
}

void frmRemind::cmdCancel_Click() {
    Unload();
}

} // namespace tidewell
