#include "startup/frmSharewareIntro.h"

#include "controls/TrayIconControl.h"
#include "settings/RegistryErrorMessage.h"
#include "ports/Clock.h"
#include "ports/DesktopWindows.h"
#include "ports/Elevation.h"
#include "ports/FormLoader.h"
#include "ports/MessageBox.h"
#include "ports/Process.h"
#include "ports/WindowView.h"
#include "startup/MaintenanceDateGate.h"
#include "startup/Registry_And_API.h"
#include "ui/Runtime.h"

namespace tidewell {

frmSharewareIntro::frmSharewareIntro(const AppPorts& ports, ElevationPort& elevation,
                                     WindowView& view)
    : FormCore(view, ports.runtime),
      ProgressBar1("ProgressBar1", {240, 840, 4320, 300}, 0, kProgressTicks),
      MyTimer("MyTimer", kTickMilliseconds), ports_(ports), elevation_(elevation),
      sysTray_(view.Tray()), settings_(ports.registry) {
    MyTimer.OnTimer([this] { MyTimer_Timer(); });
}

std::vector<ui::Control*> frmSharewareIntro::Controls() {
    return {&ProgressBar1, &MyTimer};
}

void frmSharewareIntro::Form_Load() {
    if (FindPreviousInstance(ports_.windows)) {
        End();
        return;
    }
    // The first start has no NextRun to test yet.
    const bool firstStart = !settings_.KeyExists();
    if (!firstStart && !PassesDateGate()) {
        return;
    }
    if (!HasAdministratorRights() || (firstStart && !FirstStart())) {
        return;
    }
    ProgressWait();
    HandOver();
}

void frmSharewareIntro::MyTimer_Timer() {
    ProgressBar1.SetValue(ProgressBar1.Value() + 1);
    view_.Refresh();
    view_.Show();
}

void frmSharewareIntro::SysTray_TrayClick(std::int16_t button) {
    if (button == kTrayRightButton && Loaded()) {
        OpenMainWindow();
    }
}

bool frmSharewareIntro::PassesDateGate() {
    // A command line of blanks only is no command line.
    const bool hasCommandLine = !TrimBlanks(ports_.process.CommandLine()).empty();
    if (MaintenanceDateGate(settings_.NextRun(), ports_.clock.Today(), hasCommandLine) ==
        GateDecision::Proceed) {
        return true;
    }
    End();
    return false;
}

bool frmSharewareIntro::HasAdministratorRights() {
    if (elevation_.IsElevated()) {
        return true;
    }
    // The elevated copy does the work, and must not find this process as a previous instance
    // while it is still ending. A declined prompt or a failed start ends quietly too; the next
    // start (the next logon) asks again.
    ports_.windows.SetApplicationTitle(kUnwantedInstanceTitle);
    elevation_.StartElevated();
    End();
    return false;
}

bool frmSharewareIntro::FirstStart() {
    if (!settings_.CreateKey() || !settings_.WriteNextRun("NONE")) {
        ShowRegistryError(ports_.messageBox);
        End();
        return false;
    }
    ports_.messageBox.Show(kThankYouText, mb::kOk | mb::kIconInformation, kThankYouTitle);
    return true;
}

void frmSharewareIntro::ProgressWait() {
    ProgressBar1.SetMax(kProgressTicks);
    while (ProgressBar1.Value() != ProgressBar1.Max()) {
        if (ProgressBar1.Value() == 0) {
            MyTimer.SetEnabled(true);
        }
        // Sleeps until the next tick (or any other event) instead of spinning.
        runtime_.DoEvents(kTickMilliseconds);
    }
}

void frmSharewareIntro::HandOver() {
    if (settings_.StartInTray()) {
        view_.Hide();
        sysTray_.SetShowIcon(true);
        sysTray_.SetIconNumber(kTrayIconIdle);
        sysTray_.SetTipText(kTrayTip);
        MyTimer.SetEnabled(false);
        return;
    }
    OpenMainWindow();
}

void frmSharewareIntro::OpenMainWindow() {
    ports_.forms.ShowMaintenanceWindow();
    MyTimer.SetEnabled(false);
    if (sysTray_.ShowIcon()) {
        sysTray_.SetShowIcon(false);
    }
    Unload();
}

void frmSharewareIntro::End() {
    MyTimer.SetEnabled(false);
    Unload();
    ports_.process.EndProcess();
}

} // namespace tidewell
