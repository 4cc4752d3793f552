#pragma once

#include "main/Settings.h"
#include "ports/AppPorts.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tidewell {

class TrayIconControl;
class WindowView;

// The start-up window's core: the process's entry. Construct it on its (hidden) view, bind the
// view to Controls() as for frmMaintenance, then call Form_Load. Form_Load returns after the
// hand-over, or after asking the process to end (previous instance, date gate, registry error),
// or when the event loop reports that the application quits during the progress wait.
//
// The view forwards WM_TIMER of MyTimer to MyTimer.Tick() and the tray callback (left / right
// button up) to SysTray_TrayClick.
class frmSharewareIntro {
public:
    static constexpr std::string_view kCaption = "Tidewell!";
    static constexpr std::string_view kThankYouText =
        "Thank You For Downloading Tidewell!  Click OK To Continue.";
    static constexpr std::string_view kThankYouTitle = "Thank You!";
    static constexpr std::string_view kTrayTip = "Right Click To Show Tidewell!™";
    static constexpr int kProgressTicks = 7;
    static constexpr int kTickMilliseconds = 1000;
    static constexpr int kClientWidth = 4800;  // twips
    static constexpr int kClientHeight = 1440; // twips

    frmSharewareIntro(const AppPorts& ports, WindowView& view, TrayIconControl& sysTray);
    frmSharewareIntro(const frmSharewareIntro&) = delete;
    frmSharewareIntro& operator=(const frmSharewareIntro&) = delete;

    std::string_view Caption() const { return kCaption; }
    std::vector<ui::Control*> Controls();

    void Form_Load();
    void MyTimer_Timer();
    void SysTray_TrayClick(std::int16_t button);

    ui::ProgressBar ProgressBar1;
    ui::Timer MyTimer;

private:
    // Each returns false when the process was asked to end.
    bool PassesDateGate();
    bool FirstStart();
    bool ProgressWait();
    void HandOver();
    void OpenMainWindow();
    void End();

    AppPorts ports_;
    WindowView& view_;
    TrayIconControl& sysTray_;
    Settings settings_;
    bool unloaded_ = false;
};

} // namespace tidewell
