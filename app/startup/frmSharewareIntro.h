#pragma once

#include "settings/Settings.h"
#include "ports/AppPorts.h"
#include "ui/FormCore.h"
#include "ui/ProgressBar.h"
#include "ui/Timer.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace tidewell {

class ElevationPort;
class TrayIconControl;

// The start-up window's core: the process's entry. Form_Load returns after the hand-over, or
// after asking the process to end (previous instance, date gate, started again with administrator
// rights or declined, registry error); a quit during the progress wait ends it with
// ProgramQuitting. The previous-instance search and the date gate run with the caller's rights.
class frmSharewareIntro : public ui::FormCore {
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

    frmSharewareIntro(const AppPorts& ports, ElevationPort& elevation, WindowView& view);

    std::string_view Caption() const { return kCaption; }
    std::vector<ui::Control*> Controls() override;

    void Form_Load() override;
    void MyTimer_Timer();
    void SysTray_TrayClick(std::int16_t button) override;

    ui::ProgressBar ProgressBar1;
    ui::Timer MyTimer;

private:
    // Each returns false when the process was asked to end.
    bool PassesDateGate();
    bool HasAdministratorRights();
    bool FirstStart();
    void ProgressWait();
    void HandOver();
    void OpenMainWindow();
    void End();

    AppPorts ports_;
    ElevationPort& elevation_;
    TrayIconControl& sysTray_;
    Settings settings_;
};

} // namespace tidewell
